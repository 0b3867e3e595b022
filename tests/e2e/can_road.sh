#!/usr/bin/env bash
# The CAN gateway's tables as a new user fills them: the type-7 program started through the test
# launcher in an empty folder, a project made with New; "Receive Frames" opened, two frames typed
# cell by cell with their types picked from the cells' lists, OK; "Info Receive" opened, the
# bytes of both frames typed into the byte lines (the second frame chosen in the list), OK; "Set
# BACnet Access" opened, two objects filled, OK; then Update Device builds the images and the
# update wizard is closed. bank1.bin holds the two objects at its start, the two frames with their
# byte positions at 0x10800 followed by empty records, and the frame count in the parameter
# record; each window opened again shows what was typed (OK writes the same file again), and
# Escape closes a window once without writing.
#
# Usage: can_road.sh <path of the built varnetor_type launcher>
set -euo pipefail

launcher="$1"
title='OstrelCorp - Varnetor GS30118 - BACnet / CAN '
project='CAN E2E'
wizard='Update Firmware from Etherner \(UDP\)'
frames_title='Receive CAN Frames'
info_title='Receive CAN Frames Info'
objects_title='BACnet Set Access'

. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/table_cells.sh"
e2e_start "$launcher" 7

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project_folder "$main" "$project"

# Receive Frames (Btn_CAN_Rec_Frame at 80,200, 170 x 36). The grid fills the window below the
# title panel: its header row (22 high) begins at 69 inside a 1-pixel frame, the rows are 21
# high, column 0 is 64 wide.
open_frames() {
  click "$main" 165 218
  win=$(find_window "$frames_title") || fail "the receive frames did not open; log: $(cat "$work/app.log")"
  grid_left=1; grid_top=70; header_height=22; row_height=21
  widths=(64 110 85 75 85 310)
}
open_frames
# Cob-ID, type (list item), dimension, time-out, mnemonic.
rows=(
  "0x123|1|2|1000|Boiler"
  "0x18FF0001|2|3|500|Flow"
)
r=1
for line in "${rows[@]}"; do
  IFS='|' read -r cobid type dim timeout mnemonic <<<"$line"
  type_cell 1 "$r" "$cobid"
  pick_cell 2 "$r" "$type"
  type_cell 3 "$r" "$dim"
  type_cell 4 "$r" "$timeout"
  type_cell 5 "$r" "$mnemonic"
  r=$((r + 1))
done
# OK (Btn_OK at 16,303 in the window: the button panel starts at 297).
click "$win" 71 317
window_gone "$win" "$frames_title" || fail "the frames did not close on OK: $(cat "$dir/CAN_Rec_Frames.xml" 2>/dev/null)"
frames="$dir/CAN_Rec_Frames.xml"
[ "$(grep -c '<row ' "$frames" 2>/dev/null)" = 2 ] || fail "the frames file does not hold two rows: $(cat "$frames" 2>/dev/null)"
grep -q '<row Cob_Id="0x123" Type="2.0A (11 bits)" Dimension="2" TimeOut="1000" Mnemonic="Boiler" />' "$frames" ||
  fail "frame 1 is not as typed: $(cat "$frames")"
grep -q '<row Cob_Id="0x18FF0001" Type="2.0B (29 bits)" Dimension="3" TimeOut="500" Mnemonic="Flow" />' "$frames" ||
  fail "frame 2 is not as typed: $(cat "$frames")"

# Info Receive (Btn_CAN_Rec_Info at 258,200): the list of Cob-IDs at 8,88, byte line k's edit at
# 392,101 + 48 (k - 1), 57 x 19.
open_info() {
  click "$main" 343 218
  win=$(find_window "$info_title") || fail "the byte map did not open; log: $(cat "$work/app.log")"
}
set_byte() { # line value: the edit clicked, its text selected and typed over
  click "$win" 420 $((110 + 48 * ($1 - 1)))
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 40 "$2"
}
open_info
set_byte 1 10
set_byte 2 11
# The second frame: a click on the first item of the list (the typed byte is kept), then Down.
click "$win" 60 97
xdotool key Down
set_byte 1 20
set_byte 2 21
set_byte 3 22
click "$win" 71 488
window_gone "$win" "$info_title" || fail "the byte map did not close on OK: $(cat "$dir/CAN_Rec_Info.xml" 2>/dev/null)"
info="$dir/CAN_Rec_Info.xml"
[ "$(grep -c '<row ' "$info" 2>/dev/null)" = 2 ] || fail "the byte map does not hold two rows: $(cat "$info" 2>/dev/null)"
grep -q '<row B1="10" B2="11" B3="65535" B4="65535" B5="65535" B6="65535" B7="65535" B8="65535" />' "$info" ||
  fail "the map of frame 1 is not as typed: $(cat "$info")"
grep -q '<row B1="20" B2="21" B3="22" B4="65535" B5="65535" B6="65535" B7="65535" B8="65535" />' "$info" ||
  fail "the map of frame 2 is not as typed: $(cat "$info")"

