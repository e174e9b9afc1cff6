#!/usr/bin/env bash
# `--szs` and `--auto`: the status line of each query, how a stopped or failed run is marked, and
# the portfolio's choice of setting with the report of the attempt that refuted the theory.
# Usage: szs_auto.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: szs_auto.sh VELMORAN}
source "$(dirname "${BASH_SOURCE[0]}")/checks.bash"

quiet=--hide=time,memory

# --- One status word per way a query's search ends ---

# Theorem: the line stands right after the query's own lines, before the run's closing lines.
cp examples/socrates.txt "$tmp/socrates.txt"
out=$("$bin" --szs $quiet "$tmp/socrates.txt")
expect_eq "Theorem status" 0 $?
expect_eq "Theorem report" "Solution to ¬mortal(socrates):1; 
R0 [F2&F0] :  ¬man(socrates):1; 
[R0&F1] :  YES (refutation deg.):0.9;
% SZS status Theorem for socrates
Best refutation degree: 0.9" "$out"

# GaveUp: no atom of q(b) meets an atom of p(a), so the search ends at once without a refutation.
printf 'p(a);\n?- q(b);\n' > "$tmp/non_theorem.txt"
out=$("$bin" --szs $quiet "$tmp/non_theorem.txt")
expect_eq "GaveUp status" 0 $?
expect_eq "GaveUp report" "Solution to ¬q(b):1; 
% SZS status GaveUp for non_theorem" "$out"

# ContradictoryAxioms: p and ¬p refute each other without the negated query, which says nothing
# about q; a refutation that needs the query stays a Theorem (the socrates run above).
printf 'p;\n¬p;\n?- q;\n' > "$tmp/contradictory.txt"
out=$("$bin" --szs -s breadth $quiet "$tmp/contradictory.txt")
expect_eq "ContradictoryAxioms status" "% SZS status ContradictoryAxioms for contradictory" \
  "$(grep SZS <<< "$out")"

# A search that never ends on its own: p(a), p(f(a)), p(f(f(a))), ... and never q.
printf '∀X [p(X) → p(f(X))];\n?- p(a) → q;\n' > "$tmp/endless.txt"
header="Solution to ¬[p(a)→q]:1; "
out=$("$bin" --szs --hide=progress,time,memory --timeout=0.3 "$tmp/endless.txt" 2> "$tmp/err")
expect_eq "Timeout exit status" 3 $?
expect_eq "Timeout report" "$header
% SZS status Timeout for endless" "$out"
expect_eq "Timeout note stays on standard error" \
  "velmoran: $tmp/endless.txt: stopped by the time limit" "$(cat "$tmp/err")"

out=$("$bin" --szs --hide=progress,time,memory --max-resolvents=5 "$tmp/endless.txt" 2> /dev/null)
expect_eq "ResourceOut exit status" 3 $?
expect_eq "ResourceOut report" "$header
% SZS status ResourceOut for endless" "$out"

# The child processes of a process, one "PID STATE" line each.
children() {
  ps --ppid "$1" -o pid=,stat= 2> /dev/null
}

# Runs the command in the background and sends it SIGINT once its proof runs (a plain run's proof
# has a thread of its own, --auto's attempts run in two child processes; the signal handlers are
# in place before either starts); sets `out` and `status`.
interrupt_proof() {
  "$@" > "$tmp/interrupted" 2> /dev/null &
  local pid=$! i
  for ((i = 0; i < 1000; i++)); do
    [[ $(ls "/proc/$pid/task" 2> /dev/null | wc -l) -ge 2 || $(children "$pid" | wc -l) -ge 2 ]] &&
      break
    sleep 0.01
  done
  sleep 0.1
  kill -INT "$pid"
  wait "$pid"
  status=$?
  out=$(cat "$tmp/interrupted")
}

# SIGINT is the user's stop, not a timeout.
interrupt_proof "$bin" --szs --hide=progress,time,memory "$tmp/endless.txt"
expect_eq "User exit status" 130 "$status"
expect_eq "User report" "$header
% SZS status User for endless" "$out"

# A stop while the axioms are still being read reaches no query: one line after the (empty)
# report still marks the run as stopped.
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "p%d(a);\n", i; print "?- p0(a);" }' \
  > "$tmp/many_axioms.txt"
