#!/usr/bin/env bash
# The menu options on the command line: --refutations and the older --one-refutation mean the
# same, they cannot both be given, and --help names every option with the output switches and
# their defaults.
# Usage: option_spellings.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: option_spellings.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"

# Two derivations refute flies(sam): via the eagle rule 0.95 + 0.8 - 1 = 0.75, via the bird rule
# 0.7 + 1 - 1 = 0.7. Every refutation is a pair of one-atom records, so one refutation wanted
# ends the search after exactly one YES line.
run() { "$bin" --hide=time,memory "$@" examples/two_paths.txt; }
all=$(run)
expect_eq "default: both refutations" "0.7 0.75" \
  "$(grep -o 'YES (refutation deg.):[0-9.]*' <<<"$all" | cut -d: -f2 | sort | tr '\n' ' ' | sed 's/ $//')"
expect_eq "--refutations=all is the default" "$all" "$(run --refutations=all)"
one=$(run --refutations=one)
expect_eq "--refutations=one: one YES line" 1 "$(grep -c ' YES (refutation deg.):' <<<"$one")"
expect_eq "--one-refutation is --refutations=one" "$one" "$(run --one-refutation)"

run --one-refutation --refutations=all > /dev/null 2>&1
expect_eq "--one-refutation with --refutations" 2 $?
run --refutations=some > /dev/null 2>&1
expect_eq "unknown --refutations value" 2 $?

help=$("$bin" --help)
expect_eq "--help status" 0 $?
for option in -s,--strategy --check --restrict --unify --refutations --one-refutation \
  --general-cut --no-quantification --dcf-limit --show --hide --out --timeout --max-resolvents \
  --syntax-only --bytes; do
  grep -q -- "^  $option\b" <<<"$help" || fail "--help lacks $option"
done
for value in trivial dcf kill none filtration support first-unused first-match last one all; do
  grep -q "^ *$value  " <<<"$help" || fail "--help lacks the radio value $value"
done
# A new editor window shows progress, sources, time and memory; the other switches are off.
for on in progress sources time memory; do
  grep -q "^ *$on  *on  " <<<"$help" || fail "--help: $on not on by default"
done
for off in axioms resolvents unsimplified statistics dcf; do
  grep -q "^ *$off  *off  " <<<"$help" || fail "--help: $off not off by default"
done
grep -q "on by default: progress,sources,time,memory)" <<<"$help" || fail "--hide's defaults"

[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "all option_spellings checks passed"
