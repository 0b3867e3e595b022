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

. "$(dirname "$0")/lib.sh"
e2e_start "$program"

key_value() { # key -> its text in the project's ParGen.xml
  sed -n "s:.*<$1>\([^<]*\)</$1>.*:\1:p" "$pargen"
}

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"

new_project "$main" "$project"
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
click "$win" 95 838
window_gone "$win" 'Set Communication' || fail "OK did not close the window the second time"
for _ in $(seq 50); do grep -q '<Not_A_Key>' "$pargen" || break; sleep 0.1; done
grep -q '<Not_A_Key>' "$pargen" && fail "the second OK did not write ParGen.xml"
address="$(key_value BACnet_IP1).$(key_value BACnet_IP2).$(key_value BACnet_IP3).$(key_value BACnet_IP4)"
[ "$address" = 10.20.30.41 ] || fail "the reopened window did not show the stored address: $address"

# Cancel (at 162, 824) without a change closes without a question and writes nothing.
before=$(md5sum "$pargen")
win=$(open_pargen)
click "$win" 217 838
window_gone "$win" 'Set Communication' || fail "Cancel without a change did not close the window"
[ "$(md5sum "$pargen")" = "$before" ] || fail "Cancel changed ParGen.xml"

# Close Configurator (Btn_Close at 632,8, 50 x 50) ends the program.
click "$main" 657 33
e2e_expect_exit

echo "general parameters road: OK"