out=$("$bin" --szs --timeout=0.01 "$tmp/many_axioms.txt" 2> /dev/null)
expect_eq "stop before the query: exit status" 3 $?
expect_eq "stop before the query: report" "% SZS status Timeout for many_axioms" "$out"

# --- Several queries: one line each, in order; the syntax error gets the last word ---

printf '%s\n' 'man(socrates) : 0.9;' '?- man(socrates);' '?- man(plato);' \
  '∀X [man(X) → mortal(X)];' '?- mortal(socrates);' 'mortal(plato) mortal;' > "$tmp/queries.txt"
out=$("$bin" --szs --hide=progress,sources,time,memory "$tmp/queries.txt" 2> "$tmp/err")
expect_eq "syntax error exit status" 1 $?
expect_eq "several queries, then a syntax error" "Solution to ¬man(socrates):1; 
 YES (refutation deg.):0.9;
% SZS status Theorem for queries
Solution to ¬man(plato):1; 
% SZS status GaveUp for queries
Solution to ¬mortal(socrates):1; 
 YES (refutation deg.):0.9;
% SZS status Theorem for queries
Best refutation degree: 0.9
% SZS status SyntaxError for queries" "$out"
[[ $(head -n 1 "$tmp/err") == "$tmp/queries.txt:6:"*"Missing operator." ]] ||
  fail "the syntax error on line 6 goes to standard error"

# Standard input is "Untitled"; a file that cannot be read gets InputError and nothing else, and
# the files after it are still proved.
out=$("$bin" --szs --hide=progress,time,memory "$tmp/missing.txt" - < "$tmp/non_theorem.txt" 2> /dev/null)
expect_eq "InputError exit status" 2 $?
expect_eq "InputError, then standard input" "% SZS status InputError for missing
Solution to ¬q(b):1; 
% SZS status GaveUp for Untitled" "$out"

# --- With --out the lines are saved too, and still shown when the report is too long to be ---

out=$("$bin" --szs --out $quiet "$tmp/socrates.txt")
expect_eq "--out shows the status line" "% SZS status Theorem for socrates" "$(sed -n 4p <<< "$out")"
expect_eq "--out saves the status line" $'% SZS status Theorem for socrates\r' \
  "$(sed -n 4p "$tmp/socrates.txt.out")"

# 2,000 axioms listed before the search make a report of more than 32767 characters.
awk 'BEGIN { for (i = 0; i < 2000; i++) printf "fact%d(a);\n", i; print "?- q(b);" }' \
  > "$tmp/long_report.txt"
out=$("$bin" --szs --out --show=axioms $quiet "$tmp/long_report.txt")
expect_eq "long report: the notice, then the status" "Done, but output text exceeded the maximal size / consult the output file (*.out).
% SZS status GaveUp for long_report" "$out"
expect_eq "long report: saved status line" $'% SZS status GaveUp for long_report\r' \
  "$(tail -n 1 "$tmp/long_report.txt.out")"

# --- --auto ---

first="-s breadth --check=trivial --general-cut --one-refutation"
second="-s linear --one-refutation"
fourth="-s breadth --check=trivial --one-refutation"
last="-s smallest --check=trivial --restrict=support --unit-conflicts --one-refutation"
count=11
# The seventh to tenth settings run only where a TPTP problem has equality axioms to leave out (or
# to leave to the equality rule); the eleventh runs on every problem, and is the last.
last_run=11

# The help lists the sequence, and each setting is a valid plain run that refutes Socrates.
settings=$("$bin" --help | sed -n '/The settings, in order:/,/^ *--/p' | sed -En 's/^ *[0-9]+  //p')
expect_eq "the help lists every setting" "$count" "$(grep -c . <<< "$settings")"
expect_eq "the help's first setting" "$first" "$(head -n 1 <<< "$settings")"
while read -r setting; do
  read -r -a args <<< "$setting"
  out=$("$bin" "${args[@]}" --hide=progress,sources,time,memory "$tmp/socrates.txt" 2>&1)
  expect_eq "plain run with $setting" " YES (refutation deg.):0.9;" "$(sed -n 2p <<< "$out")"
done <<< "$settings"

