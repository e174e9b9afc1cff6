#!/usr/bin/env python3
"""Replays a candidate --auto sequence on the rows of bench/settings_matrix.sh.

For each problem it walks the sequence as the portfolio does: attempt k gets what is left of the
budget times its weight over the weights of the attempts not yet run; an attempt that refutes
within its slice ends the walk, one that ends without a refutation costs its own time, one that is
cut (or that took longer than its slice) costs the whole slice. It prints, per problem, the setting
that would win and the seconds until then, then the problems solved and the sum and the largest of
those seconds, and the problems that some single setting refutes within the budget but the
sequence does not.

Lanes, separated by "|", replay a portfolio that runs several sequences at once, one process
each: each lane is walked alone with the whole budget, and the problem goes to the lane that
refutes it first (the cost of starting the processes is left out).

Usage: bench/portfolio_replay.py BUDGET "N:WEIGHT,N:WEIGHT,...[|N:WEIGHT,...]" MATRIX.tsv...
       bench/portfolio_replay.py --table MATRIX.tsv...
  N is a setting's number in the matrix (the number before the colon in its "setting" column).
  A run the matrix shows as stopped counts as not refuted within any slice, even one longer than
  the matrix's own limit.
  --table prints the matrix as a Markdown table instead: seconds and resolvents of each refutation,
  "ended" for a search that ended without one, "–" for a run that its limit stopped; the problems
  that every setting refutes in under 0.2 s are only listed below it.
"""
import sys


def load(paths):
    rows = {}  # (problem, setting number) -> (outcome, seconds)
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for line in f:
                cells = line.rstrip("\n").split("\t")
                if len(cells) != 6 or cells[0] == "problem":
                    continue
                number = int(cells[1].split(":")[0])
                rows[(cells[0], number)] = (cells[2], float(cells[4]), cells[3])
    return rows


def table(rows):
    problems = sorted({p for p, _ in rows})
    settings = sorted({n for _, n in rows})
    print("| problem | " + " | ".join(str(n) for n in settings) + " |")
    print("| --- |" + " ---: |" * len(settings))
    easy = []
    for problem in problems:
        cells = [rows.get((problem, n), ("?", 0.0, "")) for n in settings]
        if all(o == "refuted" and s < 0.2 for o, s, _ in cells):
            easy.append(problem)
            continue
        text = [f"{s:.2f} ({r})" if o == "refuted" else "ended" if o == "none" else "–"
                for o, s, r in cells]
        print(f"| {problem} | " + " | ".join(text) + " |")
    print()
    print("Refuted by every setting in under 0.2 s: " + ", ".join(easy) + ".")


def replay(rows, problem, sequence, budget):
    elapsed = 0.0
    weight_left = sum(w for _, w in sequence)
    for number, weight in sequence:
        left = budget - elapsed
        if left <= 0:
            break
        part = left * weight / weight_left
        weight_left -= weight
        outcome, seconds, _ = rows.get((problem, number), ("stopped", float("inf"), ""))
        if outcome == "refuted" and seconds <= part:
            return number, elapsed + seconds
        elapsed += seconds if outcome == "none" and seconds <= part else part
    return None, elapsed


def replay_lanes(rows, problem, lanes, budget):
    """The lane that refutes first, as (setting, seconds); else (None, the longest lane's)."""
    results = [replay(rows, problem, lane, budget) for lane in lanes]
    refuted = [r for r in results if r[0] is not None]
    if refuted:
        return min(refuted, key=lambda r: r[1])
    return None, max(seconds for _, seconds in results)


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "--table":
        table(load(sys.argv[2:]))
        return
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    budget = float(sys.argv[1])
    lanes = [[tuple(int(x) for x in item.split(":")) for item in lane.split(",")]
             for lane in sys.argv[2].split("|")]
    rows = load(sys.argv[3:])
    problems = sorted({p for p, _ in rows})
    solved, total, worst, missed = 0, 0.0, 0.0, []
    for problem in problems:
        winner, seconds = replay_lanes(rows, problem, lanes, budget)
        alone = [n for (p, n), (o, s, _) in rows.items()
                 if p == problem and o == "refuted" and s <= budget]
        if winner is None:
            print(f"{problem}\t-\t{seconds:.2f}")
            if alone:
                missed.append(f"{problem} (settings {','.join(map(str, sorted(alone)))})")
            continue
        solved += 1
        total += seconds
        worst = max(worst, seconds)
        print(f"{problem}\t{winner}\t{seconds:.2f}")
    print(f"solved {solved} of {len(problems)}; seconds to refutation: sum {total:.2f}, "
          f"largest {worst:.2f}")
    print("refuted by a single setting but not by the sequence: " + (", ".join(missed) or "none"))


if __name__ == "__main__":
    main()
