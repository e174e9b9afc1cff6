#!/usr/bin/env bash
# The graded judge must tell a degree the axioms support from one they do not. Each true degree
# below is worked by hand under Łukasiewicz semantics; the judge is asked about it and about a
# degree just above it.
# Usage: graded_judge.sh JUDGE
set -u
judge=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

# expect THEORY TRUE_DEGREE ABOVE: TRUE_DEGREE must hold, ABOVE must be refused.
expect() {
  printf '%s\n' "$1" > "$dir/theory.txt"
  if ! "$judge" --check "$dir/theory.txt" --degree "$2" > "$dir/out" 2>&1; then
    echo "FAIL: $2 holds for: $1"; cat "$dir/out"; failures=$((failures + 1))
  fi
  "$judge" --check "$dir/theory.txt" --degree "$3" > "$dir/out" 2>&1
  status=$?
  if [ "$status" -ne 1 ]; then
    echo "FAIL: $3 is above the true degree $2 of: $1 (status $status)"; cat "$dir/out"
    failures=$((failures + 1))
  fi
}

# q = 0.5 gives the excluded middle 0.5, and nothing forces more.
expect '?- [¬[q]] ∨ [q];' 0.5 1
# r = 1, q = 0.5: the query is max(0.5, min(0.5, 1)).
expect 'r : 1;
?- [¬[q]] ∨ [[q] ∧ [r]];' 0.5 1
# r = 0.5 makes the query 0.5 whatever q is; r below 0.5 raises ¬r, r above it raises r ∧ q
# (q ≥ 0.6). The second axiom holds to at least 0.9 since p ≥ 0.9.
expect 's : 1;
¬[[¬[p]] ∧ [[p] ∨ [q]]] : 0.5;
q : 0.6;
p : 0.9;
?- [[r] ∧ [q]] ∨ [¬[r]];' 0.5 0.6
# Modus ponens pays the t-norm: q ≥ 0.8 + 0.9 − 1.
expect 'p : 0.8;
p → q : 0.9;
?- q;' 0.7 0.75
# A conjunction is its weaker side.
expect 'p : 0.8;
q : 0.6;
?- p ∧ q;' 0.6 0.65
# ¬[p → q] is max(0, p − q), with p ≥ 0.9 and q ≤ 0.4.
expect 'p : 0.9;
¬q : 0.6;
?- ¬[p → q];' 0.5 0.55

# Axioms that no valuation meets support every degree.
printf 'p : 1;\n¬p : 1;\n?- q;\n' > "$dir/theory.txt"
"$judge" --check "$dir/theory.txt" --degree 1 > "$dir/out" 2>&1 ||
  { echo "FAIL: contradictory axioms support the query to 1"; cat "$dir/out"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "graded judge: every hand-worked degree judged right"
exit $((failures > 0))
