#!/usr/bin/env bash
# Hostile input, limits, failing writes and interrupts: each ends in a clean stop or a one-line
# message with the exit status the README gives (2 usage or file, 3 stopped, 128 + signal).
# Usage: robustness.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: robustness.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"

cp examples/socrates.txt "$tmp/socrates.txt"
printf '∀X [p(X) → p(f(X))];\n?- p(a) → q;\n' > "$tmp/endless.txt"
run() { "$bin" --hide=time,memory "$@"; }
best() { grep -c '^Best refutation degree: 0.9$' <<<"$1"; }

# Read errors name the file and the system's reason; the other files are still proved.
mkdir "$tmp/folder"
out=$(run "$tmp/folder" "$tmp/missing.txt" "$tmp/socrates.txt" 2> "$tmp/err")
expect_eq "read errors: status" 2 $?
expect_eq "read errors: messages" "$tmp/folder: cannot read: Is a directory
$tmp/missing.txt: cannot read: No such file or directory" "$(cat "$tmp/err")"
expect_eq "read errors: the readable file is proved" 1 "$(best "$out")"
run - <&- > /dev/null 2> "$tmp/err"
expect_eq "closed standard input: status" 2 $?
expect_eq "closed standard input" "-: cannot read: Bad file descriptor" "$(cat "$tmp/err")"
head -c 70000000 /dev/zero | run - > /dev/null 2> "$tmp/err"
expect_eq "endless input: status" 2 $?
expect_eq "endless input" "-: cannot read: larger than 64 MiB" "$(cat "$tmp/err")"

# Diagnostics point at the fault: a stray byte in a UTF-8 text, a syntax error after lone CRs.
printf '∀X p(X);\n?- p(a) \xF4 q;\n' > "$tmp/stray.txt"
run "$tmp/stray.txt" > /dev/null 2> "$tmp/err"
expect_eq "stray byte: status" 2 $?
expect_eq "stray byte" "$tmp/stray.txt:2:9: the byte 0xF4 is not valid UTF-8 in a UTF-8 text" "$(cat "$tmp/err")"
printf 'p(a);\rq(b) r;\r' > "$tmp/cr.txt"
run "$tmp/cr.txt" > /dev/null 2> "$tmp/err"
expect_eq "lone CR: status" 1 $?
expect_eq "lone CR: position" "$tmp/cr.txt:2:5: error 2: Missing operator." "$(head -n 1 "$tmp/err")"

# Option values are checked: one line naming the option and what it takes, exit status 2.
check_usage() {  # expected-message args...
  local expected=$1
  shift
  "$bin" "$@" > /dev/null 2> "$tmp/err"
  expect_eq "usage status: $*" 2 $?
  expect_eq "usage message: $*" "$expected" "$(cat "$tmp/err")"
}
secs="expects a number of seconds above 0 and at most 1e9"
check_usage "velmoran: --timeout: $secs, not 'nan'" --timeout=nan "$tmp/socrates.txt"
check_usage "velmoran: --timeout: $secs, not 'abc'" --timeout=abc "$tmp/socrates.txt"
check_usage "velmoran: --timeout: $secs, not 'inf'" --timeout=inf "$tmp/socrates.txt"
check_usage "velmoran: --max-resolvents: expects a whole number from 1 to 9223372036854775807, not '9223372036854775808'" \
  --max-resolvents=9223372036854775808 "$tmp/socrates.txt"
for v in 0 -5 2147483648; do
  check_usage "velmoran: --dcf-limit: expects a whole number from 1 to 2147483647, not '$v'" \
    --dcf-limit=$v "$tmp/socrates.txt"
done
check_usage "velmoran: --check: needs a value: one of trivial,dcf,kill" --check= "$tmp/socrates.txt"
check_usage "velmoran: --strategy: needs a value: one of linear,modified,breadth,smallest" "$tmp/socrates.txt" -s
check_usage "velmoran: --strategy: expects one of linear,modified,breadth,smallest, not '$tmp/socrates.txt'" \
  -s "$tmp/socrates.txt"
check_usage "velmoran: --max-memory: expects a whole number from 1 to 1073741824, not '0'" \
  --max-memory=0 "$tmp/socrates.txt"

# The memory cap stops the run as the stop command does: the report so far, a note, status 3.
out=$("$bin" --max-memory=1 --hide=progress,time,memory "$tmp/endless.txt" 2> "$tmp/err")
expect_eq "memory cap: status" 3 $?
expect_eq "memory cap: note" "velmoran: $tmp/endless.txt: stopped by the memory limit" "$(cat "$tmp/err")"
expect_eq "memory cap: report so far" "Solution to ¬[p(a)→q]:1; " "$(head -n 1 <<<"$out")"

# An allocation that fails is the same stop. The address-space limit leaves room for the proof's
# stack; a sanitizer build reserves address space of its own and cannot run under it.
printf '∀X [p(X) → p(f(X, X, X, X))];\n?- p(a) → q;\n' > "$tmp/growing.txt"
if grep -q __asan_init "$bin"; then
  echo "skipped: allocation failure (sanitizer build)"
