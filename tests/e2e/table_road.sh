#!/usr/bin/env bash
# The tables of the Modbus TCP master as a new user fills them: the type-3 program started in
# an empty folder, a project made with New, "Set Modbus Access" opened, three read requests
# typed into the grid cell by cell with their types and positions picked from the cells' lists,
# OK; "Set BACnet Access" opened, three read objects filled the same way, the first one's unit
# chosen in the unit picker, OK; then Update Device builds the images and the update wizard is
# closed. bank1.bin holds the three objects in order at its start and the three access records
# at 0x10800, and nothing after either; each table opened again shows its rows (OK writes the
# same file again).
#
# Usage: modbus_table.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '
project='Modbus E2E'
wizard='Update Firmware from Etherner \(UDP\)'
table='Set Access'
objects_table='BACnet Set Access'
picker='Select the BACnet Engineering Unit'

. "$(dirname "$0")/lib.sh"
e2e_start "$program"

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
sleep 0.5
new_project "$main" "$project"
dir="$work/prog/PROJECTS/$project"
for _ in $(seq 100); do [ -d "$dir/bin" ] && break; sleep 0.1; done
[ -d "$dir/bin" ] || fail "project folder not created: $(ls -R "$work/prog/PROJECTS")"
sleep 1

# Set Modbus Access (Btn_ModTCPM_SetAccess at 80,200, 170 x 36).
open_table() {
  click "$main" 165 218
  win=$(find_window "$table") || fail "the access table did not open; log: $(cat "$work/app.log")"
  sleep 1
}
open_table

# The read grid, in the window: below the title panel (69) and the page's tab its header row
# begins at 94; header and data rows are 22 high; column 0 (40 wide) begins at 2 (the grid's
# frame), then the columns of the read page. A pick list's items are 13 high.
grid_left=2
grid_top=94
item_height=13
widths=(40 105 45 60 100 55 45 60 64 60 60 75 64 75 52 58 109)
cell_x() { # column -> centre x
  local x=$grid_left c
  for ((c = 0; c < $1; c++)); do x=$((x + widths[c])); done
  echo $((x + widths[$1] / 2))
}
cell_right() { # column -> right edge x
  local x=$grid_left c
  for ((c = 0; c <= $1; c++)); do x=$((x + widths[c])); done
  echo "$x"
}
cell_y() { echo $((grid_top + 22 + ($1 - 1) * 22 + 11)); } # row -> centre y

type_cell() { # column row text
  click "$win" "$(cell_x "$1")" "$(cell_y "$2")"
  xdotool type --delay 40 "$3"
  sleep 0.2
}
# A list cell: made current, its list editor opened by a second click, the list dropped down by
# its button, and the n-th item (1 = first) clicked.
pick_cell() { # column row item
  local x y
  x=$(cell_x "$1")
  y=$(cell_y "$2")
  click "$win" "$x" "$y"
  sleep 0.6
  click "$win" "$x" "$y"
  click "$win" $(($(cell_right "$1") - 8)) "$y"
  sleep 0.3
  click "$win" "$x" $((y + 11 + item_height * ($3 - 1) + item_height / 2 + 1))
  sleep 0.3
}

# Three requests: IP, port, slave, type, address, points, poll time, max errors, position,
# start bit, mnemonic (check boxes, endian and operation left as they are).
rows=(
  "192.168.1.10|502|1|3|100|2|1000|3|1|1|Flow"
  "192.168.1.11|1502|2|4|7|1|500|0|5|1|Return"
  "10.0.0.3|502|3|1|0|8|2000|1|7|4|Pumps"
)
r=1
for line in "${rows[@]}"; do
  IFS='|' read -r ip port slave type address npoint poll maxerr pos bit mnemonic <<<"$line"
  type_cell 1 "$r" "$ip"
  type_cell 2 "$r" "$port"
  type_cell 3 "$r" "$slave"
  pick_cell 4 "$r" "$type"
  type_cell 5 "$r" "$address"
  type_cell 6 "$r" "$npoint"
  type_cell 7 "$r" "$poll"
  type_cell 8 "$r" "$maxerr"
  pick_cell 9 "$r" "$pos"
  pick_cell 10 "$r" "$bit"
  type_cell 16 "$r" "$mnemonic"
  r=$((r + 1))