# Breadth-first resolves the two contradictory axioms with each other in its first level (F1, the
# newer, is the centre): the first setting refutes it (on one core, where no other lane races it),
# without the negated query, so the axioms are contradictory.
printf 'p;\n¬p;\n?- q;\n' > "$tmp/contradiction.txt"
out=$(taskset -c 0 "$bin" --auto --szs $quiet "$tmp/contradiction.txt")
expect_eq "--auto exit status" 0 $?
expect_eq "--auto report" "Solution to ¬q:1; 
[F1&F0] :  YES (refutation deg.):1;
% SZS status ContradictoryAxioms for contradiction
Best refutation degree: 1" "$(sed '$d' <<< "$out")"
[[ $(tail -n 1 <<< "$out") =~ ^"Auto: refuted by setting 1 of $count ($first) after "[0-9]+\.[0-9]{2}" s"$ ]] ||
  fail "--auto names the first setting: $(tail -n 1 <<< "$out")"

# With two cores the settings run in two lanes at once: 5, 11, 7, 1, 4 and 3, 9, 10, 8, 6, 2 (7 to
# 10 only on a TPTP problem with equality axioms). On one core (taskset) the sequence runs in turn:
# 1 to 6 and 11 (or all 11). What only lanes do is checked where they run.
one_core=(taskset -c 0)
lanes_run=$(($(nproc) >= 2))
[[ $lanes_run == 1 ]] || echo "szs_auto.sh: one core, so the checks of the two lanes are skipped"

# The lane's winner is the one whose report --auto prints, to the byte, as a plain run with the
# named options prints it. Sets `winner` to the number of the setting.
expect_plain_report() {  # name auto-output file extra-options...
  local name=$1 output=$2 file=$3
  shift 3
  local line options
  line=$(tail -n 1 <<< "$output")
  [[ $line =~ ^"Auto: refuted by setting "([0-9]+)" of $count ("(.*)") after " ]] ||
    { fail "$name: no setting refuted it: $line"; winner=; return; }
  winner=${BASH_REMATCH[1]}
  read -r -a options <<< "${BASH_REMATCH[2]}"
  expect_eq "$name: the report is the plain run's" \
    "$("$bin" "${options[@]}" "$@" --szs $quiet "$file")" "$(sed '$d' <<< "$output")"
}

# No Y has element(Y, W) for every W exactly when not element(Y, Y) (W := Y contradicts it): the
# general cut turns the negated query's self-resolvents into excluded middles, and the first
# setting's search ends without a refutation (its splits take no instance that makes two
# universals one). In turn, the linear search of the second refutes it. In lanes, the first lane
# starts with setting 5 and the second with setting 3, and both refute it: either may be
# first.
printf '?- ¬[∀Y, W [[element(Y, W) → ¬element(Y, Y)] ∧ [¬element(Y, Y) → element(Y, W)]]];\n' \
  > "$tmp/no_such_set.txt"
read -r -a first_args <<< "$first"
out=$("$bin" "${first_args[@]}" $quiet "$tmp/no_such_set.txt")
expect_eq "no such set, the first setting alone: exit status" 0 $?
[[ $out != *"YES (refutation deg.)"* ]] || fail "the first setting alone refutes it"
out=$("${one_core[@]}" "$bin" --auto --szs --timeout=20 $quiet "$tmp/no_such_set.txt")
auto_line=$(tail -n 1 <<< "$out")
[[ $auto_line == "Auto: refuted by setting 2 of $count ($second) after "* ]] ||
  fail "no such set, on one core, is refuted by the second setting: $auto_line"
expect_plain_report "no such set, on one core" "$out" "$tmp/no_such_set.txt"
if [[ $lanes_run == 1 ]]; then
  out=$("$bin" --auto --szs --timeout=20 $quiet "$tmp/no_such_set.txt")
  expect_plain_report "no such set, in lanes" "$out" "$tmp/no_such_set.txt"
  [[ $winner == 3 || $winner == 5 ]] ||
    fail "no such set, in lanes, is refuted by setting 3 or 5: $winner"
fi

# P30 with at most 100 resolvents: both breadth-first settings reach the limit before a
# refutation; both linear kinds and both smallest-first searches refute it. So in lanes the second
# lane's first setting (3) or the first lane's second (5) wins, on one core the first linear kind
# in the sequence (2).
limit=--max-resolvents=100
for setting in "$first" "$fourth"; do
  read -r -a args <<< "$setting"
  "$bin" "${args[@]}" $limit $quiet examples/pelletier/p30.txt > /dev/null 2>&1
  expect_eq "P30, $setting alone: stopped by the limit" 3 $?
