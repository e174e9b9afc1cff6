#!/usr/bin/env bash
# `velmoran --syntax-only`: one line per formula (axioms simplified and numbered among the axioms,
# queries as written), a syntax error as FILE:LINE:COLUMN with the offending line and a caret,
# exit status 1 for a syntax error and 2 for a file that cannot be read or decoded.
# Usage: syntax_only.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: syntax_only.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"

# Runs velmoran --syntax-only with the given arguments; sets out, err and rc.
run() {
  out=$("$bin" --syntax-only "$@" 2>"$tmp/stderr")
  rc=$?
  err=$(cat "$tmp/stderr")
}

# --- formulas as printed ---------------------------------------------------------------------

printf '%s\n' '∀X [man(X) → mortal(X)];' 'man(socrates) : 0.9;' '?- mortal(socrates);' \
  >"$tmp/socrates.txt"
run "$tmp/socrates.txt"
expect_eq "socrates: status" 0 "$rc"
expect_eq "socrates: output" \
  $'F0 : ∀X[man(X)→mortal(X)]:1; \nF1 : man(socrates):0.9; \n?- mortal(socrates):1; ' "$out"
expect_eq "socrates: no diagnostics" "" "$err"

"$bin" --syntax-only --bytes "$tmp/socrates.txt" >"$tmp/bytes.out" 2>/dev/null
printf 'F0 : \367X[man(X)\364mortal(X)]:1; \nF1 : man(socrates):0.9; \n?- mortal(socrates):1; \n' \
  >"$tmp/bytes.expected"
cmp -s "$tmp/bytes.expected" "$tmp/bytes.out" || fail "--bytes prints the one-byte alphabet"

# A file in the one-byte alphabet itself is read as such and printed in UTF-8.
printf '\367X p(X) \374 q;\n' >"$tmp/onebyte.txt"
run "$tmp/onebyte.txt"
expect_eq "one-byte input: output" 'F0 : ∀X p(X)∨q:1; ' "$out"

printf '%s\n' 'p : 0;' 'q : 1;' 'r:0.5;s;' 't : 5E-1 ;' >"$tmp/degrees.txt"
run "$tmp/degrees.txt"
expect_eq "degrees: status" 0 "$rc"
expect_eq "degrees: output" $'F0 : p:0; \nF1 : q:1; \nF2 : r:0.5; \nF3 : s:1; \nF4 : t:0.5; ' "$out"

printf '%s\n' 'a;' '?- ∃X p(X) : 0.5;' 'b;' '?- ¬a;' >"$tmp/queries.txt"
run "$tmp/queries.txt"
expect_eq "queries: output" $'F0 : a:1; \n?- ∃X p(X):0.5; \nF1 : b:1; \n?- ¬a:1; ' "$out"

printf '%s\n' 'p(_, _); q(_);' 'p(X, Y);' 'p((1+2)*4, 2+3, 1/0, 2*3.5, -X);' \
  '[a ∨ b] ∧ c → d → e;' '¬∀X [p(X) → ∃Y q(X, Y)];' >"$tmp/forms.txt"
run "$tmp/forms.txt"
expect_eq "variables, arithmetic, connectives: output" \
  $'F0 : ∀_#1, _#0 p(_#0, _#1):1; \nF1 : ∀_#0 q(_#0):1; \nF2 : ∀Y, X p(X, Y):1; \nF3 : ∀X p(12, 5, 1/0, 7, -X):1; \nF4 : [a∨b]∧c→d→e:1; \nF5 : ∃X¬[p(X)→∃Y q(X, Y)]:1; ' \
  "$out"

printf 'p;' | "$bin" --syntax-only - >"$tmp/stdin.out" 2>&1
expect_eq "standard input" 'F0 : p:1; ' "$(cat "$tmp/stdin.out")"

printf 'a;\n' >"$tmp/first.txt"
printf 'b;\nc;\n' >"$tmp/second.txt"
run "$tmp/first.txt" "$tmp/second.txt"
expect_eq "two files: status" 0 "$rc"
expect_eq "two files: each numbered on its own" $'F0 : a:1; \nF0 : b:1; \nF1 : c:1; ' "$out"

# --- syntax errors ---------------------------------------------------------------------------
# The caret stands before the character whose column is given; on the caret line every earlier
# character of the line is a blank (a tab stays a tab).

