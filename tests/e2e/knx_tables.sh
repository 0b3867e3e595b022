#!/usr/bin/env bash
# The tables of the KNX gateway as a new user fills them: the type-16 program started in an
# empty folder, a project made with New, "KNX Access" opened, three KNX rows typed, picked and
# ticked cell by cell, OK; "Set BACnet Access" opened, three read objects filled the same way
# (the first one's Swap ticked), OK; then Update Device builds the image and the update wizard is
# closed. bank1.bin holds the three objects at its start and the three KNX records at 0x10800,
# and nothing after either; each table opened again shows its rows (OK writes the same file).
#
# Usage: knx_tables.sh <path of the built varnetor_type launcher>
set -euo pipefail

launcher="$1"
title='OstrelCorp - Varnetor GS30132 - BACnet / KNX '
project='KNX E2E'
table='KNX Set Access'
objects_table='BACnet Set Access'

. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/table_steps.sh"
e2e_start "$launcher" 16

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project_folder "$main" "$project"

# KNX Access (Btn_KNX_Access at 80,200, 170 x 36).
open_window "$main" 165 218 "$table"

# One grid below the title panel (69): its header row begins at 71, column 0 at 2.
grid_left=2
grid_top=71
widths=(40 50 70 80 60 75 110 68 50 52 71 62 67 55 55 55 96)

# Three rows: source, destination, APCI item, priority item, format item, ticks (columns),
# poll time, position item, bit-mode item, length, mnemonic.
rows=(
  "1.1.20|1/2/3|2|4|1|10||1|1|2|Room temperature"
  "1.1.21|2/0/5|1|1|2|||5|4|3|Status bits"
  "1.1.22|1.2.3|2|2|5|7 11|5000|8|1|4|Valve"
)
r=1
for line in "${rows[@]}"; do
  IFS='|' read -r source destination apci priority format ticks poll pos bitmode length mnemonic <<<"$line"
  type_cell 2 "$r" "$source"
  type_cell 3 "$r" "$destination"
  pick_cell 4 "$r" "$apci"
  pick_cell 5 "$r" "$priority"
  pick_cell 6 "$r" "$format"
  for c in $ticks; do tick_cell "$c" "$r"; done
  [ -n "$poll" ] && type_cell 12 "$r" "$poll"
  pick_cell 13 "$r" "$pos"
  pick_cell 14 "$r" "$bitmode"
  type_cell 15 "$r" "$length"
  type_cell 16 "$r" "$mnemonic"
  r=$((r + 1))
done

file="$dir/KNX_SetAccess.xml"
press_ok "$table" "$file"
[ -s "$file" ] || fail "no KNX_SetAccess.xml was written"
[ "$(grep -c '<row ' "$file")" = 3 ] || fail "the file does not hold three rows: $(cat "$file")"
grep -q '<KNX_in_Read />' "$file" || fail "the read section is missing: $(cat "$file")"
grep -q 'Source_Address="1.1.20" Destination_Address="1/2/3" APCI="Write" Priority="Low" Format="None" Extended="" ReTest="" On_Command="" On_Change="Y" On_Timer="" Poll_Time="" Position="0" Bit_Mode="No" Length="2" Mnemonic="Room temperature"' "$file" ||
  fail "row 1 is not as typed: $(cat "$file")"
grep -q 'Mnemonic="Valve"' "$file" || fail "the mnemonic typed last is missing: $(cat "$file")"

# Set BACnet Access (Btn_KNX_BACnet_SetAccess at 80,244): the read page below its tab, columns
# 40 150 100 64 64 64 40 (Swap, shown on this model) 250 wide.
open_window "$main" 165 262 "$objects_table"
grid_top=94
widths=(40 150 100 64 64 64 40 250)
# Three objects: type item, unit, position item, bit item, length, swap ticked, mnemonic.
fill_objects "1|62|1|1|2|y|Room" "3|95|3|5|1||Presence" "2|62|4|1|4||Setpoint"
ofile="$dir/KNX_BACnet_SetAccess.xml"
press_ok "$objects_table" "$ofile"
[ "$(grep -c '<row ' "$ofile" 2>/dev/null)" = 3 ] || fail "the object file does not hold three rows: $(cat "$ofile" 2>/dev/null)"
grep -q '<row Data_Type="Analog Input" Eng_Unit="62" Position="0" Bit="0" Length="2" Swap="Y" Mnemonic="Room" />' "$ofile" ||
  fail "object 1 is not as chosen: $(cat "$ofile")"
grep -q 'SW_VERSION = 1.009' "$ofile" || fail "the object file lacks its version comment"

# Update Device (Btn_CreateBin at 80,332) builds the image and opens the wizard, closed again.
update_device "$main" 165 350
[ "$(stat -c %s "$bank")" = 79872 ] || fail "bank1.bin is $(stat -c %s "$bank") bytes, not 79872"
# KNX record n (20 bytes from 0x10800): Poll_Time, Priority, Length, Flags, APCI,
# Source_Address, Destination_Address, Position (offset, width -> unsigned decimal).
field() { od -An -tu"$3" -j $((0x10800 + $1 * 20 + $2)) -N "$3" "$bank" | tr -d ' '; }
# 1.1.20 is 0x1114, 1/2/3 0x0A03; 2/0/5 0x1005; 1.2.3 0x1203. Flags: 0x0021 on change and a
# group; 0x1060 Swap16, a group and bit mode; 0x4010 Int to Float and extended. Bit mode 2 at
# byte 4 is bit position 34.
expect=(
  "0 3 2 33 128 4372 2563 0"
  "0 0 3 4192 0 4373 4101 34"
  "5000 2 4 16400 128 4374 4611 7"
)
for i in 0 1 2; do
  got="$(field $i 0 4) $(field $i 8 1) $(field $i 9 1) $(field $i 10 2) $(field $i 12 2) $(field $i 14 2) $(field $i 16 2) $(field $i 18 2)"
  [ "$got" = "${expect[$i]}" ] || fail "KNX record $i is '$got', expected '${expect[$i]}'"
done
nothing_after $((0x10800 + 3 * 20)) $((509 * 20)) "the three KNX records"

# The object entries (16 bytes each from the start of bank1), grouped by data type: Analog
# Input, Binary Input, Analog Value; the first one with the swap flag (2).
check_objects "Room|Presence|Setpoint|" "0 62 2 2 1 0" "2 95 1 0 2 4" "3 62 4 0 3 0"

# Opened again, each table shows its rows: OK writes the same file.
reopen_unchanged "$main" 165 218 "$table" "$file"
reopen_unchanged "$main" 165 262 "$objects_table" "$ofile"

click "$main" 657 33
e2e_expect_exit
echo "KNX tables: OK"
