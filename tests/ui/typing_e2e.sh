#!/usr/bin/env bash
# End to end: the real velmoran-gui on a real X server with a German keyboard layout.
#
# xdotool types a theory into the editor by physical keys: under "de" the keys of the US "/", ";",
# "-" and "Y" positions carry the keysyms minus, odiaeresis, ssharp and z, and the editor must
# still insert "/", ";", "-" and "y". Ctrl+Alt+Q must insert the one byte 0xF7 (the German layout
# would also offer "@" or a control character), Ctrl+Alt+E nothing at all (not "€", not "e").
# The theory is saved through "&File" / "&Save" by keyboard and its bytes compared; then
# "Interactive" is switched off through "&Output", "Linear" is clicked, and the report the window
# writes to THEORY.out is checked line by line. A second window proves a theory that never ends
# breadth-first: its title says it proves until Escape stops it. Back in the first, Ctrl+S saves an
# edit, F5 proves again into a syntax error whose box must come and go, and Ctrl+W closes the
# window. In the untitled window, Ctrl+W with Yes and a cancelled save dialog must keep the window
# and its text; No then closes it. Finally "E&xit" must end the program normally.
#
# Usage: typing_e2e.sh PATH-TO-velmoran-gui (Xvfb, setxkbmap, xdotool, ImageMagick's import and
# Debian's /usr/bin/python3 must be installed: tools/install-deps). Every wait is bounded.
set -u
app=${1:?usage: typing_e2e.sh VELMORAN-GUI}
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$repo/tests/ui/support/xvfb_app.sh"
for tool in setxkbmap import; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run tools/install-deps"
done
[[ -x "$app" ]] || fail "no program at $app"

# --- the X server, a free display of its own, German keys -----------------------------------------
xvfb_start

timeout 10 setxkbmap -display "$DISPLAY" de || fail "setxkbmap de failed"
layout=$(timeout 10 setxkbmap -display "$DISPLAY" -query | awk '$1 == "layout:" {print $2}')
[[ "$layout" == de ]] || fail "the keyboard layout is '$layout', not de"

# --- the program, with an empty theory file so that Save needs no dialog ------------------------

theory="$tmp/theory.txt"
: >"$theory"
# Breadth-first it never ends: each level adds p(f(...(a))) one f deeper, and nothing resolves
# with q(b).
endless="$tmp/endless.txt"
printf '\xf7X [p(X) \xf4 p(f(X))];\r\np(a);\r\n?- q(b);\r\n' >"$endless"
mkdir -m 700 "$tmp/runtime"
# In a sanitizer build the leak check runs at Exit. On a real X server the toolkit also talks to
# D-Bus, whose library keeps a buffer for the life of the process, like the font library.
{
  cat "$repo/tests/ui/lsan.supp"
  echo "leak:libdbus-1.so"
} >"$tmp/lsan.supp"
# The program's remembered habits (recent files, last folder) go to a settings folder of its own.
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$tmp/runtime" XDG_CONFIG_HOME="$tmp/config" \
  LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$tmp/lsan.supp" \
  "$app" "$endless" "$theory" >"$tmp/app.log" 2>&1 &
app_pid=$!

# The file's window is the active one, so the frame's caption names it.
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '\[theory\.txt\]' | head -n 1)
[[ -n "$wid" ]] || fail "no window showing theory.txt within 30 s"
timeout 10 xdotool windowfocus --sync "$wid" || fail "could not focus the window"

