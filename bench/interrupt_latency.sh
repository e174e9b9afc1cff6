#!/usr/bin/env bash
# How long a proof takes to end after the stop request: the time from SIGINT to the end of a
# `velmoran` run, which sets the same `StopRequested` as the app's Stop button and then writes the
# rest of the report, frees the prover object and exits. That is an upper bound for the app, which
# shows "Proof stopped." when the proof thread returns and frees the object on a thread of its own.
# Prints one row per case: the problem, the seconds before the stop and the latency in seconds.
# Usage: bench/interrupt_latency.sh PATH-TO-VELMORAN [SECONDS...] (run from the repository root).
set -u
bin=${1:?usage: interrupt_latency.sh VELMORAN [SECONDS...]}
shift
delays=("$@")
[[ ${#delays[@]} -gt 0 ]] || delays=(5 10 25)

echo "| problem | stopped after s | latency s |"
echo "| --- | ---: | ---: |"
for p in p26 p45 p47; do
  for d in "${delays[@]}"; do
    "$bin" -s breadth --check=trivial --hide=progress examples/pelletier/$p.txt > /dev/null 2>&1 &
    pid=$!
    sleep "$d"
    start=$(date +%s.%N)
    kill -INT "$pid"
    wait "$pid" 2> /dev/null
    end=$(date +%s.%N)
    awk -v p="$p" -v d="$d" -v s="$start" -v e="$end" 'BEGIN { printf "| %s | %s | %.2f |\n", p, d, e - s }'
  done
done
