#!/usr/bin/env bash
# End to end: proving in the real velmoran-gui on a virtual X server, as a user reads it.
#
# A long proof, Pelletier's P26 breadth-first with "Trivial check only", shows its progress while
# it runs: the title says the window proves and the line under the report counts the seconds and
# the resolvents stored, several times a second; Escape stops it, and the status and the line say
# so. A theory with a syntax error is proved with F5: the status names the line and column, a box
# comes and goes. Mended, Ctrl+S saves it, F5 refutes it, and Ctrl+G opens its derivation. In the
# untitled window, Ctrl+W with Yes and a cancelled save dialog keeps the window with its text,
# which Ctrl+S then saves under a name typed without ".txt". "E&xit" ends the program normally.
#
# What the windows show is read from the program's log of shown texts (VELMORAN_LOG_SHOWN, see
# tests/ui/support/xvfb_app.sh), the titles through xdotool, the files from the disk.
#
# Usage: proving_e2e.sh PATH-TO-velmoran-gui (Xvfb, xdotool and graphviz: tools/install-deps).
set -u
app=${1:?usage: proving_e2e.sh VELMORAN-GUI}
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$repo/tests/ui/support/xvfb_app.sh"

xvfb_start
cp "$repo/examples/pelletier/p26.txt" "$tmp/p26.txt"
# "q(b) r(c)": two atoms with no operator between them; the caret goes right after "q(b)", on
# line 2 at column 5.
printf 'p(a);\r\nq(b) r(c);\r\n?- p(a);\r\n' >"$tmp/broken.txt"
app_start "$tmp/broken.txt" "$tmp/p26.txt"

# --- a long proof shows its progress, and Escape stops it --------------------------------------------

wait_until 10 title_is "Velmoran - [p26.txt]" || fail "p26.txt is not active: '$(title)'"
# "&Prove theorem" opens on "Stop": Up wraps round to its last item, "Support set strategy";
# six up is "Trivial check only". Then Down three times from "Stop" is "Breadth-first search".
keys alt+p Up Up Up Up Up Up Return
keys alt+p Down Down Down Return
mark=0
wait_until 15 title_is "Velmoran - [p26.txt - proving]" ||
  fail "the title does not say the window proves: '$(title)'"
# The line under the report, as it changes: at least four different figures in turn, the seconds
# never going back, and resolvents stored.
progress() {
  shown_after "$mark" "proof line" |
    sed -n 's/^Proving (breadth-first search): \([0-9.]*\) s, resolvents stored: \([0-9]*\), .* in use$/\1 \2/p'
}
enough_progress() { (($(progress | wc -l) >= 4)); }
wait_until 30 enough_progress || fail "no progress shown: $(shown_after "$mark" "proof line" | tail -n 3)"
progress | "$python" -c '
import sys
rows = [tuple(map(float, l.split())) for l in sys.stdin]
assert all(a[0] <= b[0] for a, b in zip(rows, rows[1:])), rows
assert rows[-1][0] > rows[0][0] and rows[-1][1] > 0, rows
' || fail "the progress does not go forward: $(progress | tr '\n' ';')"
title_is "Velmoran - [p26.txt - proving]" || fail "the proof ended by itself: '$(title)'"
shown "$mark" status "Proving..." || fail "no status while proving"

mark=$(log_mark)
keys Escape
wait_until 30 shown "$mark" status "Proof stopped." || fail "Escape did not stop the proof"
wait_until 10 title_is "Velmoran - [p26.txt]" || fail "the title still says proving: '$(title)'"
shown_after "$mark" "proof line" | grep -q '^Stopped: [0-9.]* s, resolvents stored: [1-9][0-9]*$' ||
  fail "the proof line does not say it stopped: $(shown_after "$mark" "proof line")"
app_running || fail "velmoran-gui ended after Stop"

# --- a syntax error names its place ---------------------------------------------------------------------

# "&Window": 1 Untitled, 2 broken.txt, 3 p26.txt.
keys alt+w 2
wait_until 10 title_is "Velmoran - [broken.txt]" || fail "broken.txt is not active: '$(title)'"
mark=$(log_mark)
keys F5
wait_until 30 shown "$mark" status "Syntax error at line 2, column 5: Missing operator." ||
  fail "the status does not name the place: $(shown_after "$mark" status)"
wait_until 15 window_shown Velmoran || fail "no box for the syntax error"
focus_window Velmoran
keys Return
wait_until 10 window_gone Velmoran || fail "the syntax error's box did not close"
focus_frame

# Mended where the box left the caret, right after "q(b)": a disjunction (Ctrl+Alt+D) between the
# two atoms. The axiom p(a) then refutes the query at degree 1 + 1 - 1 = 1.
keys space ctrl+alt+d
wait_until 10 title_is "Velmoran - [broken.txt*]" || fail "no mark of the change: '$(title)'"
keys ctrl+s
wait_until 10 title_is "Velmoran - [broken.txt]" || fail "Ctrl+S left the mark: '$(title)'"
printf 'p(a);\r\nq(b) \xfc r(c);\r\n?- p(a);\r\n' >"$tmp/expected.txt"
cmp -s "$tmp/broken.txt" "$tmp/expected.txt" ||
  fail "Ctrl+S did not save the edit: $(od -c "$tmp/broken.txt")"
mark=$(log_mark)
keys F5
wait_until 30 shown "$mark" status "Proof done: refuted, best refutation degree 1." ||
  fail "the mended theory was not refuted: $(shown_after "$mark" status)"
keys ctrl+g
wait_until 30 window_shown "Derivation - broken.txt" || fail "Ctrl+G opened no derivation view"
focus_frame

# --- nothing lost on close -------------------------------------------------------------------------------

keys alt+w 1
wait_until 10 title_is "Velmoran - [Untitled]" || fail "Untitled is not active: '$(title)'"
keys p shift+9 b shift+0 semicolon
wait_until 10 title_is "Velmoran - [Untitled*]" || fail "no mark of the change: '$(title)'"
# Yes to "Save changes to Untitled?", then Escape in the save dialog: the window stays.
keys ctrl+w
wait_until 10 window_shown Velmoran || fail "no question before closing the modified window"
focus_window Velmoran
keys y
wait_until 10 window_shown "Save As" || fail "no save dialog after Yes"
focus_window "Save As"
keys Escape
wait_until 10 window_gone "Save As" || fail "the save dialog did not close"
focus_frame
app_running || fail "velmoran-gui ended when the save was cancelled"
title_is "Velmoran - [Untitled*]" || fail "the window did not stay: '$(title)'"
# Its text is still there: Ctrl+S saves it under a name typed without ".txt".
keys ctrl+s
wait_until 10 window_shown "Save As" || fail "no save dialog for Ctrl+S"
focus_window "Save As"
# The dialog starts in the folder of the files opened and saved so far, $tmp.
keys ctrl+a
timeout 30 xdotool type --delay 50 kept || fail "xdotool could not type the name"
keys Return
wait_until 10 test -s "$tmp/kept.txt" || fail "nothing saved as kept.txt: $(ls "$tmp")"
wait_until 10 title_is "Velmoran - [kept.txt]" || fail "the title does not name the file: '$(title)'"
cmp -s "$tmp/kept.txt" <(printf 'p(b);\r\n') || fail "kept.txt holds $(od -c "$tmp/kept.txt")"

# --- leaving: nothing is modified, so "E&xit" ends the program without a question -----------------

focus_frame
app_exit 30

echo "proving_e2e: ok"
