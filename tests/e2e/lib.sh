# Shared steps of the end-to-end runs, sourced by each script after `set -euo pipefail`:
# a temporary work folder removed at the end, a virtual X display of its own with a small
# window manager (openbox) as a person's desktop has one (focus, title bars and where a key's
# press and release land depend on it), the program started from a fresh program folder, and
# window lookups and clicks through xdotool.
#
#   e2e_start <program> [screen] [args...]
#                                 work folder, display and program; with "screen", Xvfb keeps
#                                 its screen in "$screen" (for region fingerprints); the
#                                 arguments go to the program (the test launcher `varnetor_type`
#                                 takes the device type: e2e_start "$launcher" 16)
#   after it: $work (work folder), $work/prog (program folder), $app_pid, $DISPLAY
#   region_sum <x> <y> <w> <h>    md5 of a rectangle of the kept screen
#
# Every wait is for a state (a window shown, settled or gone, a file, a picture that changed),
# polled with a bound, never a fixed pause: a busy machine only makes the runs slower. Clicks
# and keys need no pause after them: the X server hands them to the program in the order sent.
# The one timing kept is a person's: two clicks meant as two, not a double click, are further
# apart than the double-click interval (the server stamps the events, so a slow program does
# not change it).

work=""
xvfb_pid=""
wm_pid=""
app_pid=""
screen=""

e2e_cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  # Only what e2e_start started: a helper of the caller's (a stand-in gateway) that outlives a
  # failed start would keep a plain `wait` waiting until the test's time-out.
  local pid
  for pid in $app_pid $wm_pid $xvfb_pid; do wait "$pid" 2>/dev/null || true; done
  [ -n "$work" ] && rm -rf "$work"
}

fail() { echo "FAIL: $*" >&2; exit 1; }

e2e_start() {
  local program="$1" keep_screen=""
  shift
  if [ "${1:-}" = screen ]; then keep_screen=screen; shift; fi
  local args=("$@")
  work=$(mktemp -d)
  trap e2e_cleanup EXIT

  # A display of our own: Xvfb picks a free number and tells it.
  mkdir "$work/prog"
  local fb=()
  if [ "$keep_screen" = screen ]; then
    mkdir "$work/fb"
    fb=(-fbdir "$work/fb")
    screen="$work/fb/Xvfb_screen0"
  fi
  # Several runs start displays at once on a shared machine: an Xvfb that announced a number and
  # then ended (the number taken meanwhile) is started again (three tries), and the display
  # counts as ours only while our Xvfb runs.
  local attempt
  for attempt in 1 2 3; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 "${fb[@]}" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.1; done
    if [ -s "$work/display" ]; then
      export DISPLAY=":$(head -n1 "$work/display")"
      # A display that Xvfb has announced may still refuse the first connection.
      for _ in $(seq 100); do
        kill -0 "$xvfb_pid" 2>/dev/null || break
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
      done
      kill -0 "$xvfb_pid" 2>/dev/null && xdpyinfo >/dev/null 2>&1 && break
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    [ "$attempt" = 3 ] && fail "Xvfb did not start or its display does not answer: $(cat "$work/xvfb.log")"
  done

  # The window manager, with its settings in the work folder. On a busy machine its first
  # connection may still be refused like ours was: it is started again (three tries).
  mkdir -p "$work/home"
  local try
  for try in 1 2 3; do
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
      openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break 2
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$wm_pid" 2>/dev/null || [ "$try" = 3 ]; then
      fail "openbox did not start: $(cat "$work/openbox.log")"
    fi
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  done
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || fail "openbox does not manage the display"

  # The program in a fresh program folder, as a user installs it.
  cp "$program" "$work/prog/varnetor"
  (
    cd "$work/prog"
    QT_QPA_PLATFORM=xcb ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" exec ./varnetor "${args[@]}"
  ) >"$work/app.log" 2>&1 &
  app_pid=$!
}

# A window just mapped is still being placed and focused by the window manager (and moved into
# the screen by the program); a click or key sent meanwhile lands elsewhere. Waits up to 10 s
# until the window is the active one and has kept its place and size over two looks; returns
# in any case (the caller's next check tells what went wrong).
window_settled() { # window id
  local last="" now=""
  for _ in $(seq 100); do
    now="$(xdotool getwindowgeometry "$1" 2>/dev/null | tr '\n' ' ')|$(xdotool getactivewindow 2>/dev/null || true)"
    [ "$now" = "$last" ] && [ "${now##*|}" = "$1" ] && return 0
    last="$now"
    sleep 0.1
  done
  return 0
}

find_window() { # exact name -> window id, waiting up to 20 s for it, then for it to settle
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { window_settled "$id"; echo "$id"; return 0; }
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Where a window's client area begins on the screen ("x y"): xdotool's position of a window
# under a window manager leaves out the title bar.
client_origin() { # window id
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x, y }'
}

# A fingerprint, printed by the command given, once the program has finished painting (the same
# over two looks, up to 10 s): a picture to compare a later one with.
settled() { # command...
  local last="" now=""
  for _ in $(seq 100); do
    now=$("$@")
    [ "$now" = "$last" ] && break
    last="$now"
    sleep 0.1
  done
  echo "$now"
}
settled_region_sum() { settled region_sum "$@"; } # x y width height

