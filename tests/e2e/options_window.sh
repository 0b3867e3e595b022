#!/usr/bin/env bash
# Runs the program as a new user would, on its own virtual X display under a window manager:
# in a fresh program folder with one language file, "Options" opens the software options, the
# language is picked with the mouse and the question confirmed, the options window and the main
# window's captions change to that language's texts, OK closes the window, and after "Close
# Configurator" the choice is in Varnetor.xml.
#
# Usage: options_window.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '

. "$(dirname "$0")/lib.sh"
e2e_start "$program" screen

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
[ -d "$work/prog/LANGUAGE" ] || fail "no LANGUAGE folder"
# The language the user installs: the options window lists the folder each time it opens.
printf 'STR0 =Anfang\r\nSTR15 =Neue Konfiguration\r\nSTR16 =Konfiguration oeffnen\r\nSTR17 =Geraet aktualisieren\r\n'\
'STR20 =Kommunikation\r\nSTR38 =Software-Optionen\r\nSTR40 =Sprache\r\nSTR54 =Sprache wechseln von \r\n'\
'STR55 = nach \r\nSTR56 =?\r\n' >"$work/prog/LANGUAGE/Deutsch.lng"

read -r main_x main_y <<<"$(client_origin "$main")"
# The caption of "New Configuration" (Btn_New at 80,112, 170 x 36).
before=$(settled_region_sum $((main_x + 80)) $((main_y + 112)) 170 36)

# Options (Btn_Opz at 574,8, 50 x 50).
click "$main" 599 33
opts=$(find_window 'Software Options') || fail "the options window did not open; log: $(cat "$work/app.log")"
# The first language slot: its name beside the flag place, on the Language page (page at
# 8,84; the name at 72,50 in it).
click "$opts" 90 140
box=$(find_window 'Confirm') || fail "no question before the change of language"
# Yes is the box's default button (the question loses nothing); the key goes down and up as two
# events, the box closing in between.
press_key Return
window_gone "$box" 'Confirm' || fail "the question did not close"

opts=$(find_window 'Software-Optionen') || fail "the options window kept its caption; log: $(cat "$work/app.log")"
region_changes $((main_x + 80)) $((main_y + 112)) 170 36 "$before" || fail "the main window's captions did not change"

# OK (Btn_OK at 264,340, 80 x 28).
click "$opts" 304 354
window_gone "$opts" 'Software-Optionen' || fail "OK did not close the options window"

# Close Configurator (Btn_Close at 632,8, 50 x 50) ends the program and saves the settings.
click "$main" 657 33
e2e_expect_exit
grep -q '<language>Deutsch</language>' "$work/prog/Varnetor.xml" ||
  fail "Varnetor.xml does not name the language: $(cat "$work/prog/Varnetor.xml" 2>/dev/null)"

echo "options window road: OK"
