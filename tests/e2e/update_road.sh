#!/usr/bin/env bash
# The update road when the updater is missing (it is not shipped with the program): in a new
# project of device type 3, Update Device builds the images and opens the Ethernet wizard;
# 127.0.0.1 is pinged, Next leads to the choices and Update tries to start the updater. The box
# saying that it could not be started closes with Enter; then the wizard takes input again (its
# close box closes it), the main window too ("Close Configurator" ends the program), and
# Varnetor.xml is written with the address the wizard kept.
#
# Usage: update_road.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '
project='E2E Update'
wizard='Update Firmware from Etherner \(UDP\)' # a pattern: the brackets escaped

. "$(dirname "$0")/lib.sh"
e2e_start "$program" screen

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project "$main" "$project"
for _ in $(seq 100); do [ -d "$work/prog/PROJECTS/$project/bin" ] && break; sleep 0.1; done
[ -d "$work/prog/PROJECTS/$project/bin" ] || fail "the project was not created: $(ls -R "$work/prog/PROJECTS")"
ls "$work/prog" | grep -qi 'update\.exe$' && fail "an updater is in the program folder"

# Update Device (Btn_CreateBin at 80,288 for device type 3).
click "$main" 165 306
win=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log")"
read -r wx wy <<<"$(client_origin "$win")"
# The address over the stored one (E_IP1 at 35,97: its text selected, the whole address typed).
click "$win" 55 107
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 60 '127.0.0.1'
# Ping (Btn_Ping at 35,155, 100 x 25): the result appears in LPing (151,163).
before=$(settled_region_sum $((wx + 151)) $((wy + 160)) 180 18)
click "$win" 85 167
region_changes $((wx + 151)) $((wy + 160)) 180 18 "$before" || fail "the ping gave no result"
# Next (at 264,201, 75 x 25): the choices, with Update at 16,201.
update_before=$(settled_region_sum $((wx + 16)) $((wy + 201)) 75 25)
click "$win" 301 213
region_changes $((wx + 16)) $((wy + 201)) 75 25 "$update_before" ||
  fail "Next did not lead to the choices (ping refused?); log: $(cat "$work/app.log")"
window_shown 'Error' && fail "Next refused the address"

# Update: the updater is missing. Its box must close with Enter.
click "$win" 53 213
box=$(find_window 'Error') || fail "no box for the missing updater; log: $(cat "$work/app.log")"
press_key Return
window_gone "$box" 'Error' || fail "Enter did not close the box of the missing updater"

# The wizard takes input again: its close box closes it.
window_settled "$win"
xdotool windowactivate --sync "$win" key --clearmodifiers alt+F4
window_gone "$win" "$wizard" || fail "the wizard takes no input after the box"

# The main window too: Close Configurator (Btn_Close at 632,8) ends the program, which writes
# its settings.
window_settled "$main"
click "$main" 657 33
e2e_expect_exit
grep -q '<ipaddress>127.0.0.1</ipaddress>' "$work/prog/Varnetor.xml" ||
  fail "Varnetor.xml was not written with the wizard's address: $(cat "$work/prog/Varnetor.xml" 2>/dev/null)"

echo "update road without updater: OK"