done

# OK (Btn_OK at 16,303 in the window: the button panel starts at 297).
click "$win" 71 317
window_gone "$win" "$table" || fail "the table did not close on OK: $(cat "$dir/ModbusTCPM_SetAccess.xml" 2>/dev/null)"
file="$dir/ModbusTCPM_SetAccess.xml"
[ -s "$file" ] || fail "no ModbusTCPM_SetAccess.xml was written"
[ "$(grep -c '<row ' "$file")" = 3 ] || fail "the file does not hold three rows: $(cat "$file")"
grep -q 'IP_Address="192.168.1.10" Port="502" Slave_ID="1" Type="Holding Register" Address="100" NPoint="2" PollTime="1000" MaxError="3" Position="0" Bit="0"' "$file" ||
  fail "row 1 is not as typed: $(cat "$file")"
# The last cell typed before OK is in the file too: pressing OK ends the edit first.
grep -q 'Mnemonic="Pumps"' "$file" || fail "the mnemonic typed last is missing: $(cat "$file")"

# Set BACnet Access (Btn_ModTCPM_BACnet_SetAccess at 258,200, 170 x 36): the read page's
# columns are 40 150 100 64 64 64 250 wide, laid out as in the access table.
open_objects() {
  click "$main" 343 218
  win=$(find_window "$objects_table") || fail "the object table did not open; log: $(cat "$work/app.log")"
  sleep 1
}
open_objects
widths=(40 150 100 64 64 64 250)
# The table opens with the first cell current and the grid focused, where a click would open
# the cell's list at once: the first pick starts from another cell, as the others do.
click "$win" "$(cell_x 5)" "$(cell_y 2)"
# Three objects: type (list item), unit ("" = through the picker), position item, bit item,
# length, mnemonic.
objects=(
  "1||1|1|4|Boiler"
  "3|95|5|4|1|Pump"
  "2|98|6|1|2|Valve"
)
r=1
for line in "${objects[@]}"; do
  IFS='|' read -r type unit pos bit length mnemonic <<<"$line"
  pick_cell 1 "$r" "$type"
  if [ -z "$unit" ]; then
    # A double click on the unit cell opens the picker: the category "Temperature" chosen
    # in its list by typing, its first unit taken with the select button, OK.
    xdotool mousemove --window "$win" "$(cell_x 2)" "$(cell_y "$r")" click --repeat 2 --delay 80 1
    pwin=$(find_window "$picker") || fail "the unit picker did not open"
    sleep 0.5
    click "$pwin" 136 180
    sleep 0.4
    xdotool type --delay 60 "Temperature"
    xdotool key Return
    sleep 0.4
    click "$pwin" 136 220
    click "$pwin" 361 276
    window_gone "$pwin" "$picker" || fail "the unit picker did not close on OK"
    sleep 0.3
  else
    type_cell 2 "$r" "$unit"
  fi
  pick_cell 3 "$r" "$pos"
  pick_cell 4 "$r" "$bit"
  type_cell 5 "$r" "$length"
  type_cell 6 "$r" "$mnemonic"
  r=$((r + 1))
done
click "$win" 71 317
window_gone "$win" "$objects_table" || fail "the object table did not close on OK: $(cat "$dir/ModbusTCPM_BACnet_SetAccess.xml" 2>/dev/null)"
ofile="$dir/ModbusTCPM_BACnet_SetAccess.xml"
[ "$(grep -c '<row ' "$ofile" 2>/dev/null)" = 3 ] || fail "the object file does not hold three rows: $(cat "$ofile" 2>/dev/null)"
grep -q '<row Data_Type="Analog Input" Eng_Unit="62" Position="0" Bit="0" Length="4" Mnemonic="Boiler" />' "$ofile" ||
  fail "object 1 is not as chosen: $(cat "$ofile")"
