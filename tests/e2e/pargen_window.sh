#!/usr/bin/env bash
# Runs the program as a person would, on its own virtual X display: in a new project of device
# type 3, "Set Communication" opens the general parameters window at its size; an IP address
# typed with dots (which move on from box to box) and OK write ParGen.xml; the window opened
# again shows what the file holds (confirming it unchanged writes the same address), and Cancel
# without a change closes it without a question.
#
# Usage: pargen_window.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '
project='E2E ParGen'

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

# A display of our own: Xvfb picks a free number and tells it.
mkdir "$work/prog"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

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
window_gone() { # window id -> waits up to 10 s for it to close
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}
click() { # window x y
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.2
}
key_value() { # key -> its text in the project's ParGen.xml
  sed -n "s:.*<$1>\([^<]*\)</$1>.*:\1:p" "$pargen"
}

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"

# New Configuration (Btn_New at 80,112, 170 x 36): type the name, OK (Btn_OK at 160,120, 75 x 30).
click "$main" 165 130
dialog=$(find_window 'New Configuration') || fail "the new-configuration dialog did not open"
click "$dialog" 150 91
xdotool type --delay 30 "$project"
sleep 0.2
click "$dialog" 197 135
pargen="$work/prog/PROJECTS/$project/ParGen.xml"
for _ in $(seq 100); do [ -d "$work/prog/PROJECTS/$project" ] && break; sleep 0.1; done
[ -d "$work/prog/PROJECTS/$project" ] || fail "project folder not created"
[ ! -e "$pargen" ] || fail "a new project already has ParGen.xml"

# Set Communication (Btn_Prm_Gen at 80,156, 170 x 36).
open_pargen() {
  click "$main" 165 174
  find_window 'Set Communication' || fail "the general parameters window did not open; log: $(cat "$work/app.log")"
}
win=$(open_pargen)
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 312 ] && [ "$HEIGHT" = 865 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 312x865"

# The BACnet box lies at 8,134; its address boxes at 16, 82, 148, 214 (60 x 21), 42 below its
# top. Select the first box's text and type the whole address: each dot moves to the next box.
click "$win" 54 186
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 40 '10.20.30.40'
sleep 0.3
# OK (at 40, 824, 110 x 28).
click "$win" 95 838
window_gone "$win" 'Set Communication' || fail "OK did not close the window"
for _ in $(seq 50); do [ -s "$pargen" ] && break; sleep 0.1; done
[ -s "$pargen" ] || fail "OK wrote no ParGen.xml"
address="$(key_value BACnet_IP1).$(key_value BACnet_IP2).$(key_value BACnet_IP3).$(key_value BACnet_IP4)"
[ "$address" = 10.20.30.40 ] || fail "ParGen.xml holds the address $address: $(cat "$pargen")"
grep -q '<!--SW_VERSION = 1.405-->' "$pargen" || fail "no version comment: $(cat "$pargen")"

# Opened again, the window shows what the file holds: a file changed behind its back (the last
# octet 41, and a key of no device type) is shown and, confirmed unchanged, written anew whole.
sed -i 's:<BACnet_IP4>40</BACnet_IP4>:<BACnet_IP4>41</BACnet_IP4><Not_A_Key>1</Not_A_Key>:' "$pargen"
grep -q '<Not_A_Key>' "$pargen" || fail "could not change ParGen.xml for the test"
win=$(open_pargen)
sleep 0.3
click "$win" 95 838
window_gone "$win" 'Set Communication' || fail "OK did not close the window the second time"
for _ in $(seq 50); do grep -q '<Not_A_Key>' "$pargen" || break; sleep 0.1; done
grep -q '<Not_A_Key>' "$pargen" && fail "the second OK did not write ParGen.xml"
address="$(key_value BACnet_IP1).$(key_value BACnet_IP2).$(key_value BACnet_IP3).$(key_value BACnet_IP4)"
[ "$address" = 10.20.30.41 ] || fail "the reopened window did not show the stored address: $address"

# Cancel (at 162, 824) without a change closes without a question and writes nothing.
before=$(md5sum "$pargen")
win=$(open_pargen)
sleep 0.3
click "$win" 217 838
window_gone "$win" 'Set Communication' || fail "Cancel without a change did not close the window"
[ "$(md5sum "$pargen")" = "$before" ] || fail "Cancel changed ParGen.xml"

# Close Configurator (Btn_Close at 632,8, 50 x 50) ends the program.
click "$main" 657 33
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then fail "the program did not end"; fi
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" = 0 ] || fail "the program ended with status $status: $(cat "$work/app.log")"

echo "general parameters road: OK"
