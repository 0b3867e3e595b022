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

. "$(dirname "$0")/lib.sh"
e2e_start "$program" screen

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
[ "$(xdotool getwindowname "$main")" = "$title" ] || fail "caption is '$(xdotool getwindowname "$main")'"
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" = 694 ] && [ "$HEIGHT" = 440 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 694x440"
for d in MASTER PROJECTS LANGUAGE; do [ -d "$work/prog/$d" ] || fail "no $d folder"; done
read -r main_x main_y <<<"$(client_origin "$main")"
box_before=$(settled_region_sum $((main_x + 87)) $((main_y + 88)) 400 14)

new_project "$main" "$project"

for _ in $(seq 100); do [ -d "$work/prog/PROJECTS/$project/bin" ] && break; sleep 0.1; done
[ -d "$work/prog/PROJECTS/$project/bin" ] || fail "project folder with bin not created: $(ls -R "$work/prog/PROJECTS")"
[ "$(ls "$work/prog/PROJECTS")" = "$project" ] || fail "unexpected project folders: $(ls "$work/prog/PROJECTS")"

region_changes $((main_x + 87)) $((main_y + 88)) 400 14 "$box_before" || fail "the active-configuration box did not change"

# Close Configurator (Btn_Close at 632,8, 50 x 50) ends the program and saves the settings.
click "$main" 657 33
e2e_expect_exit
grep -q "<projectname>$project</projectname>" "$work/prog/Varnetor.xml" ||
  fail "Varnetor.xml does not name the project: $(cat "$work/prog/Varnetor.xml" 2>/dev/null)"

echo "main window road: OK"
