#!/usr/bin/env bash
# How long after its --timeout a run ends: the stop has to end the search loops at once and free
# the stored resolvents in linear time. Prints one row per case: the limit, the wall time and the
# overshoot, in seconds. The figures go to bench/README.md ("Stop latency after a limit").
# Usage: bench/stop_latency.sh PATH-TO-VELMORAN (run from the repository root).
set -u
bin=${1:?usage: stop_latency.sh VELMORAN}

run_case() {  # name timeout args...
  local name=$1 timeout=$2
  shift 2
  local start end
  start=$(date +%s.%N)
  "$bin" --hide=progress,time,memory --timeout="$timeout" "$@" > /dev/null 2>&1
  local rc=$?
  end=$(date +%s.%N)
  awk -v n="$name" -v t="$timeout" -v s="$start" -v e="$end" -v rc="$rc" \
    'BEGIN { printf "| %-38s | %4s | %7.2f | %6.2f | %s |\n", n, t, e - s, e - s - t, rc }'
}

echo "| case                                   | limit | wall s | over s | exit |"
echo "| --- | ---: | ---: | ---: | ---: |"
for t in 2 5 20; do
  run_case "p26 breadth, trivial check" "$t" -s breadth --check=trivial examples/pelletier/p26.txt
done
run_case "p26 linear" 10 -s linear examples/pelletier/p26.txt
run_case "p26 linear, trivial check" 10 -s linear --check=trivial examples/pelletier/p26.txt
