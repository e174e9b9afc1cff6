#!/usr/bin/env bash
# --proof and tools/check-proof: the derivation printed after the report, and a checker that
# accepts it and rejects it once a step is planted wrong (a literal changed, a degree raised).
# Usage: proof.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: proof.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"
checker=tools/check-proof

quiet=--hide=time,memory

# --- The derivation: clouds(today) 0.9, its rain rule 0.8, the wet-streets rule 0.9 ---
# r0 = 1 + 0.9 - 1 = 0.9, r1 = 0.9 + 0.8 - 1 = 0.7, the refutation 0.7 + 0.9 - 1 = 0.6.
plain=$("$bin" $quiet -s linear examples/chain.txt)
"$bin" --proof --szs $quiet -s linear examples/chain.txt > "$tmp/chain.out"
expect_eq "exit status with --proof" 0 $?
expect_eq "the report before the proof is the plain run's with its SZS line" \
  "$plain" "$(sed '/^% SZS/d' "$tmp/chain.out" | sed '/^%/,$d' | sed '/^fof/d')"
expect_eq "the derivation between the SZS output lines" \
  "% SZS output start Refutation for chain
% f0 degree 0.9
fof(f0, axiom, clouds(today)).
% f1 degree 0.8
fof(f1, axiom, ! [X] : (clouds(X) => rain(X))).
% f2 degree 0.9
fof(f2, axiom, ! [X] : (rain(X) => wet_streets(X))).
fof(query, conjecture, wet_streets(today)).
% f3 degree 1
fof(f3, negated_conjecture, ~ wet_streets(today), inference(assume_negation, [status(cth)], [query])).
% r0 degree 0.9
fof(r0, plain, ~ rain(today), inference(resolution, [status(thm)], [f3, f2])).
% r1 degree 0.7
fof(r1, plain, ~ clouds(today), inference(resolution, [status(thm)], [r0, f1])).
% refutation degree 0.6
fof(refutation, plain, \$false, inference(resolution, [status(thm)], [r1, f0])).
% SZS output end Refutation for chain" \
  "$(sed -n '/SZS output start/,$p' "$tmp/chain.out" | grep -v -E '^% (The best|and holds|A degree)')"

# Without a refutation there is nothing to print; without --proof nothing changes.
printf 'p(a);\n?- q(b);\n' > "$tmp/none.txt"
expect_eq "no derivation without a refutation" "" \
  "$("$bin" --proof $quiet "$tmp/none.txt" | grep -E '^(fof|% SZS output)')"

# The negated query resolved with itself: one parent, degree max(0, 1 + 1 - 1) = 1, used twice,
# so the query holds to 1 / 2.
printf '?- [¬[q]] ∨ [q];\n' > "$tmp/excluded.txt"
"$bin" --proof $quiet "$tmp/excluded.txt" > "$tmp/excluded.out"
expect_eq "self-resolution of the negated query" \
  "fof(refutation, plain, \$false, inference(resolution, [status(thm)], [f0])).
% The refutation used the negated conjecture 2 times: the query holds to at least 0.5." \
  "$(tail -n 2 "$tmp/excluded.out")"

# --- The checker ---
if ! command -v eprover > /dev/null; then
  echo "SKIP: the checker's cases need eprover" >&2
  exit $((failures > 0))
fi
out=$("$checker" "$tmp/chain.out")
expect_eq "the real derivation holds" "0 checked 4 steps, 0 failed" "$? $out"
out=$("$checker" "$tmp/excluded.out")
expect_eq "the self-resolution step holds" "0 checked 2 steps, 0 failed" "$? $out"
# A resolvent refuted only by the consequent check's splits: its step and the splits that follow.
"$bin" --proof --one-refutation $quiet examples/pelletier/p01.txt > "$tmp/p01.out"
expect_eq "the split steps hold" "0 checked 3 steps, 0 failed" "$?$("$checker" "$tmp/p01.out" | sed 's/^/ /')"
# P40's refutation under these settings takes a dependent witness at the value of another
# witness: each copy must print as the one Skolem term it stands for (sk3(sk0), say), not as an
# existential of its own, or the self-resolution that closes the proof cannot be checked.
"$bin" --proof $quiet -s smallest --check=trivial --general-cut --timeout=20 \
  examples/pelletier/p40.txt > "$tmp/p40.out"
