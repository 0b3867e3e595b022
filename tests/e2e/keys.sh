#!/usr/bin/env bash
# Runs the program under a window manager as a person would and checks the keys that once ran a
# command twice or went nowhere:
#   - New Configuration minimised through the window manager comes back with the main window;
#     confirmed with Enter (key down and key up as separate events) it creates the project and
#     leaves no dialog open;
#   - an error box opened from a main-window button closes with Enter and stays closed;
#   - in the Ethernet update wizard, "127.0.0.1" typed with dots over the stored address pings
#     127.0.0.1: Next goes on, and the address the wizard keeps is 127.0.0.1.
#
# Usage: keys.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '
project='E2E Keys'
wizard='Update Firmware from Etherner \(UDP\)' # a pattern: the brackets escaped

. "$(dirname "$0")/lib.sh"
e2e_start "$program" screen

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"

# An error box from a main-window button: without a project, Set Communication (Btn_Prm_Gen at
# 80,156) refuses. Enter closes the box; the key coming up must not click the button again.
click "$main" 165 174
box=$(find_window 'Error') || fail "no error box for Set Communication without a project"
press_key Return
window_gone "$box" 'Error' || fail "Enter did not close the error box"
window_settled "$main"
expect_no_window 'Error' "the error box is open again after Enter"

# New Configuration (Btn_New at 80,112): the dialog takes the name, Enter confirms it.
click "$main" 165 130
dialog=$(find_window 'New Configuration') || fail "the new-configuration dialog did not open"
# The window manager offers a minimise button the dialog never asked for (openbox draws it
# whatever the window's hints say): the dialog comes back at once, with the main window that
# went with it, and typing goes on into its field.
xdotool windowminimize "$dialog"
for _ in $(seq 100); do
  [ "$(xdotool getactivewindow 2>/dev/null || true)" = "$dialog" ] && window_shown "$title" && break
  sleep 0.1
done
window_shown 'New Configuration' || fail "the minimised dialog did not come back"
window_shown "$title" || fail "the main window did not come back with its dialog"
window_settled "$dialog"
xdotool type --delay 30 "$project"
press_key Return
for _ in $(seq 100); do [ -d "$work/prog/PROJECTS/$project/bin" ] && break; sleep 0.1; done
[ -d "$work/prog/PROJECTS/$project/bin" ] || fail "Enter did not create the project: $(ls -R "$work/prog/PROJECTS")"
window_gone "$dialog" 'New Configuration' || fail "the dialog stayed open after Enter"
window_settled "$main"
expect_no_window 'New Configuration' "a New Configuration dialog is open after Enter"
[ "$(ls "$work/prog/PROJECTS")" = "$project" ] || fail "unexpected project folders: $(ls "$work/prog/PROJECTS")"

# Update Device (Btn_CreateBin at 80,288 for device type 3) builds the images and opens the
# wizard on the stored address 192.168.2.205. The first field's text is selected (E_IP1 at
# 35,97, 41 x 21) and the whole address typed over it.
click "$main" 165 306
win=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log")"
[ -s "$work/prog/PROJECTS/$project/bin/bank1.bin" ] || fail "no bank1.bin was built"
read -r wx wy <<<"$(client_origin "$win")"
click "$win" 55 107
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 60 '127.0.0.1'
# Ping (Btn_Ping at 35,155, 100 x 25): its result shows in LPing (151,163). Then Next (at
# 264,201, 75 x 25) shows the choices, with Update at 16,201.
before=$(settled_region_sum $((wx + 151)) $((wy + 160)) 180 18)
click "$win" 85 167
region_changes $((wx + 151)) $((wy + 160)) 180 18 "$before" || fail "the ping gave no result"
before=$(settled_region_sum $((wx + 16)) $((wy + 201)) 75 25)
click "$win" 301 213
region_changes $((wx + 16)) $((wy + 201)) 75 25 "$before" || fail "Next did not show the choices"
window_shown 'Error' && fail "Next refused: the ping of the typed address failed"
# Page 2 has no Cancel: the wizard is closed with its title-bar close box, then the program.
xdotool windowactivate --sync "$win" key --clearmodifiers alt+F4
window_gone "$win" "$wizard" || fail "the wizard did not close"
click "$main" 657 33
e2e_expect_exit
grep -q '<ipaddress>127.0.0.1</ipaddress>' "$work/prog/Varnetor.xml" ||
  fail "the wizard did not keep 127.0.0.1: $(cat "$work/prog/Varnetor.xml")"

echo "keys road: OK"