syntax_error() {  # name file-content expected-stdout expected-stderr
  printf '%s' "$2" >"$tmp/error.txt"
  run "$tmp/error.txt"
  expect_eq "$1: status" 1 "$rc"
  expect_eq "$1: output before the error" "$3" "$out"
  expect_eq "$1: diagnostic" "${4//FILE/$tmp/error.txt}" "$err"
}

syntax_error "second formula" $'p(a);\nq(b) r;\n' 'F0 : p(a):1; ' \
  $'FILE:2:5: error 2: Missing operator.\nq(b) r;\n    ^'
syntax_error "second formula, CR LF line ends" $'p(a);\r\nq(b) r;\r\n' 'F0 : p(a):1; ' \
  $'FILE:2:5: error 2: Missing operator.\nq(b) r;\n    ^'
syntax_error "end of text without delimiter" 'p(a)' '' \
  $'FILE:1:5: error 9: Missing Delimiter.\np(a)\n    ^'
syntax_error "integer overflow" $'p(2147483648);\n' '' \
  $'FILE:1:13: error 13: Invalid integer expression.\np(2147483648);\n            ^'
syntax_error "symbols count as one column" $'∀1 p;\n' '' \
  $'FILE:1:2: error 15: Invalid variable expression.\n∀1 p;\n ^'
syntax_error "missing operand" $'p ∧ ;\n' '' \
  $'FILE:1:4: error 3: Missing expression.\np ∧ ;\n   ^'
syntax_error "nothing but a semicolon" $';\n' '' \
  $'FILE:1:1: error 3: Missing expression.\n;\n^'
syntax_error "degree out of range" $'a;\np(a) : 1.5;\n' 'F0 : a:1; ' \
  $'FILE:2:10: error 16: Wrong evaluation degree expression.\np(a) : 1.5;\n         ^'
syntax_error "tab before the caret" $'p;\n\tq r;\n' 'F0 : p:1; ' \
  $'FILE:2:4: error 2: Missing operator.\n\tq r;\n\t  ^'

"$bin" --syntax-only --bytes "$tmp/error.txt" >/dev/null 2>"$tmp/bytes.err"
printf '%s: error 2: Missing operator.\n\tq r;\n\t  ^\n' "$tmp/error.txt:2:4" >"$tmp/bytes.err.expected"
cmp -s "$tmp/bytes.err.expected" "$tmp/bytes.err" || fail "--bytes diagnostic"

# --- files that cannot be read ---------------------------------------------------------------

run "$tmp/does-not-exist.txt"
expect_eq "missing file: status" 2 "$rc"
expect_eq "missing file: no output" "" "$out"
[[ -n "$err" ]] || fail "missing file: a diagnostic"

printf 'p(\303\251);\n' >"$tmp/latin.txt"  # é has no byte in the alphabet
run "$tmp/latin.txt"
expect_eq "character without a byte: status" 2 "$rc"
expect_eq "character without a byte: no output" "" "$out"

printf 'p;\000q;\n' >"$tmp/nul.txt"
run "$tmp/nul.txt"
expect_eq "NUL byte: status" 2 "$rc"
expect_eq "NUL byte: no output" "" "$out"

# --- deep and large input --------------------------------------------------------------------

{
  printf '%*s' 100000 '' | tr ' ' '['
  printf 'p'
  printf '%*s' 100000 '' | tr ' ' ']'
  printf ';\n'
} >"$tmp/deep.txt"
line='p(a, f(X)) ∨ ¬q(X, 3) : 0.5;'
count=$((10000000 / $(printf '%s\n' "$line" | wc -c) + 1))
yes "$line" | head -n "$count" >"$tmp/large.txt"

run "$tmp/deep.txt"
expect_eq "100000 brackets: status" 1 "$rc"
[[ "$(head -n 1 <<<"$err")" =~ ^"$tmp/deep.txt":1:[0-9]+": error 8: Insuficient memory."$ ]] ||
  fail "100000 brackets: error 8"

"$bin" --syntax-only "$tmp/large.txt" >"$tmp/large.out" 2>"$tmp/large.err"
rc=$?
expect_eq "10 MB: status" 0 "$rc"
expect_eq "10 MB: one line per formula" "$count" "$(wc -l <"$tmp/large.out" | tr -d ' ')"
expect_eq "10 MB: last line" "F$((count - 1)) : ∀X[p(a, f(X))∨¬q(X, 3)]:0.5; " \
  "$(tail -n 1 "$tmp/large.out")"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all checks passed"
