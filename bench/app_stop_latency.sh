#!/usr/bin/env bash
# The desktop app's Stop, timed as a user meets it: from the Escape key (the stop command's key)
# to the status "Proof stopped.", on long breadth-first proofs with "Trivial check only", stopped
# after a while. One fresh velmoran-gui per case on a private Xvfb display, chosen by keys as a
# user would: "&Prove theorem" / "Trivial check only", then "Breadth-first search".
#
# The clock is the monotonic one on both sides: this script reads it just before it sends Escape,
# the program logs when it shows each text (VELMORAN_LOG_SHOWN, see tests/ui/support/xvfb_app.sh).
# Columns: the problem, how long after "Proving..." Escape was sent, the latency to "Proof
# stopped.", the part of it before the window took the stop command (key delivery and the event
# loop), and the resolvents stored and heap in use as the window last showed them.
#
# Usage: bench/app_stop_latency.sh [VELMORAN-GUI [DELAYS [PROBLEMS]]]
#   defaults: build/ui/velmoran-gui, "5 10 25", "p26 p45 p47" (examples/pelletier/).
# A measurement, not a test: the figures go to bench/RESULTS.md with the date and the load.
set -u
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
app=${1:-$repo/build/ui/velmoran-gui}
delays=${2:-5 10 25}
problems=${3:-p26 p45 p47}
source "$repo/tests/ui/support/xvfb_app.sh"

now() { "$python" -c 'import time; print(f"{time.monotonic():.6f}")'; }

xvfb_start
echo "| problem | Escape after s | to \"Proof stopped.\" s | of which until taken s | resolvents | in use |"
echo "| --- | ---: | ---: | ---: | ---: | ---: |"
for problem in $problems; do
  for delay in $delays; do
    cp "$repo/examples/pelletier/$problem.txt" "$tmp/$problem.txt"
    app_start "$tmp/$problem.txt"
    keys alt+p Up Up Up Up Up Up Return
    keys alt+p Down Down Down Return
    wait_until 30 shown 0 status "Proving..." || fail "$problem: the proof did not start"
    started=$(shown_time 0 status "Proving...")
    # Sleeps until `delay` seconds after the program said it proves.
    "$python" -c "import time; time.sleep(max(0.0, $started + $delay - time.monotonic()))"
    shown 0 status "Proof stopped." && fail "$problem: stopped before Escape"
    shown_after 0 status | grep -q '^Proof done' && fail "$problem: ended by itself within $delay s"
    sent=$(now)
    timeout 10 xdotool key Escape || fail "xdotool could not press Escape"
    wait_until 120 shown 0 status "Proof stopped." || fail "$problem: no \"Proof stopped.\" in 120 s"
    stopped=$(shown_time 0 status "Proof stopped.")
    taken=$(shown_time 0 command "Stop")
    figures=$(shown_after 0 "proof line" | grep '^Proving' | tail -n 1 |
      sed -n 's/.*resolvents stored: \([0-9]*\), \(.*\) in use$/\1|\2/p')
    awk -v p="$problem" -v d="$delay" -v s="$sent" -v e="$stopped" -v t="$taken" -v f="$figures" \
      -v started="$started" 'BEGIN {
        split(f, x, "|")
        printf "| %s | %.2f | %.3f | %.3f | %s | %s |\n", p, s - started, e - s, t - s, x[1], x[2]
      }'
    app_kill
  done
done
