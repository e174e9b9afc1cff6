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

# A non-theorem that the sound rules leave open and one loose rule refutes, with its warning.
# Usage: loose_refutes SWITCH=VALUE FILE STRATEGY [MORE OPTIONS...]
loose_refutes() {
  local switch=$1 file=$2 strategy=$3
  shift 3
  local sound loose
  sound=$("$bin" --hide=progress -s "$strategy" --max-resolvents=300 "$@" "$file" 2>/dev/null)
  grep -q 'YES (refutation deg' <<<"$sound" && fail "$file: the sound rules refuted a non-theorem"
  loose=$("$bin" --hide=progress -s "$strategy" --max-resolvents=300 "$@" "$switch" "$file" \
    2>"$tmp/loose.err")
  grep -q 'YES (refutation deg' <<<"$loose" || fail "$switch: no refutation"
  grep -q -- "${switch#--}: unsound" "$tmp/loose.err" || fail "$switch: no warning"
  "$bin" "${switch%=*}=other" "$file" >/dev/null 2>&1
  expect_eq "unknown ${switch%=*} value" 2 $?
  grep -q -- "${switch%=*} .*UNSOUND" <<<"$("$bin" --help)" || fail "--help: $switch not marked"
}

# Domain {a, b} with r(a, a) and r(b, b) only is a countermodel; the loose identity refutes it.
printf '∀Y [∃X [r(Y, Y) → r(Y, X)]];\n?- ∃X [∀Y [r(Y, Y) → r(Y, X)]];\n' >"$tmp/swapped.txt"
loose_refutes --debug-identity=serial "$tmp/swapped.txt" linear --timeout=10

# p splits the domain: on {a, b} with p = {a}, q = {b}, r = {a} the axiom holds and neither ∀q nor
# ∀r does. The loose split takes p(X) and p(Y) for one atom and so "derives" ∀X q(X) ∨ ∀Y r(Y).
printf '∀X [p(X) ∨ q(X)] ∧ ∀Y [¬p(Y) ∨ r(Y)];\n?- [∀X q(X)] ∨ [∀Y r(Y)];\n' >"$tmp/split.txt"
loose_refutes --debug-split=loose "$tmp/split.txt" breadth

# r and s the identity on {a, b}: each Y has its own W. Under the first rules, Z := Y of the other
# record makes W look free of its universal, and X := W takes it out in front of Y.
printf '∀Z ∃W r(W, Z); ∀Y, X [r(X, Y) → s(X, Y)];\n?- ∃W ∀Y s(W, Y);\n' >"$tmp/unify.txt"
loose_refutes --debug-unify=loose "$tmp/unify.txt" breadth

# --auto hands every attempt the user's switches whole: the loose split reaches the breadth-first
# settings, which then refute the non-theorem as the plain run does.
out=$("$bin" --auto --timeout=10 --max-resolvents=300 --hide=progress "$tmp/split.txt" 2>/dev/null)
grep -q 'YES (refutation deg' <<<"$out" && fail "--auto: the sound rules refuted a non-theorem"
out=$("$bin" --auto --timeout=10 --max-resolvents=300 --hide=progress --debug-split=loose \
  "$tmp/split.txt" 2>/dev/null)
grep -q 'YES (refutation deg' <<<"$out" || fail "--auto dropped --debug-split=loose"

[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "all debug_switches checks passed"