expect_eq "a witness taken at a witness prints as one term" "0 failed" \
  "$("$checker" "$tmp/p40.out" | tail -n 1 | sed 's/.*, //')"

# The equality rule: b = a turns f(b) = c into f(a) = c, which turns the negated query into
# c ≠ c, refuted by reflexivity; E, with "=" as equality, confirms both replacements.
printf 'a = b;\nf(b) = c;\n?- c = f(a);\n' > "$tmp/equal.txt"
"$bin" --proof $quiet -s breadth --equality --equality-rule --one-refutation "$tmp/equal.txt" > "$tmp/equal.out"
expect_eq "two replacements of equals" 2 "$(grep -c 'inference(paramodulation' "$tmp/equal.out")"
expect_eq "a replacement of equals holds" "0 failed" \
  "$("$checker" "$tmp/equal.out" | tail -n 1 | sed 's/.*, //')"

# A literal changed: r1 no longer follows from r0 and f1, and the refutation no longer closes.
sed 's/^fof(r1, plain, ~ clouds(today)/fof(r1, plain, ~ clouds(tomorrow)/' "$tmp/chain.out" > "$tmp/literal.out"
out=$("$checker" "$tmp/literal.out")
expect_eq "a changed literal fails" 1 $?
expect_eq "the changed step is named" 1 "$(grep -c '^FAILED .*: step r1: does not follow from its parents' <<< "$out")"
expect_eq "the step after it is named" 1 "$(grep -c '^FAILED .*: step refutation: its parents are not contradictory' <<< "$out")"
expect_eq "a changed literal: summary" "checked 4 steps, 2 failed" "$(tail -n 1 <<< "$out")"

# A degree raised: r1 at 0.75 exceeds 0.9 + 0.8 - 1.
sed 's/^% r1 degree 0.7$/% r1 degree 0.75/' "$tmp/chain.out" > "$tmp/degree.out"
out=$("$checker" "$tmp/degree.out")
expect_eq "a raised degree fails" 1 $?
expect_eq "a raised degree: the step and its bound" \
  "FAILED $tmp/degree.out: step r1: degree 0.75 exceeds 0.7, the t-norm of its parents' 0.9, 0.8
checked 4 steps, 1 failed" "$out"

# A negated conjecture that is not the negation (its "~" dropped) fails, although the checker
# takes the exact negation without asking E.
sed 's/^fof(f3, negated_conjecture, ~ wet_streets(today)/fof(f3, negated_conjecture, wet_streets(today)/' \
  "$tmp/chain.out" > "$tmp/negation.out"
out=$("$checker" "$tmp/negation.out")
expect_eq "a wrong negation fails" 1 $?
expect_eq "the wrong negation is named" 1 "$(grep -c '^FAILED .*: step f3: is not the conjecture negated' <<< "$out")"

# Fewer uses of the negated query than the derivation has: the query degree would be too high.
sed 's/used the negated conjecture 2 times/used the negated conjecture 1 times/' "$tmp/excluded.out" > "$tmp/uses.out"
"$checker" "$tmp/uses.out" > /dev/null
expect_eq "too few uses fails" 1 $?

# --derivation=dot draws the same derivation: the chain's leaves as boxes, its steps from their
# parents, the refutation at the root.
"$bin" --derivation=dot $quiet -s linear examples/chain.txt > "$tmp/chain.dot"
expect_eq "--derivation=dot: the edges" '  "query" -> "f3";
  "f3" -> "r0";
  "f2" -> "r0";
  "r0" -> "r1";
  "f1" -> "r1";
  "r1" -> "refutation";
  "f0" -> "refutation";' "$(grep -- ' -> ' "$tmp/chain.dot")"
expect_eq "--derivation=dot: the root" \
  '  "refutation" [shape=doubleoctagon, label="refutation  (degree 0.6)\n$false"];' \
  "$(grep '^  "refutation" \[' "$tmp/chain.dot")"
expect_eq "--derivation=dot: no TSTP without --proof" 0 "$(grep -c '^fof(' "$tmp/chain.dot")"

exit $((failures > 0))