grep -q 'SW_VERSION = 1.405' "$ofile" || fail "the object file lacks its version comment"

# Update Device (Btn_CreateBin at 80,288) builds the images and opens the wizard, closed again.
click "$main" 165 306
wiz=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log")"
xdotool windowactivate --sync "$wiz" key --clearmodifiers alt+F4
window_gone "$wiz" "$wizard" || fail "the wizard did not close"

bank="$dir/bin/bank1.bin"
[ -s "$bank" ] || fail "no bank1.bin"
# Fields of access record n (32 bytes from 0x10800): offset, width -> unsigned decimal.
field() { od -An -tu"$3" -j $((0x10800 + $1 * 32 + $2)) -N "$3" "$bank" | tr -d ' '; }
# Per record: Position, Bit, PollTime, Slave_ID, Function_Code, Address, NPoint, Port,
# IP_Address (192.168.1.10 is 0xC0A8010A), MaxError.
expect=(
  "0 0 1000 1 3 100 2 502 3232235786 3"
  "4 0 500 2 4 7 1 1502 3232235787 0"
  "6 3 2000 3 1 0 8 502 167772163 1"
)
for i in 0 1 2; do
  got="$(field $i 0 2) $(field $i 2 2) $(field $i 4 4) $(field $i 8 1) $(field $i 9 1) $(field $i 10 2) $(field $i 12 2) $(field $i 14 2) $(field $i 16 4) $(field $i 24 4)"
  [ "$got" = "${expect[$i]}" ] || fail "access record $i is '$got', expected '${expect[$i]}'"
done
[ -z "$(od -An -tx1 -v -j $((0x10800 + 3 * 32)) -N $((1021 * 32)) "$bank" | tr -d ' 0\n')" ] ||
  fail "something follows the three access records"

# The object entries (16 bytes each from the start of bank1), grouped by data type: Analog
# Input, Binary Input, Analog Value, which is also the order typed. Per entry: Position,
# Eng_Unit, Length, Flags, Row_Number, Bit; then the names in the pool after the 2047 entries.
entry() { od -An -tu"$3" -j $(($1 * 16 + $2)) -N "$3" "$bank" | tr -d ' '; }
oexpect=(
  "0 62 4 0 1 0"
  "4 95 1 0 2 3"
  "5 98 2 0 3 0"
)
for i in 0 1 2; do
  got="$(entry $i 0 4) $(entry $i 4 2) $(entry $i 6 1) $(entry $i 7 1) $(entry $i 12 2) $(entry $i 14 1)"
  [ "$got" = "${oexpect[$i]}" ] || fail "object entry $i is '$got', expected '${oexpect[$i]}'"
done
[ -z "$(od -An -tx1 -v -j $((3 * 16)) -N $((2044 * 16)) "$bank" | tr -d ' 0\n')" ] ||
  fail "something follows the three object entries"
names=$(dd if="$bank" bs=1 skip=$((2047 * 16 + 1)) count=18 2>/dev/null | tr '\0' '|')
[ "$names" = "Boiler|Pump|Valve|" ] || fail "the name pool holds '$names'"

# Opened again, the table shows the three rows: OK writes the same file.
cp "$file" "$work/first.xml"
open_table
click "$win" 71 317
window_gone "$win" "$table" || fail "the table did not close on OK the second time"
cmp -s "$file" "$work/first.xml" || fail "the reopened table lost rows: $(diff "$work/first.xml" "$file")"

cp "$ofile" "$work/objects.xml"
open_objects
click "$win" 71 317
window_gone "$win" "$objects_table" || fail "the object table did not close on OK the second time"
cmp -s "$ofile" "$work/objects.xml" || fail "the reopened object table lost rows: $(diff "$work/objects.xml" "$ofile")"

click "$main" 657 33
e2e_expect_exit
echo "Table road: OK"
