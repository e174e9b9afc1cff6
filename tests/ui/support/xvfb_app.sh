# Shared by the scripts that drive the real velmoran-gui on a private Xvfb display (the
# end-to-end tests, bench/app_stop_latency.sh). Source it, set `app` to the program, and call
# `xvfb_start` and then `app_start ARGS...`.
#
# The program runs with VELMORAN_LOG_SHOWN set, so what its windows show goes to $tmp/app.log as
# "shown SECONDS KIND: TEXT" (SECONDS on the monotonic clock): the scripts read the status
# messages and the proof lines there, as a user reads them on the screen, and time them.
# Everything the helpers start is ended on exit; every wait is bounded.

python=/usr/bin/python3
tmp=$(mktemp -d)
xvfb_pid=
app_pid=

xvfb_cleanup() {
  local pid
  for pid in $app_pid $xvfb_pid; do
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null
      # SIGKILL whatever ignores the polite request for two seconds.
      for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap xvfb_cleanup EXIT
trap 'exit 2' INT TERM

fail() {
  echo "FAIL: $*" >&2
  if [[ -s "$tmp/app.log" ]]; then
    echo "--- velmoran-gui said:" >&2
    tail -n 40 "$tmp/app.log" >&2
  fi
  exit 1
}

# Runs the command until it succeeds or SECONDS seconds have passed (polling every 0.1 s).
wait_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

app_running() { kill -0 "$app_pid" 2>/dev/null; }
app_gone() { ! app_running; }

xvfb_start() {
  local tool
  for tool in Xvfb xdotool "$python"; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run tools/install-deps"
  done
  # -noreset: an X server that loses its last client starts afresh, with the default keymap.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" \
    >"$tmp/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_until 15 grep -q '[0-9]' "$tmp/display" ||
    fail "Xvfb did not report a display: $(cat "$tmp/xvfb.log")"
  DISPLAY=":$(tr -dc '0-9' <"$tmp/display")"
  export DISPLAY
}

# Starts the program with ARGS and waits for its frame, whose id goes to `wid`; the frame's
# caption names the active window, the last file of ARGS.
app_start() {
  [[ -x "$app" ]] || fail "no program at $app"
  mkdir -p -m 700 "$tmp/runtime"
  # In a sanitizer build the leak check runs at Exit; on a real X server the toolkit also talks
  # to D-Bus, whose library keeps a buffer for the life of the process, like the font library.
  { cat "$(dirname "${BASH_SOURCE[0]}")/../lsan.supp"; echo "leak:libdbus-1.so"; } >"$tmp/lsan.supp"
  VELMORAN_LOG_SHOWN=1 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$tmp/runtime" \
    XDG_CONFIG_HOME="$tmp/config" \
    LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$tmp/lsan.supp" \
    "$app" "$@" >"$tmp/app.log" 2>&1 &
  app_pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Velmoran - \[' | head -n 1)
  [[ -n "$wid" ]] || fail "no frame window within 30 s"
  focus_frame
}

focus_frame() { timeout 10 xdotool windowfocus --sync "$wid" || fail "could not focus the frame"; }
keys() { timeout 30 xdotool key --delay 100 "$@" || fail "xdotool could not press $*"; }
title() { timeout 5 xdotool getwindowname "$wid" 2>/dev/null; }
title_is() { [[ "$(title)" == "$1" ]]; }
title_has() { [[ "$(title)" == *"$1"* ]]; }
# A window other than the frame, by its whole caption.
window_shown() { timeout 5 xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
window_gone() { ! window_shown "$1"; }
# Gives the keyboard to the window with this caption: with no window manager, a box or dialog
# that has just been mapped may not have it yet, and a key sent then goes elsewhere.
focus_window() {
  local id
  id=$(timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1)
  [[ -n "$id" ]] && timeout 10 xdotool windowfocus --sync "$id" 2>/dev/null
}

# The log so far: a mark to read what is shown after it.
log_mark() { wc -l <"$tmp/app.log"; }
# What the windows showed of KIND after MARK, the texts alone, one a line.
shown_after() {
  tail -n +$(($1 + 1)) "$tmp/app.log" | sed -n "s/^shown [0-9.]* $2: //p"
}
# Succeeds once a text of KIND shown after MARK is exactly TEXT.
shown() { shown_after "$1" "$2" | grep -qxF -- "$3"; }
# The monotonic time at which TEXT of KIND was first shown after MARK.
shown_time() {
  tail -n +$(($1 + 1)) "$tmp/app.log" |
    awk -v kind="$2: " -v text="$3" 'index($0, "shown ") == 1 {
      rest = substr($0, index(substr($0, 7), " ") + 7)
      if (rest == kind text) { print $2; exit }
    }'
}

# Ends the program without asking (SIGTERM, then SIGKILL after two seconds), for a fresh start.
app_kill() {
  if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null
    for _ in $(seq 20); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$app_pid" 2>/dev/null
  fi
  [[ -n "$app_pid" ]] && wait "$app_pid" 2>/dev/null
  app_pid=
}

# "E&xit" by keys; the program must end within SECONDS with status 0.
app_exit() {
  timeout 10 xdotool key --delay 100 alt+f x || fail "xdotool could not open the File menu"
  wait_until "$1" app_gone || fail "velmoran-gui did not end after Exit"
  wait "$app_pid"
  local status=$?
  app_pid=
  ((status == 0)) || fail "velmoran-gui ended with status $status"
}
