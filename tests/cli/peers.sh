#!/usr/bin/env bash
# bench/peers on two tiny TPTP problems, one run each: a theorem both provers prove and a
# non-theorem, which Velmoran gives up on and E shows counter-satisfiable. Checks the CSV's columns
# and statuses, the summary, the plot, and that a missing E is a message, not a crash.
# Skipped (exit 0, with a note) where eprover is not installed.
# Usage: peers.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: peers.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"

if ! command -v eprover >/dev/null; then
  echo "peers.sh: skipped, eprover is not installed"
  exit 0
fi

mkdir "$tmp/problems"
cat >"$tmp/problems/thm.p" <<'EOF'
fof(rule, axiom, ! [X] : (man(X) => mortal(X))).
fof(fact, axiom, man(socrates)).
fof(goal, conjecture, mortal(socrates)).
EOF
cat >"$tmp/problems/open.p" <<'EOF'
% q(a) does not follow from p(a): nothing resolves with the negated query.
fof(fact, axiom, p(a)).
fof(goal, conjecture, q(a)).
EOF

bench/peers -t 5 -r 1 --velmoran "$bin" -o "$tmp/out" "$tmp/problems" >"$tmp/table" 2>"$tmp/log"
expect_eq "exit status" 0 "$?"
csv=$tmp/out/peers.csv
columns=problem,velmoran_status,velmoran_median_s,velmoran_resolvents,velmoran_setting
columns+=,velmoran_times_s,e_status,e_median_s,e_times_s,ratio,velmoran_cpu_s
expect_eq "csv columns" "$columns" "$(head -1 "$csv")"
field() {  # problem column-number
  grep "^$1," "$csv" | cut -d, -f"$2"
}
expect_eq "theorem: statuses" "Theorem Theorem" "$(field thm 2) $(field thm 7)"
expect_eq "non-theorem: statuses" "GaveUp CounterSatisfiable" "$(field open 2) $(field open 7)"
# One stored resolvent at least (¬man(socrates)) before the refutation; none at all without one.
[[ $(field thm 4) =~ ^[1-9][0-9]*$ ]] || fail "theorem: resolvents $(field thm 4)"
expect_eq "non-theorem: resolvents" 0 "$(field open 4)"
[[ -n $(field thm 5) ]] || fail "theorem: no --auto setting named"
expect_eq "non-theorem: no --auto setting" "" "$(field open 5)"
[[ $(field thm 10) =~ ^[0-9]+\.[0-9]{3}$ ]] || fail "theorem: ratio $(field thm 10)"
expect_eq "non-theorem: no ratio" "-" "$(field open 10)"
grep -qx "solved: velmoran 1/2, E 1/2, both 1" "$tmp/table" || fail "solved counts"
grep -q "^geometric mean of velmoran/E over the 1 both solve: " "$tmp/table" || fail "mean"
if command -v gnuplot >/dev/null; then
  expect_eq "plot is a PNG" $'\x89PNG' "$(head -c 4 "$tmp/out/peers-cactus.png")"
fi

bench/peers -t 5 -r 1 --velmoran "$bin" --eprover "$tmp/no-eprover" -o "$tmp/alone" \
  "$tmp/problems/thm.p" >"$tmp/table" 2>"$tmp/log"
expect_eq "missing E: exit status" 0 "$?"
grep -q "no-eprover not found" "$tmp/log" || fail "missing E: message"
expect_eq "missing E: velmoran still runs" "Theorem -" \
  "$(grep '^thm,' "$tmp/alone/peers.csv" | cut -d, -f2,7 | tr , ' ')"

bench/peers --velmoran "$tmp/none" "$tmp/problems" >/dev/null 2>"$tmp/log"
expect_eq "missing velmoran: exit status" 2 "$?"
grep -q "none: no velmoran binary" "$tmp/log" || fail "missing velmoran: message"

exit $((failures > 0))
