#!/usr/bin/env bash
# `velmoran --auto` on every Pelletier problem: which setting of the sequence refutes each one and
# how long the whole command takes. Prints one tab-separated row per problem:
#   problem  setting  seconds  exit
# where setting is the number of the winning setting, or "-" when none refuted the problem.
# Usage: bench/auto_pelletier.sh VELMORAN [SECONDS [CORES]]   (from the repository root; SECONDS
# is the --timeout budget, default 10; CORES=1 pins every run to one core with taskset, where
# --auto runs its settings in turn instead of in two lanes). Run it under `nice` on a shared
# machine.
set -u
bin=${1:?usage: auto_pelletier.sh VELMORAN [SECONDS [CORES]]}
seconds=${2:-10}
pin=()
[[ ${3:-} == 1 ]] && pin=(taskset -c 0)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
printf 'problem\tsetting\tseconds\texit\n'
for file in examples/pelletier/p[0-9][0-9].txt; do
  start=$EPOCHREALTIME
  "${pin[@]}" "$bin" --auto --timeout="$seconds" "$file" > "$out" 2> /dev/null < /dev/null
  rc=$?
  end=$EPOCHREALTIME
  line=$(tail -n 1 "$out")
  setting=-
  [[ $line =~ ^"Auto: refuted by setting "([0-9]+) ]] && setting=${BASH_REMATCH[1]}
  name=${file##*/}
  awk -v p="${name%.txt}" -v s="$setting" -v a="$start" -v b="$end" -v rc="$rc" \
    'BEGIN { printf "%s\t%s\t%.2f\t%s\n", p, s, b - a, rc }'
done
