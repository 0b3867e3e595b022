#!/usr/bin/env bash
# Runs the program as a person would, on its own virtual X display: in a project of device type 3
# whose BACnet object table holds objects, "BACnet EDE File" asks for a file name; Cancel writes
# nothing, a typed name writes the EDE list (".csv" added, CR LF lines, the table's objects); the
# same name again asks before overwriting, and Cancel or No leave the file as it was. The box
# saying that the function is not available never appears.
#
# Usage: ede_export.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '
project='E2E EDE'

. "$(dirname "$0")/lib.sh"
e2e_start "$program"

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project "$main" "$project"
dir="$work/prog/PROJECTS/$project"
for _ in $(seq 100); do [ -d "$dir" ] && break; sleep 0.1; done
[ -d "$dir" ] || fail "project folder not created"
printf '%s' '<BACnet_SetAccess><BACnet_in_Read><row Data_Type="ANALOG INPUT" Eng_Unit="62" Mnemonic="Supply temp"/>' \
  '</BACnet_in_Read><BACnet_in_Write><row Data_Type="ANALOG OUT" Eng_Unit="62" Mnemonic="Setpoint"/>' \
  '</BACnet_in_Write></BACnet_SetAccess>' >"$dir/ModbusTCPM_BACnet_SetAccess.xml"

no_error_box() {
  if xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1; then
    fail "an error box appeared: $(cat "$work/app.log")"
  fi
}

# BACnet EDE File (Btn_BACnet_EDE_File at 80,244, 170 x 36) opens the save dialog.
open_save_dialog() {
  click "$main" 165 262
  local d=""
  for _ in $(seq 100); do
    d=$(xdotool search --onlyvisible --name '^Save As$' 2>/dev/null | head -n1 || true)
    [ -n "$d" ] && break
    no_error_box
    sleep 0.1
  done
  [ -n "$d" ] || fail "no save dialog; log: $(cat "$work/app.log")"
  window_settled "$d"
  echo "$d"
}

# Keys go to the active window: the one given, once it is settled.
keys_to() { # window, keys...
  local win="$1"
  shift
  window_settled "$win"
  xdotool key --clearmodifiers "$@"
}

# 1. Cancel (Escape) in the save dialog: no file.
dialog=$(open_save_dialog)
keys_to "$dialog" Escape
window_gone "$dialog" 'Save As' || fail "Escape did not close the save dialog"
no_error_box
[ "$(ls "$dir")" = "$(printf 'ModbusTCPM_BACnet_SetAccess.xml\nbin')" ] || fail "Cancel left files: $(ls "$dir")"

# 2. A typed name: the file is written with ".csv" added.
dialog=$(open_save_dialog)
xdotool type --delay 30 'objects'
xdotool key Return
window_gone "$dialog" 'Save As' || fail "Enter did not close the save dialog"
for _ in $(seq 50); do [ -s "$dir/objects.csv" ] && break; sleep 0.1; done
[ -s "$dir/objects.csv" ] || fail "no objects.csv: $(ls "$dir"); log: $(cat "$work/app.log")"
no_error_box
head -n1 "$dir/objects.csv" | grep -q $'^PROJECT_NAME; OstrelCorp-GX30115-E2E EDE;;;;;;\r$' ||
  fail "first line: $(head -n1 "$dir/objects.csv" | od -c | head -n3)"
grep -q $'^_Supply temp_0;;Supply temp;0;0;Supply temp;62;\r$' "$dir/objects.csv" || fail "no read object: $(cat "$dir/objects.csv")"
grep -q $'^_Setpoint_0;;Setpoint;1;0;Setpoint;62;\r$' "$dir/objects.csv" || fail "no write object: $(cat "$dir/objects.csv")"
[ "$(wc -l <"$dir/objects.csv")" = 9 ] || fail "$(wc -l <"$dir/objects.csv") lines"
[ "$(tail -c 2 "$dir/objects.csv" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "the last line does not end in CR LF"

# 3. The same name again: the overwrite question; Cancel (Escape) and No keep the file.
printf 'changed' >>"$dir/objects.csv"
changed=$(md5sum <"$dir/objects.csv")
for answer in Escape alt+n; do
  dialog=$(open_save_dialog)
  xdotool type --delay 30 'objects'
  xdotool key Return
  window_gone "$dialog" 'Save As' || fail "Enter did not close the save dialog"
  box=$(find_window 'Confirm') || fail "no overwrite question; log: $(cat "$work/app.log")"
  keys_to "$box" "$answer"
  window_gone "$box" 'Confirm' || fail "$answer did not answer the question"
  [ "$(md5sum <"$dir/objects.csv")" = "$changed" ] || fail "$answer changed the file"
  no_error_box
done

# 4. Yes writes it anew.
dialog=$(open_save_dialog)
xdotool type --delay 30 'objects.csv'
xdotool key Return
window_gone "$dialog" 'Save As' || fail "Enter did not close the save dialog"
box=$(find_window 'Confirm') || fail "no overwrite question"
keys_to "$box" alt+y
window_gone "$box" 'Confirm' || fail "Yes did not answer the question"
for _ in $(seq 50); do [ "$(md5sum <"$dir/objects.csv")" != "$changed" ] && break; sleep 0.1; done
[ "$(md5sum <"$dir/objects.csv" )" != "$changed" ] || fail "Yes did not rewrite the file"
grep -q 'changed' "$dir/objects.csv" && fail "the rewritten file still holds the old end"
[ "$(ls "$dir" | tr '\n' ' ')" = "ModbusTCPM_BACnet_SetAccess.xml bin objects.csv " ] || fail "files: $(ls "$dir")"
no_error_box

# Close Configurator (Btn_Close at 632,8, 50 x 50).
click "$main" 657 33
e2e_expect_exit
echo "EDE export road: OK"