# Waits up to 10 s for the fingerprint printed by the command to differ from `$1`, then for the
# picture to settle, and prints the settled fingerprint; fails when it never changed.
changed_settled() { # fingerprint, command...
  local before="$1"
  shift
  for _ in $(seq 100); do
    [ "$("$@")" != "$before" ] && { settled "$@"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to 10 s for the rectangle's fingerprint to differ from `$5`.
region_changes() { # x y width height fingerprint
  for _ in $(seq 100); do
    [ "$(region_sum "$1" "$2" "$3" "$4")" != "$5" ] && return 0
    sleep 0.1
  done
  return 1
}

# A fingerprint of a rectangle of the screen (x y width height), read from the screen file
# that e2e_start keeps with "screen" (an XWD dump: big-endian header, colour map, then rows).
screen_u32() { od -An -t u4 --endian=big -j "$2" -N 4 "$1" | tr -d ' '; }
# Where the screen file's rows begin and the bytes of one row: "start bytes".
screen_rows() {
  echo "$(($(screen_u32 "$screen" 0) + $(screen_u32 "$screen" 76) * 12)) $(screen_u32 "$screen" 48)"
}
region_sum() {
  local start bpl
  read -r start bpl <<<"$(screen_rows)"
  for ((y = $2; y < $2 + $4; y++)); do
    dd if="$screen" bs=4096 iflag=skip_bytes,count_bytes skip=$((start + y * bpl + $1 * 4)) count=$(($3 * 4)) \
      status=none
  done | md5sum | cut -d' ' -f1
}

# The same for whole rows of the screen (y height), read in one piece: cheap for a large area.
rows_region_sum() {
  local start bpl
  read -r start bpl <<<"$(screen_rows)"
  dd if="$screen" bs=65536 iflag=skip_bytes,count_bytes skip=$((start + $1 * bpl)) count=$(($2 * bpl)) status=none |
    md5sum | cut -d' ' -f1
}

window_gone() { # window id, name -> waits up to 10 s for it to close
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}

click() { # window x y
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Two clicks on one place that the program must take as two, not as a double click: the second
# comes later than the double-click interval (400 ms).
click_twice() { # window x y
  xdotool mousemove --window "$1" "$2" "$3" click 1 sleep 0.6 click 1
}

# A key pressed and released as two events, as a person's finger does: a window that closes
# on the key going down is gone (another window active) before the key comes up; a key that
# closes nothing comes up after a short while.
press_key() { # key name (xdotool's)
  local before
  before=$(xdotool getactivewindow 2>/dev/null || true)
  xdotool keydown "$1"
  for _ in $(seq 20); do
    [ "$(xdotool getactivewindow 2>/dev/null || true)" != "$before" ] && break
    sleep 0.05
  done
  xdotool keyup "$1"
}

# Nothing but the window of this exact name may show for a while: a box that must stay closed
# is not opened again by a key coming up or a click repeated (watched for 1 s).
expect_no_window() { # name, what the failure says
  for _ in $(seq 10); do
    window_shown "$1" && fail "$2"
    sleep 0.1
  done
  return 0
}

# The program's shown windows, tool tips aside: a drop-down list adds one while it is open.
app_window_count() {
  local n=0 id
  for id in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP || n=$((n + 1))
  done
  echo "$n"
}

# The ids of those windows, one a line.
app_windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP || echo "$id"
  done
}

# Waits up to 10 s for a window of the program that is not among `$1` (app_windows taken
# before) and prints its id: a menu or list that opened.
new_app_window() { # ids before
  local id
  for _ in $(seq 100); do
    for id in $(app_windows); do
      grep -qx "$id" <<<"$1" || { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# Waits up to 10 s until the window is no longer shown (a menu closed, whatever it opened).
window_id_gone() { # window id
  for _ in $(seq 100); do
    app_windows | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}

# Waits up to 10 s until the program shows `$1` windows (tool tips aside).
app_window_count_is() { # count
  for _ in $(seq 100); do
    [ "$(app_window_count)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to 10 s until the file holds a line matching the extended regular expression: a state
# the program writes down (a layout, a state line rewritten whole on each change).
file_has_line() { # file, pattern
  for _ in $(seq 100); do
    grep -Eq -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Whether a window of this exact name is shown.
window_shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# In the main window: New Configuration (Btn_New at 80,112, 170 x 36), the name typed into the
# dialog, OK (Btn_OK at 160,120, 75 x 30).
# Returns when the dialog has closed and the main window is active again.
new_project() { # main window id, project name
  click "$1" 165 130
  local dialog
  dialog=$(find_window 'New Configuration') || fail "the new-configuration dialog did not open"
  click "$dialog" 150 91
  xdotool type --delay 30 "$2"
  click "$dialog" 197 135
  window_gone "$dialog" 'New Configuration' || fail "the new-configuration dialog did not close"
  window_settled "$1"
}

# New Configuration as above, then waits for the project's folder: $dir is its path.
new_project_folder() { # main window id, project name
  new_project "$1" "$2"
  dir="$work/prog/PROJECTS/$2"
  for _ in $(seq 100); do [ -d "$dir/bin" ] && break; sleep 0.1; done
  [ -d "$dir/bin" ] || fail "project folder not created: $(ls -R "$work/prog/PROJECTS")"
  window_settled "$1"
}

# In the unit picker just opened: a category chosen in its list by typing its name, its first
# unit taken with the select button (at 16,206), OK (at 306,262); waits for it to close.
pick_first_unit_of() { # category
  local pwin
  pwin=$(find_window 'Select the BACnet Engineering Unit') || fail "the unit picker did not open"
  click "$pwin" 136 180
  xdotool type --delay 60 "$1"
  xdotool key Return
  click "$pwin" 136 220
  click "$pwin" 361 276
  window_gone "$pwin" 'Select the BACnet Engineering Unit' || fail "the unit picker did not close on OK"
}

# Waits up to 10 s for the program to end; fails unless it ended with status 0.
e2e_expect_exit() {
  for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app_pid" 2>/dev/null; then fail "the program did not end"; fi
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  [ "$status" = 0 ] || fail "the program ended with status $status: $(cat "$work/app.log")"
}