done
if [[ $lanes_run == 1 ]]; then
  out=$("$bin" --auto --szs --timeout=20 $limit $quiet examples/pelletier/p30.txt)
  expect_plain_report "P30 in lanes" "$out" examples/pelletier/p30.txt $limit
  [[ $winner == 3 || $winner == 5 ]] || fail "P30 in lanes: setting 3 or 5 wins: $winner"
fi
out=$("${one_core[@]}" "$bin" --auto --szs --timeout=20 $limit $quiet examples/pelletier/p30.txt)
expect_plain_report "P30 on one core" "$out" examples/pelletier/p30.txt $limit
expect_eq "P30 on one core: the second setting" 2 "$winner"

# Short of processes, --auto runs the sequence in turn as on one core: P30 as above. With at most
# two processes (run as an unprivileged user, for root has no such limit) the second lane's fork
# fails; with three, a child's proof thread cannot be made. Not under the sanitizers, whose leak
# check at the end needs a thread of its own.
if [[ $EUID != 0 ]] || ! command -v setpriv > /dev/null || ldd "$bin" | grep -q 'libasan'; then
  echo "szs_auto.sh: the checks short of processes need root, setpriv and no sanitizer: skipped"
else
  chmod 755 "$tmp"
  mkdir "$tmp/few"
  cp "$bin" examples/pelletier/p30.txt "$tmp/few/"
  for processes in 2 3; do
    out=$(setpriv --reuid=65534 --regid=65534 --clear-groups -- bash -c \
      "ulimit -u $processes; '$tmp/few/velmoran' --auto $limit --hide=progress,time,memory '$tmp/few/p30.txt'")
    # With three, the first lane's child may yet get its proof thread when a process of the same
    # user has just ended; its setting (5) refutes P30 too and then wins.
    last_line=$(tail -n 1 <<< "$out")
    [[ $last_line == "Auto: refuted by setting 2 of $count ($second) after "* ||
       ($processes == 3 && $last_line == "Auto: refuted by setting 5 of $count"*) ]] ||
      fail "at most $processes processes: in turn, the second setting wins: $last_line"
  done
fi

# The processes running an argument (the children of a fork run the parent's command line),
# zombies aside: they are already gone.
running_with() {
  local f
  for f in /proc/[0-9]*/cmdline; do
    grep -qF -- "$1" "$f" 2> /dev/null || continue
    f=${f%/cmdline}
    [[ $(awk '{ print $3 }' "$f/stat" 2> /dev/null) != Z ]] && echo "${f#/proc/}"
  done
}

# P25: the first lane's first setting (5, the smallest-first search) refutes it at once, while the
# second lane's modified search is still searching (alone it runs into any limit of a few
# seconds); that lane is killed, nothing is left.
cp examples/pelletier/p25.txt "$tmp/race_p25.txt"
out=$("$bin" --auto --timeout=60 $quiet "$tmp/race_p25.txt")
[[ $(tail -n 1 <<< "$out") == "Auto: refuted by setting 5 of $count"* ]] ||
  fail "P25 is refuted by the first lane's first setting: $(tail -n 1 <<< "$out")"
expect_eq "no process is left after a win" "" "$(running_with "$tmp/race_p25.txt")"

# Two files: while the second (endless) runs, its two lanes are the only children, the first
# file's are reaped; an interrupt then ends both lanes with the run.
"$bin" --auto --szs --hide=progress,time,memory "$tmp/race_p25.txt" "$tmp/endless.txt" \
  > "$tmp/two_files" 2> /dev/null &
pid=$!
for ((i = 0; i < 100; i++)); do
  sleep 0.05
  [[ $i -ge 20 && $(children "$pid" | wc -l) -ge 2 ]] && break
done
lanes=$(children "$pid")
[[ $lanes_run == 0 ]] || expect_eq "two lanes, no zombie" "2 0" \
  "$(wc -l <<< "$lanes") $(awk '$2 ~ /^Z/' <<< "$lanes" | wc -l)"
kill -INT "$pid"
wait "$pid"
expect_eq "two files, interrupted: exit status" 130 $?
for child in $(awk '{ print $1 }' <<< "$lanes"); do
  [[ ! -e /proc/$child ]] || fail "lane $child outlived the interrupt"
done
# P25's axioms contradict each other (P(a) gives G(a) and F(a), and F(a) gives ¬G(a)), so the
# winning setting's refutation may or may not use the negated conjecture.
statuses=$(sed -n 's/^% SZS status //p' "$tmp/two_files" | tr '\n' ' ' | sed 's/ $//')
[[ $statuses =~ ^(Theorem|ContradictoryAxioms)" for race_p25 User for endless"$ ]] ||
  fail "two files: the first refuted, the second interrupted: $statuses"

