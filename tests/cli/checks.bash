# Shared by the command-line test scripts: a scratch folder and the check helpers.
# A script sources it (setting `bin` first when it runs the prover), and exits non-zero when `failures` is above 0.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() {
  echo "FAIL: $1" >&2
  failures=$((failures + 1))
}

expect_eq() {  # name expected actual
  if [[ "$2" != "$3" ]]; then
    fail "$1"
    printf '  expected: %q\n  actual:   %q\n' "$2" "$3" >&2
  fi
}