# Finds the "Linear" button in a picture of the frame: the tool-bar buttons are 57 x 25, side by
# side, so the topmost row holding at least four dark horizontal runs of about a button's width
# is their top edge, and the second run is "Linear". Prints the centre as "X Y".
find_linear() {
  timeout 10 import -window "$wid" -depth 8 ppm:- 2>/dev/null | "$python" -c '
import sys
data = sys.stdin.buffer.read()
head = data.split(maxsplit=4)
if head[0] != b"P6" or head[3] != b"255":
    sys.exit(1)
width, height = int(head[1]), int(head[2])
pixels = head[4][-3 * width * height:]
for y in range(height):
    row = pixels[3 * width * y:3 * width * (y + 1)]
    runs, start = [], None
    for x in range(width + 1):
        dark = x < width and max(row[3 * x:3 * x + 3]) < 200
        if dark and start is None:
            start = x
        elif not dark and start is not None:
            if 40 <= x - start <= 60:
                runs.append((start, x))
            start = None
    if len(runs) >= 4:
        print((runs[1][0] + runs[1][1]) // 2, y + 12)
        sys.exit(0)
sys.exit(1)
'
}
linear=
locate() { linear=$(find_linear) && [[ -n "$linear" ]]; }
wait_until 15 locate || fail "could not find the Linear button in a picture of the window"

# --- typing by physical keys -----------------------------------------------------------------------

# US text wanted          keys sent under "de" (keysym at that US position)
# ∀ (nothing) X p(X/2)    ctrl+alt+q ctrl+alt+e shift+x space p shift+9 shift+x minus 2 shift+0
# " : 0.8;" Enter         space shift+odiaeresis space 0 period 8 odiaeresis Return
# ?- p(y/2) "; "          shift+minus ssharp space p shift+9 z minus 2 shift+0 ctrl+alt+space
timeout 30 xdotool key --delay 30 \
  ctrl+alt+q ctrl+alt+e shift+x space p shift+9 shift+x minus 2 shift+0 \
  space shift+odiaeresis space 0 period 8 odiaeresis Return \
  shift+minus ssharp space p shift+9 z minus 2 shift+0 ctrl+alt+space ||
  fail "xdotool could not type"

# "&File", "&Save": the window's file name is known, so no dialog.
timeout 10 xdotool key --delay 100 alt+f s || fail "xdotool could not open the File menu"
wait_until 10 test -s "$theory" || fail "the theory was not saved within 10 s"

# One-byte text, each line ended by CR LF; 0xF7 is the universal quantifier.
printf '\xf7X p(X/2) : 0.8;\r\n?- p(y/2); \r\n' >"$tmp/expected.txt"
if ! cmp -s "$theory" "$tmp/expected.txt"; then
  echo "saved:" >&2
  od -c "$theory" >&2
  echo "expected:" >&2
  od -c "$tmp/expected.txt" >&2
  fail "the saved theory differs from what was typed"
fi

# --- proving with Interactive off -------------------------------------------------------------------

# "Interactive" is the last item of "&Output": Up from the first item wraps round to it.
timeout 10 xdotool key --delay 100 alt+o Up Return || fail "xdotool could not open the Output menu"
# "Linear" is clicked.
read -r x y <<<"$linear"
timeout 10 xdotool mousemove --window "$wid" "$x" "$y" click 1 || fail "could not click Linear"

out="$theory.out"
wait_until 30 test -s "$out" ||
  fail "no $out within 30 s (was Interactive switched off and Linear pressed?)"
app_running || fail "velmoran-gui ended during the proof"

# The report, worked out by hand: the query's negation as the header (the axioms are not listed),
# its one refutation, by the negated query F1 against the axiom F0, with the t-norm of 1 and 0.8,
# no substitution (the query has no variables), then the time and memory lines.
mapfile -t lines <"$out"
LC_ALL=C
expected=(
  $'Solution to \xacp(y/2):1; \r'
  $'[F1&F0] :  YES (refutation deg.):0.8;\r'
  $'Best refutation degree: 0.8\r'
)
problems=()
((${#lines[@]} == 5)) || problems+=("${#lines[@]} lines instead of 5")
for i in 0 1 2; do
  [[ "${lines[i]-}" == "${expected[i]}" ]] ||
    problems+=("line $((i + 1)) is '${lines[i]-}', expected '${expected[i]%$'\r'}' with CR LF")
done
[[ "${lines[3]-}" =~ ^Solving\ time\ :\ [0-9]+\.[0-9]{2}\ s\.\ Used\ memory\ for\ proof:\ [0-9]+\ B\.$'\r'$ ]] ||
  problems+=("line 4 is '${lines[3]-}'")
[[ "${lines[4]-}" =~ ^Total\ allocated\ for\ Velmoran:\ [0-9]+\ B\.$'\r'$ ]] ||
  problems+=("line 5 is '${lines[4]-}'")
[[ "$(tail -c 2 "$out" | od -An -c | tr -d ' ')" == '\r\n' ]] ||
  problems+=("the report does not end with CR LF")
if ((${#problems[@]})); then
  echo "report:" >&2
  od -c "$out" >&2
  fail "$(printf '%s; ' "${problems[@]}")"
fi

# --- a long proof shows in the title and Escape stops it ---------------------------------------------

# A message box is a window of its own, captioned with the program's name alone.
box_shown() { window_shown Velmoran; }
box_gone() { ! box_shown; }

# "&Window": 1 Untitled, 2 endless.txt, 3 theory.txt.
timeout 10 xdotool key --delay 100 alt+w 2 || fail "xdotool could not open the Window menu"
wait_until 10 title_is "Velmoran - [endless.txt]" || fail "endless.txt is not active: '$(title)'"
# "Breadth" stands right of "Linear": 57 pixels wide, 2 apart.
timeout 10 xdotool mousemove --window "$wid" $((x + 59)) "$y" click 1 || fail "could not click Breadth"
wait_until 10 title_has "endless.txt - proving" || fail "the title does not say the window proves: '$(title)'"
sleep 1
app_running || fail "velmoran-gui ended during the long proof"
title_has "proving" || fail "the long proof ended by itself: '$(title)'"
timeout 10 xdotool key Escape || fail "xdotool could not press Escape"
wait_until 10 title_is "Velmoran - [endless.txt]" || fail "Escape did not stop the proof: '$(title)'"
timeout 10 xdotool key ctrl+w || fail "xdotool could not press Ctrl+W"

# --- Ctrl+S, then a syntax error ---------------------------------------------------------------------

timeout 10 xdotool key --delay 100 alt+w 2 || fail "xdotool could not open the Window menu"
wait_until 10 title_is "Velmoran - [theory.txt]" || fail "theory.txt is not active: '$(title)'"
# "q;" after the query and its "; " (";" is the key right of L); the title marks the change until
# Ctrl+S.
timeout 10 xdotool key --delay 50 ctrl+End q odiaeresis || fail "xdotool could not type"
wait_until 10 title_is "Velmoran - [theory.txt*]" || fail "no mark of the change: '$(title)'"
timeout 10 xdotool key ctrl+s || fail "xdotool could not press Ctrl+S"
wait_until 10 title_is "Velmoran - [theory.txt]" || fail "Ctrl+S left the mark: '$(title)'"
printf '\xf7X p(X/2) : 0.8;\r\n?- p(y/2); q;\r\n' >"$tmp/expected.txt"
cmp -s "$theory" "$tmp/expected.txt" || fail "Ctrl+S did not save the edit: $(od -c "$theory")"

# " q q;": two names with no operator between them. F5 proves again, linear as before.
timeout 10 xdotool key --delay 50 space q space q odiaeresis F5 || fail "xdotool could not type"
wait_until 15 box_shown || fail "no box for the syntax error"
focus_window Velmoran
timeout 10 xdotool key Return || fail "xdotool could not press Return"
wait_until 10 box_gone || fail "the syntax error's box did not close"
# With no window manager on the server, the focus goes back to the frame by hand.
timeout 10 xdotool windowfocus --sync "$wid" || fail "could not focus the window"
app_running || fail "velmoran-gui ended after the syntax error"
timeout 10 xdotool key ctrl+s ctrl+w || fail "xdotool could not press Ctrl+S and Ctrl+W"

# --- nothing lost on close ---------------------------------------------------------------------------

wait_until 10 title_is "Velmoran - [Untitled]" || fail "Untitled is not active: '$(title)'"
timeout 10 xdotool key p || fail "xdotool could not type"
wait_until 10 title_is "Velmoran - [Untitled*]" || fail "no mark of the change: '$(title)'"
# Yes to "Save changes to Untitled?", then Escape in the save dialog: the window stays.
timeout 10 xdotool key ctrl+w || fail "xdotool could not press Ctrl+W"
wait_until 10 box_shown || fail "no question before closing the modified window"
focus_window Velmoran
timeout 10 xdotool key y || fail "xdotool could not answer Yes"
wait_until 10 window_shown "Save As" || fail "no save dialog after Yes"
focus_window "Save As"
timeout 10 xdotool key Escape || fail "xdotool could not cancel the save dialog"
wait_until 10 bash -c '! xdotool search --onlyvisible --name "^Save As\$" >/dev/null 2>&1' ||
  fail "the save dialog did not close"
timeout 10 xdotool windowfocus --sync "$wid" || fail "could not focus the window"
app_running || fail "velmoran-gui ended when the save was cancelled"
title_is "Velmoran - [Untitled*]" || fail "the window did not stay with its text: '$(title)'"
timeout 10 xdotool key ctrl+w || fail "xdotool could not press Ctrl+W"
wait_until 10 box_shown || fail "no question before closing the modified window"
focus_window Velmoran
timeout 10 xdotool key n || fail "xdotool could not answer No"
wait_until 10 title_is "Velmoran" || fail "the window did not close after No: '$(title)'"
timeout 10 xdotool windowfocus --sync "$wid" || fail "could not focus the window"

# --- leaving: nothing is modified, so "E&xit" ends the program without a question --------------

app_exit 15

echo "typing_e2e: ok"