# --max-memory holds in every attempt's process: 200,000 axioms are more than 1 MB of heap.
out=$("$bin" --auto --szs --max-memory=1 "$tmp/many_axioms.txt" 2> "$tmp/err")
expect_eq "--auto memory limit: exit status" 3 $?
expect_eq "--auto memory limit: status line" "% SZS status ResourceOut for many_axioms" \
  "$(head -n 1 <<< "$out")"
expect_eq "--auto memory limit: note" "velmoran: $tmp/many_axioms.txt: stopped by the memory limit" \
  "$(cat "$tmp/err")"

# No setting refutes a non-theorem: every search ends, the last attempt's report is shown, GaveUp.
out=$("$bin" --auto --szs --timeout=5 $quiet "$tmp/non_theorem.txt")
expect_eq "--auto without a refutation: exit status" 0 $?
expect_eq "--auto without a refutation: report" "Solution to ¬q(b):1; 
% SZS status GaveUp for non_theorem" "$(sed '$d' <<< "$out")"
[[ $(tail -n 1 <<< "$out") =~ ^"Auto: no setting refuted it in "[0-9.]+" s; the report is that of setting $last_run of $count ($last)"$ ]] ||
  fail "--auto says no setting refuted it: $(tail -n 1 <<< "$out")"

# The budget runs out: Timeout, exit status 3, and the note on standard error.
out=$("$bin" --auto --szs --timeout=1 --hide=progress,time,memory "$tmp/endless.txt" 2> "$tmp/err")
expect_eq "--auto out of time: exit status" 3 $?
expect_eq "--auto out of time: status line" "% SZS status Timeout for endless" "$(sed -n 2p <<< "$out")"
expect_eq "--auto out of time: note" "velmoran: $tmp/endless.txt: stopped by the time limit" \
  "$(cat "$tmp/err")"

# --max-resolvents holds for every attempt.
out=$("$bin" --auto --szs --timeout=20 --max-resolvents=5 --hide=progress,time,memory \
  "$tmp/endless.txt" 2> /dev/null)
expect_eq "--auto resolvent limit: exit status" 3 $?
expect_eq "--auto resolvent limit: status line" "% SZS status ResourceOut for endless" \
  "$(sed -n 2p <<< "$out")"

# SIGINT ends the whole portfolio in its first attempts (one per lane where lanes run).
interrupt_proof "$bin" --auto --szs --hide=progress,time,memory "$tmp/endless.txt"
expect_eq "--auto interrupted: exit status" 130 "$status"
expect_eq "--auto interrupted: status line" "% SZS status User for endless" "$(sed -n 2p <<< "$out")"
[[ $(tail -n 1 <<< "$out") =~ ^"Auto: interrupted in setting "[135]" of $count (" ]] ||
  fail "--auto names the interrupted setting: $(tail -n 1 <<< "$out")"

# Two queries, only the first a theorem: no attempt refutes both, so the last of those that refute
# the most (one) is shown, each query with its own status.
printf 'man(socrates);\n?- man(socrates);\n?- man(plato);\n' > "$tmp/one_of_two.txt"
out=$("$bin" --auto --szs --timeout=5 --hide=progress,sources,time,memory "$tmp/one_of_two.txt")
expect_eq "--auto, one query of two refuted" "Solution to ¬man(socrates):1; 
 YES (refutation deg.):1;
% SZS status Theorem for one_of_two
Solution to ¬man(plato):1; 
% SZS status GaveUp for one_of_two" "$(sed '$d' <<< "$out")"
[[ $(tail -n 1 <<< "$out") == *"; the report is that of setting $last_run of $count ($last)" ]] ||
  fail "--auto shows the last attempt among equals: $(tail -n 1 <<< "$out")"

# The portfolio chooses the search options itself.
"$bin" --auto -s breadth "$tmp/socrates.txt" > /dev/null 2>&1
expect_eq "--auto with -s" 2 $?
"$bin" --auto --check=dcf "$tmp/socrates.txt" > /dev/null 2>&1
expect_eq "--auto with --check" 2 $?

[[ $failures -eq 0 ]] || { echo "$failures failure(s)" >&2; exit 1; }
echo "all szs_auto checks passed"
