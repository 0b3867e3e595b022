#!/usr/bin/env bash
# Runs the program as a person would, on its own virtual X display: the main window of device
# type 3 opens with its caption and size, "New Configuration" with a typed name creates the
# project folder and shows the name in the active-configuration box, and "Close Configurator"
# ends the program and writes the project name into Varnetor.xml.
#
# Usage: main_window.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '
project='E2E Project'

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A display of our own: Xvfb picks a free number and tells it; its screen is kept in a file.
mkdir "$work/fb" "$work/prog"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -fbdir "$work/fb" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
screen="$work/fb/Xvfb_screen0"

# The program in a fresh program folder, as a user installs it.
cp "$program" "$work/prog/varnetor"
(
  cd "$work/prog"
  QT_QPA_PLATFORM=xcb ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" exec ./varnetor
) >"$work/app.log" 2>&1 &
app_pid=$!

find_window() { # exact name -> window id, waiting up to 20 s
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# A fingerprint of a rectangle of the screen (x y width height), read from the screen file.
u32() { od -An -t u4 --endian=big -j "$2" -N 4 "$1" | tr -d ' '; }
region_sum() {
  local header bpl ncolors start
  header=$(u32 "$screen" 0)
  bpl=$(u32 "$screen" 48)
  ncolors=$(u32 "$screen" 76)
  start=$((header + ncolors * 12))
  for ((y = $2; y < $2 + $4; y++)); do
    dd if="$screen" bs=4096 iflag=skip_bytes,count_bytes skip=$((start + y * bpl + $1 * 4)) count=$(($3 * 4)) \
      status=none
  done | md5sum | cut -d' ' -f1
}

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
[ "$(xdotool getwindowname "$main")" = "$title" ] || fail "caption is '$(xdotool getwindowname "$main")'"
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" = 694 ] && [ "$HEIGHT" = 440 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 694x440"
for d in MASTER PROJECTS LANGUAGE; do [ -d "$work/prog/$d" ] || fail "no $d folder"; done
main_x=$X
main_y=$Y
sleep 0.5
box_before=$(region_sum $((main_x + 87)) $((main_y + 88)) 400 14)

# New Configuration (Btn_New at 80,112, 170 x 36), type the name, OK (Btn_OK at 160,120, 75 x 30).
xdotool mousemove --window "$main" 165 130 click 1
dialog=$(find_window 'New Configuration') || fail "the new-configuration dialog did not open"
xdotool mousemove --window "$dialog" 150 91 click 1
sleep 0.2
xdotool type --delay 30 "$project"
sleep 0.2
xdotool mousemove --window "$dialog" 197 135 click 1

for _ in $(seq 100); do [ -d "$work/prog/PROJECTS/$project/bin" ] && break; sleep 0.1; done
[ -d "$work/prog/PROJECTS/$project/bin" ] || fail "project folder with bin not created: $(ls -R "$work/prog/PROJECTS")"
[ "$(ls "$work/prog/PROJECTS")" = "$project" ] || fail "unexpected project folders: $(ls "$work/prog/PROJECTS")"

box_after=""
for _ in $(seq 50); do
  box_after=$(region_sum $((main_x + 87)) $((main_y + 88)) 400 14)
  [ "$box_after" != "$box_before" ] && break
  sleep 0.1
done
[ "$box_after" != "$box_before" ] || fail "the active-configuration box did not change"

# Close Configurator (Btn_Close at 632,8, 50 x 50) ends the program and saves the settings.
xdotool mousemove --window "$main" 657 33 click 1
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then fail "the program did not end"; fi
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" = 0 ] || fail "the program ended with status $status: $(cat "$work/app.log")"
grep -q "<projectname>$project</projectname>" "$work/prog/Varnetor.xml" ||
  fail "Varnetor.xml does not name the project: $(cat "$work/prog/Varnetor.xml" 2>/dev/null)"

echo "main window road: OK"
