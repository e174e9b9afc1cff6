#!/usr/bin/env bash
# Which search settings refute which Pelletier problems, and how fast: the measurements behind the
# sequence that `velmoran --auto` tries. Runs every examples/pelletier/pNN.txt once with every
# setting, one run at a time, and prints one tab-separated row per run:
#   problem  setting  outcome  resolvents  seconds  exit
# outcome is "refuted" (a refutation line), "stopped" (a limit ended the run first) or "none" (the
# search ended without one); resolvents is the count of progress lines "R<n> [...]" (the stored
# resolvents of the query); seconds is the wall time of the whole command. The statistics are not
# asked for: a run that prints them skips no consequence-test step, and is slower than a user's.
#
# Usage: bench/settings_matrix.sh VELMORAN [SECONDS [FIRST [LAST]]]   (from the repository root)
#   SECONDS      --timeout of each run (default 10, the budget `--auto --timeout=10` has in all)
#   FIRST, LAST  only the settings numbered FIRST to LAST (1-based, in the list below)
# Environment: MATRIX_PROBLEMS, a space-separated list of problem numbers (default 01 to 47).
# Run it under `nice` on a shared machine; the figures in bench/RESULTS.md came from such runs.
set -u
bin=${1:?usage: settings_matrix.sh VELMORAN [SECONDS [FIRST [LAST]]]}
seconds=${2:-10}
settings=(
  "-s linear"
  "-s linear --check=dcf"
  "-s linear --check=trivial"
  "-s modified"
  "-s modified --check=dcf"
  "-s modified --check=trivial"
  "-s breadth"
  "-s breadth --check=dcf"
  "-s breadth --check=trivial"
  "-s linear --restrict=support"
  "-s modified --restrict=support"
  "-s breadth --restrict=support"
  "-s breadth --check=trivial --restrict=support"
  "-s linear --unify=first-match"
  "-s breadth --unify=first-match"
  "-s breadth --check=trivial --general-cut"
  "-s smallest"
  "-s smallest --check=trivial"
  "-s smallest --check=dcf"
)
first=${3:-1}
last=${4:-${#settings[@]}}
problems=${MATRIX_PROBLEMS:-$(seq -w 1 47)}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

printf 'problem\tsetting\toutcome\tresolvents\tseconds\texit\n'
for n in $problems; do
  file=examples/pelletier/p$n.txt
  for ((i = first; i <= last; i++)); do
    setting=${settings[i - 1]}
    read -r -a args <<< "$setting"
    start=$EPOCHREALTIME
    "$bin" "${args[@]}" --one-refutation --timeout="$seconds" \
      --max-memory=4096 "$file" > "$out" 2> /dev/null < /dev/null
    rc=$?
    end=$EPOCHREALTIME
    if grep -q ' YES (refutation deg\.):' "$out"; then
      outcome=refuted
    elif [[ $rc -eq 3 ]]; then
      outcome=stopped
    else
      outcome=none
    fi
    resolvents=$(grep -c '^R[0-9]* \[' "$out")
    awk -v p="p$n" -v s="$i: $setting" -v o="$outcome" -v r="${resolvents:--}" -v a="$start" \
      -v b="$end" -v rc="$rc" 'BEGIN { printf "%s\t%s\t%s\t%s\t%.3f\t%s\n", p, s, o, r, b - a, rc }'
  done
done
