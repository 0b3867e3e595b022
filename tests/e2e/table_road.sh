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
table='Set Access'
objects_table='BACnet Set Access'

. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/table_steps.sh"
e2e_start "$program"

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project_folder "$main" "$project"

# Set Modbus Access (Btn_ModTCPM_SetAccess at 80,200, 170 x 36).
open_window "$main" 165 218 "$table"

# The read grid, in the window: below the title panel (69) and the page's tab its header row
# begins at 94; header and data rows are 22 high; column 0 (40 wide) begins at 2 (the grid's
# frame), then the columns of the read page.
grid_left=2
grid_top=94
header_height=22
row_height=22
widths=(40 105 45 60 100 55 45 60 64 60 60 75 64 75 52 58 109)

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

file="$dir/ModbusTCPM_SetAccess.xml"
press_ok "$table" "$file"
[ -s "$file" ] || fail "no ModbusTCPM_SetAccess.xml was written"
[ "$(grep -c '<row ' "$file")" = 3 ] || fail "the file does not hold three rows: $(cat "$file")"
grep -q 'IP_Address="192.168.1.10" Port="502" Slave_ID="1" Type="Holding Register" Address="100" NPoint="2" PollTime="1000" MaxError="3" Position="0" Bit="0"' "$file" ||
  fail "row 1 is not as typed: $(cat "$file")"
# The last cell typed before OK is in the file too: pressing OK ends the edit first.
grep -q 'Mnemonic="Pumps"' "$file" || fail "the mnemonic typed last is missing: $(cat "$file")"

# Set BACnet Access (Btn_ModTCPM_BACnet_SetAccess at 258,200, 170 x 36): the read page's
# columns are 40 150 100 64 64 64 250 wide, laid out as in the access table.
open_window "$main" 343 218 "$objects_table"
widths=(40 150 100 64 64 64 250)
# Three objects: type (list item), unit ("" = through the picker, its first "Temperature"
# unit), position item, bit item, length, (no Swap on this model), mnemonic.
fill_objects "1||1|1|4||Boiler" "3|95|5|4|1||Pump" "2|98|6|1|2||Valve"
ofile="$dir/ModbusTCPM_BACnet_SetAccess.xml"
press_ok "$objects_table" "$ofile"
[ "$(grep -c '<row ' "$ofile" 2>/dev/null)" = 3 ] || fail "the object file does not hold three rows: $(cat "$ofile" 2>/dev/null)"
grep -q '<row Data_Type="Analog Input" Eng_Unit="62" Position="0" Bit="0" Length="4" Mnemonic="Boiler" />' "$ofile" ||
  fail "object 1 is not as chosen: $(cat "$ofile")"
grep -q 'SW_VERSION = 1.405' "$ofile" || fail "the object file lacks its version comment"

# Update Device (Btn_CreateBin at 80,288) builds the images and opens the wizard, closed again.
update_device "$main" 165 306

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
nothing_after $((0x10800 + 3 * 32)) $((1021 * 32)) "the three access records"

# The object entries (16 bytes each from the start of bank1), grouped by data type: Analog
# Input, Binary Input, Analog Value, which is also the order typed.
check_objects "Boiler|Pump|Valve|" "0 62 4 0 1 0" "4 95 1 0 2 3" "5 98 2 0 3 0"

# Opened again, each table shows its rows: OK writes the same file.
reopen_unchanged "$main" 165 218 "$table" "$file"
reopen_unchanged "$main" 343 218 "$objects_table" "$ofile"

click "$main" 657 33
e2e_expect_exit
echo "Table road: OK"