# Set BACnet Access (Btn_CAN_BACnet_SetAccess at 80,288): the read page's grid as in the other
# models, its header row at 94 below the page's tab.
open_objects() {
  click "$main" 165 306
  win=$(find_window "$objects_title") || fail "the object table did not open; log: $(cat "$work/app.log")"
  grid_left=2; grid_top=94; header_height=22; row_height=22
  widths=(40 150 100 64 64 64 250)
}
open_objects
# Type (list item), unit, position item, bit item, length, mnemonic.
objects=(
  "1|62|1|1|4|Boiler"
  "3|95|5|4|1|Pump"
)
r=1
for line in "${objects[@]}"; do
  IFS='|' read -r type unit pos bit length mnemonic <<<"$line"
  pick_cell 1 "$r" "$type"
  type_cell 2 "$r" "$unit"
  pick_cell 3 "$r" "$pos"
  pick_cell 4 "$r" "$bit"
  type_cell 5 "$r" "$length"
  type_cell 6 "$r" "$mnemonic"
  r=$((r + 1))
done
click "$win" 71 317
window_gone "$win" "$objects_title" || fail "the object table did not close on OK"
objects_file="$dir/CAN_BACnet_SetAccess.xml"
[ "$(grep -c '<row ' "$objects_file" 2>/dev/null)" = 2 ] || fail "the object file does not hold two rows: $(cat "$objects_file" 2>/dev/null)"
grep -q '<row Data_Type="Analog Input" Eng_Unit="62" Position="0" Bit="0" Length="4" Swap="" Mnemonic="Boiler" />' "$objects_file" ||
  fail "object 1 is not as typed: $(cat "$objects_file")"

# Update Device (Btn_CreateBin at 80,420) builds the images and opens the wizard, closed again.
click "$main" 165 438
wiz=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log")"
xdotool windowactivate --sync "$wiz" key --clearmodifiers alt+F4
window_gone "$wiz" "$wizard" || fail "the wizard did not close"

bank="$dir/bin/bank1.bin"
[ -s "$bank" ] || fail "no bank1.bin"
[ "$(stat -c %s "$bank")" = 102520 ] || fail "bank1.bin is $(stat -c %s "$bank") bytes long"
u() { od -An -tu"$2" -j "$1" -N "$2" "$bank" | tr -d ' '; } # offset width -> unsigned decimal
# CAN frame record n (32 bytes from 0x10800): Cob-ID (bit 31 for 29 bits), send timer, time-out,
# direction, data length, then the eight byte positions.
record() {
  local at=$((0x10800 + $1 * 32)) k out
  out="$(u $at 4) $(u $((at + 4)) 4) $(u $((at + 8)) 4) $(u $((at + 13)) 1) $(u $((at + 14)) 1)"
  for k in 0 1 2 3 4 5 6 7; do out="$out $(u $((at + 16 + 2 * k)) 2)"; done
  echo "$out"
}
expect=(
  "291 0 1000 0 2 10 11 65535 65535 65535 65535 65535 65535"
  "2566848513 0 500 0 3 20 21 22 65535 65535 65535 65535 65535"
  "0 0 0 0 0 65535 65535 65535 65535 65535 65535 65535 65535"
)
for i in 0 1 2; do
  got=$(record $i)
  [ "$got" = "${expect[$i]}" ] || fail "CAN frame record $i is '$got', expected '${expect[$i]}'"
done
[ "$(u $((0x18800 + 112)) 4)" = 2 ] || fail "the parameter record counts $(u $((0x18800 + 112)) 4) frames"
# The objects (16 bytes each from the start): Position, Eng_Unit, Length, Row_Number, Bit; the
# names in the pool after the 2047 entries.
entry() { echo "$(u $(($1 * 16)) 4) $(u $(($1 * 16 + 4)) 2) $(u $(($1 * 16 + 6)) 1) $(u $(($1 * 16 + 12)) 2) $(u $(($1 * 16 + 14)) 1)"; }
[ "$(entry 0)" = "0 62 4 1 0" ] || fail "object entry 0 is '$(entry 0)'"
[ "$(entry 1)" = "4 95 1 2 3" ] || fail "object entry 1 is '$(entry 1)'"
names=$(dd if="$bank" bs=1 skip=$((2047 * 16 + 1)) count=12 2>/dev/null | tr '\0' '|')
[ "$names" = "Boiler|Pump|" ] || fail "the name pool holds '$names'"

# Opened again, each window shows what was typed: OK writes the same file.
for step in frames info; do
  file=$([ $step = frames ] && echo "$frames" || echo "$info")
  cp "$file" "$work/before.xml"
  if [ $step = frames ]; then
    open_frames
    click "$win" 71 317
    window_gone "$win" "$frames_title" || fail "the frames did not close on OK the second time"
  else
    open_info
    click "$win" 71 488
    window_gone "$win" "$info_title" || fail "the byte map did not close on OK the second time"
  fi
  cmp -s "$file" "$work/before.xml" || fail "the reopened $step window lost what was typed: $(diff "$work/before.xml" "$file")"
done

# Escape closes a window once, like Cancel: the map is not written, and the main window takes
# the next click (the frames open again).
cp "$info" "$work/before.xml"
open_info
set_byte 1 99
press_key Escape
window_gone "$win" "$info_title" || fail "Escape did not close the byte map"
cmp -s "$info" "$work/before.xml" || fail "Escape wrote the byte map"
open_frames
press_key Escape
window_gone "$win" "$frames_title" || fail "Escape did not close the frames"

click "$main" 657 33
e2e_expect_exit
echo "CAN road: OK"
