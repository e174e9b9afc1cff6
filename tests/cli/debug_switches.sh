#!/usr/bin/env bash
# The debugging rules (the loose identity of copies, the loose case split, the first quantifier
# rules of the unifier): each is off unless
# asked for, a run without it is byte for byte a run with the sound rule named, and a run with it
# says on standard error that its refutations prove nothing.
# Usage: debug_switches.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: debug_switches.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"

for theory in examples/family.txt examples/pelletier/p28.txt; do
  plain=$("$bin" --hide=time,memory "$theory" 2>"$tmp/plain.err")
  named=$("$bin" --hide=time,memory --debug-identity=witness "$theory" 2>"$tmp/named.err")
  expect_eq "$theory: report with the sound rule named" "$plain" "$named"
  split=$("$bin" --hide=time,memory --debug-split=sound "$theory" 2>"$tmp/split.err")
  expect_eq "$theory: report with the sound split named" "$plain" "$split"
  unify=$("$bin" --hide=time,memory --debug-unify=sound "$theory" 2>"$tmp/unify.err")
  expect_eq "$theory: report with the sound quantifier rules named" "$plain" "$unify"
  expect_eq "$theory: nothing on standard error" "" \
    "$(cat "$tmp/plain.err" "$tmp/named.err" "$tmp/split.err" "$tmp/unify.err")"
done

# Domain {a, b} with r(a, a) and r(b, b) only is a countermodel; the loose rule refutes it anyway.
printf '∀Y [∃X [r(Y, Y) → r(Y, X)]];\n?- ∃X [∀Y [r(Y, Y) → r(Y, X)]];\n' >"$tmp/swapped.txt"
sound=$("$bin" --hide=progress --timeout=10 "$tmp/swapped.txt" 2>/dev/null)
grep -q 'YES (refutation deg' <<<"$sound" && fail "the sound rule refuted a non-theorem"
loose=$("$bin" --hide=progress --timeout=10 --debug-identity=serial "$tmp/swapped.txt" 2>"$tmp/loose.err")
grep -q 'YES (refutation deg' <<<"$loose" || fail "--debug-identity=serial: no refutation"
grep -q 'debug-identity=serial: unsound' "$tmp/loose.err" || fail "--debug-identity=serial: no warning"

"$bin" --debug-identity=other "$tmp/swapped.txt" >/dev/null 2>&1
expect_eq "unknown --debug-identity value" 2 $?
grep -q -- '--debug-identity.*UNSOUND' <<<"$("$bin" --help)" || fail "--help: not marked unsound"

# p splits the domain: on {a, b} with p = {a}, q = {b}, r = {a} the axiom holds and neither ∀q nor
# ∀r does. The loose split takes p(X) and p(Y) for one atom and so "derives" ∀X q(X) ∨ ∀Y r(Y).
printf '∀X [p(X) ∨ q(X)] ∧ ∀Y [¬p(Y) ∨ r(Y)];\n?- [∀X q(X)] ∨ [∀Y r(Y)];\n' >"$tmp/split.txt"
sound=$("$bin" --hide=progress -s breadth --max-resolvents=300 "$tmp/split.txt" 2>/dev/null)
grep -q 'YES (refutation deg' <<<"$sound" && fail "the sound split refuted a non-theorem"
loose=$("$bin" --hide=progress -s breadth --one-refutation --timeout=20 --debug-split=loose \
  "$tmp/split.txt" 2>"$tmp/loose.err")
grep -q 'YES (refutation deg' <<<"$loose" || fail "--debug-split=loose: no refutation"
grep -q 'debug-split=loose: unsound' "$tmp/loose.err" || fail "--debug-split=loose: no warning"
"$bin" --debug-split=other "$tmp/split.txt" >/dev/null 2>&1
expect_eq "unknown --debug-split value" 2 $?
grep -q -- '--debug-split.*UNSOUND' <<<"$("$bin" --help)" || fail "--help: split not marked unsound"

# r and s the identity on {a, b}: each Y has its own W. Under the first rules, Z := Y of the other
# record makes W look free of its universal, and X := W takes it out in front of Y.
printf '∀Z ∃W r(W, Z); ∀Y, X [r(X, Y) → s(X, Y)];\n?- ∃W ∀Y s(W, Y);\n' >"$tmp/unify.txt"
sound=$("$bin" --hide=progress -s breadth --max-resolvents=300 "$tmp/unify.txt" 2>/dev/null)
grep -q 'YES (refutation deg' <<<"$sound" && fail "the sound quantifier rules refuted a non-theorem"
loose=$("$bin" --hide=progress -s breadth --max-resolvents=300 --debug-unify=loose \
  "$tmp/unify.txt" 2>"$tmp/loose.err")
grep -q 'YES (refutation deg' <<<"$loose" || fail "--debug-unify=loose: no refutation"
grep -q 'debug-unify=loose: unsound' "$tmp/loose.err" || fail "--debug-unify=loose: no warning"
grep -q -- '--debug-unify.*UNSOUND' <<<"$("$bin" --help)" || fail "--help: unify not marked unsound"

[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "all debug_switches checks passed"
