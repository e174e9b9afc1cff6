#!/usr/bin/env bash
# `velmoran FILE`: the report of a proof, the options that shape it, the ".out" file, and the exit
# status (0 done, 1 syntax error, 2 usage or file error, 3 stopped by a limit).
# Usage: prove_options.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: prove_options.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"

cp examples/socrates.txt "$tmp/socrates.txt"

# The Socrates report with its time and memory lines hidden: the query negated, the rule resolved
# with it (R0, the bound X prints nothing but the blank after its prefix), the fact refuting R0
# with degree 1 + 0.9 - 1.
out=$("$bin" --hide=time,memory "$tmp/socrates.txt")
expect_eq "exit status of a proof" 0 $?
expect_eq "socrates report" "Solution to ¬mortal(socrates):1; 
R0 [F2&F0] :  ¬man(socrates):1; 
[R0&F1] :  YES (refutation deg.):0.9;
Best refutation degree: 0.9" "$out"

# Without progress and sources only the refutation line remains, starting with its blank.
out=$("$bin" --hide=time,memory,progress,sources "$tmp/socrates.txt")
expect_eq "no progress, no sources" "Solution to ¬mortal(socrates):1; 
 YES (refutation deg.):0.9;
Best refutation degree: 0.9" "$out"

# --bytes prints the one-byte alphabet: ¬ is the byte 0xAC.
out=$("$bin" --bytes --hide=time,memory,progress "$tmp/socrates.txt" | head -n 1 | od -An -tx1 | tr -d ' \n')
expect_eq "one-byte negation" "536f6c7574696f6e20746f20ac6d6f7274616c28736f637261746573293a313b200a" "$out"

# --out: the report goes to FILE.out as one-byte text with CR LF, and is printed afterwards.
out=$("$bin" --out --hide=time,memory "$tmp/socrates.txt")
expect_eq "--out exit status" 0 $?
expect_eq "--out prints the report" "Solution to ¬mortal(socrates):1; 
R0 [F2&F0] :  ¬man(socrates):1; 
[R0&F1] :  YES (refutation deg.):0.9;
Best refutation degree: 0.9" "$out"
if [[ -f "$tmp/socrates.txt.out" ]]; then
  expect_eq ".out line ends" 4 "$(grep -c $'\r$' "$tmp/socrates.txt.out")"
  expect_eq ".out first line" $'Solution to \xacmortal(socrates):1; \r' "$(head -n 1 "$tmp/socrates.txt.out")"
else
  fail ".out file not written"
fi

# A syntax error: the report's closing lines, then the error on standard error, exit status 1.
printf 'p(a);\nq(b) r;\n' > "$tmp/bad.txt"
out=$("$bin" --hide=time,memory "$tmp/bad.txt" 2> "$tmp/err")
expect_eq "syntax error status" 1 $?
expect_eq "syntax error report" "" "$out"
expect_eq "syntax error message" "$tmp/bad.txt:2:5: error 2: Missing operator." "$(head -n 1 "$tmp/err")"

# A limit stops the run like the stop command and says so; exit status 3.
printf '∀X [p(X) → p(f(X))];\n?- p(a) → q;\n' > "$tmp/endless.txt"
"$bin" --max-resolvents=5 --hide=progress "$tmp/endless.txt" > /dev/null 2> "$tmp/err"
expect_eq "limit status" 3 $?
expect_eq "limit note" "velmoran: $tmp/endless.txt: stopped by the resolvent limit" "$(cat "$tmp/err")"

# Usage and file errors: exit status 2.
"$bin" "$tmp/missing.txt" > /dev/null 2>&1
expect_eq "missing file" 2 $?
"$bin" --strategy=sideways "$tmp/socrates.txt" > /dev/null 2>&1
expect_eq "unknown strategy" 2 $?
"$bin" --show=colours "$tmp/socrates.txt" > /dev/null 2>&1
expect_eq "unknown output switch" 2 $?

# Standard input is read as "-".
out=$("$bin" --hide=time,memory,progress - < "$tmp/socrates.txt" | tail -n 1)
expect_eq "standard input" "Best refutation degree: 0.9" "$out"

# "=" is a relation like any other unless --equality puts its axioms in front: reflexivity,
# symmetry, transitivity and one substitution axiom for p; then p(b) follows from a = b and p(a).
printf 'a = b;\np(a);\n?- p(b);\n' > "$tmp/equality.txt"
out=$("$bin" --hide=progress,time,memory "$tmp/equality.txt")
expect_eq "without --equality, = is a relation" "Solution to ¬p(b):1; " "$out"
out=$("$bin" --equality --show=axioms --hide=progress,sources,time,memory --one-refutation \
  "$tmp/equality.txt")
expect_eq "--equality: the axioms come first, and p(b) follows" "______________________________
Source formulas (axioms) : 
F0 : ∀X X=X:1; 
F1 : ∀X, Y[X=Y→Y=X]:1; 
F2 : ∀X, Y, Z[X=Y∧Y=Z→X=Z]:1; 
F3 : ∀X, Y[X=Y∧p(X)→p(Y)]:1; 
F4 : a=b:1; 
F5 : p(a):1; 
F6 (¬query) : ¬p(b):1; 
______________________________
 YES (refutation deg.):1;
Best refutation degree: 1" "$out"
printf 'p(a);\n?- p(b);\n' > "$tmp/no_equality.txt"
expect_eq "--equality without = changes nothing" \
  "$("$bin" --show=axioms "$tmp/no_equality.txt" | sed '$d' | sed '$d')" \
  "$("$bin" --equality --show=axioms "$tmp/no_equality.txt" | sed '$d' | sed '$d')"

[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "all prove_options checks passed"