else
  out=$( (ulimit -v 1250000 && exec "$bin" --hide=progress,time,memory --check=trivial "$tmp/growing.txt") 2> "$tmp/err")
  expect_eq "allocation failure: status" 3 $?
  expect_eq "allocation failure: note" "velmoran: $tmp/growing.txt: stopped: out of memory" "$(cat "$tmp/err")"
  expect_eq "allocation failure: report so far" "Solution to ¬[p(a)→q]:1; " "$(head -n 1 <<<"$out")"
fi

# Standard output that cannot be written is an error.
run "$tmp/socrates.txt" > /dev/full 2> "$tmp/err"
expect_eq "full standard output: status" 2 $?
expect_eq "full standard output" "velmoran: cannot write the standard output: No space left on device" "$(cat "$tmp/err")"
run "$tmp/socrates.txt" >&- 2> /dev/null
expect_eq "closed standard output: status" 2 $?

# The ".out" file is replaced whole or not at all, and never written through a link.
echo "target" > "$tmp/target.txt"
ln -s "$tmp/target.txt" "$tmp/socrates.txt.out"
run --out "$tmp/socrates.txt" > /dev/null
expect_eq "linked .out: status" 0 $?
expect_eq "linked .out: the link's target is untouched" "target" "$(cat "$tmp/target.txt")"
[[ -L "$tmp/socrates.txt.out" ]] && fail "linked .out: still a link"
expect_eq "linked .out: the report replaces the link" 4 "$(grep -c $'\r$' "$tmp/socrates.txt.out")"
# A run stopped before its first line leaves the old file as it was.
for i in $(seq 200); do echo "p$i;"; done > "$tmp/many.txt"
echo "old report" > "$tmp/many.txt.out"
run --out --timeout=1e-9 "$tmp/many.txt" > /dev/null 2>&1
expect_eq "stopped while parsing: status" 3 $?
expect_eq "stopped while parsing: old .out kept" "old report" "$(cat "$tmp/many.txt.out")"
# A write that fails: the old file stays, no temporary file is left, status 2.
mkdir "$tmp/socrates2.txt.out"
cp "$tmp/socrates.txt" "$tmp/socrates2.txt"
out=$(run --out "$tmp/socrates2.txt" 2> "$tmp/err")
expect_eq "failed .out: status" 2 $?
expect_eq "failed .out: message" "velmoran: $tmp/socrates2.txt.out: cannot write: Is a directory" "$(cat "$tmp/err")"
expect_eq "failed .out: the report is printed" 1 "$(best "$out")"
# A full file system, where the machine lets a small one be made for the test.
mkdir "$tmp/small"
if mount -t tmpfs -o size=16k tmpfs "$tmp/small" 2> /dev/null; then
  cp "$tmp/socrates.txt" "$tmp/small/s.txt"
  echo "old" > "$tmp/small/s.txt.out"
  head -c 65536 /dev/zero > "$tmp/small/fill" 2> /dev/null
  run --out --show=resolvents,statistics "$tmp/small/s.txt" > /dev/null 2> "$tmp/err"
  expect_eq "full disk: status" 2 $?
  expect_eq "full disk: message" "velmoran: $tmp/small/s.txt.out: cannot write: No space left on device" "$(cat "$tmp/err")"
  expect_eq "full disk: old .out kept" "old" "$(cat "$tmp/small/s.txt.out")"
  expect_eq "full disk: no temporary file" "fill s.txt s.txt.out" "$(ls "$tmp/small" | tr '\n' ' ' | sed 's/ $//')"
  umount "$tmp/small"
else
  echo "skipped: full disk (no tmpfs can be mounted here)"
fi
expect_eq "no temporary files left" "" "$(ls "$tmp" | grep '\.out\.')"

# The first SIGINT or SIGTERM stops the proof: the report so far is printed and flushed, standard
# error says so, the status is 128 + the signal's number.
for sig in INT:130 TERM:143; do
  "$bin" --hide=time,memory --check=trivial "$tmp/endless.txt" > "$tmp/sig.out" 2> "$tmp/err" &
  pid=$!
  # Under a loaded machine the first line can take a while: wait for it up to a minute.
  for _ in $(seq 600); do [[ -s "$tmp/sig.out" ]] && break; sleep 0.1; done
  kill -"${sig%:*}" $pid
  wait $pid
  expect_eq "SIG${sig%:*}: status" "${sig#*:}" $?
  expect_eq "SIG${sig%:*}: note" "velmoran: $tmp/endless.txt: interrupted" "$(cat "$tmp/err")"
  expect_eq "SIG${sig%:*}: report so far" "Solution to ¬[p(a)→q]:1; " "$(head -n 1 "$tmp/sig.out")"
done

[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "all robustness checks passed"
