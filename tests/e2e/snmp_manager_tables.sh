#!/usr/bin/env bash
# The tables of the SNMP manager gateway as a new user fills them: the type-19 program started
# in an empty folder, a project made with New, "SNMP Manager Access" opened, two requests typed,
# picked and ticked cell by cell, OK; "Set BACnet Access" opened, three read objects filled the
# same way, OK; then Update Device builds the image and the update wizard is closed. bank1.bin
# holds the three objects at its start and the two requests in the manager table after the
# general parameter record, and nothing after either; each table opened again shows its rows
# (OK writes the same file).
#
# Usage: snmp_manager_tables.sh <path of the built varnetor_type launcher>
set -euo pipefail

launcher="$1"
title='OstrelCorp - Varnetor GS30107 - BACnet / SNMP Manager '
project='SNMP E2E'
wizard='Update Firmware from Etherner \(UDP\)'
table='Set SNMP Manager Access'
objects_table='BACnet Set Access'

. "$(dirname "$0")/lib.sh"
e2e_start "$launcher" 19

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
sleep 0.5
new_project "$main" "$project"
dir="$work/prog/PROJECTS/$project"
for _ in $(seq 100); do [ -d "$dir/bin" ] && break; sleep 0.1; done
[ -d "$dir/bin" ] || fail "project folder not created: $(ls -R "$work/prog/PROJECTS")"
sleep 1

# SNMP Manager Access (Btn_SNMP_Manager_Access at 80,244, 170 x 36).
open_table() {
  click "$main" 165 262
  win=$(find_window "$table") || fail "the manager table did not open; log: $(cat "$work/app.log")"
  sleep 1
}
open_table

# One grid below the title panel (69): its header row begins at 71, column 0 at 2. The columns
# up to "Convertion" are in view; the SNMPv3 ones and the mnemonic lie beyond the window's edge.
grid_left=2
grid_top=71
widths=(40 50 90 60 106 100 65 65 75 50 65 65 75 75 95)
. "$(dirname "$0")/grid_cells.sh"

# Two requests: IP, version item, community (typed, or an item of its list), OID, type item,
# mode item, ticks (columns), time, position item, number of bytes, conversion item.
rows=(
  "192.168.2.20|1|#1|1.3.6.1.2.1.1.3.0|2|1|10|1000|1|4|1"
  "10.0.0.7|2|public|1.3.6.1.2.1.1.5.0|1|2|8||5|16|3"
)
r=1
for line in "${rows[@]}"; do
  IFS='|' read -r ip version community oid type mode ticks time pos bytes conversion <<<"$line"
  type_cell 2 "$r" "$ip"
  pick_cell 3 "$r" "$version"
  case "$community" in
    '#'*) pick_cell 4 "$r" "${community#\#}" ;;
    *) type_cell 4 "$r" "$community" ;;
  esac
  type_cell 5 "$r" "$oid"
  pick_cell 6 "$r" "$type"
  pick_cell 7 "$r" "$mode"
  for c in $ticks; do tick_cell "$c" "$r"; done
  [ -n "$time" ] && type_cell 11 "$r" "$time"
  pick_cell 12 "$r" "$pos"
  type_cell 13 "$r" "$bytes"
  pick_cell 14 "$r" "$conversion"
  r=$((r + 1))
done

# OK (Btn_OK at 16,303 in the window: the button panel starts at 297).
click "$win" 71 317
file="$dir/SNMP_Manager.xml"
window_gone "$win" "$table" || fail "the manager table did not close on OK: $(cat "$file" 2>/dev/null)"
[ -s "$file" ] || fail "no SNMP_Manager.xml was written"
[ "$(grep -c '<row ' "$file")" = 2 ] || fail "the file does not hold two rows: $(cat "$file")"
grep -q '<row Enable="Y" IP_Address="192.168.2.20" Version="1" Community_String="Kelpie" OID="1.3.6.1.2.1.1.3.0" Type="Int" Mode="Get" On_Change="" On_Command="" On_Timer="Y" Time="1000" Position="0" Number_Bytes="4" ConvertFrom="None"' "$file" ||
  fail "request 1 is not as typed: $(cat "$file")"
grep -q 'Community_String="public"' "$file" || fail "the typed community is missing: $(cat "$file")"
grep -q 'SW_VERSION = 1.201' "$file" || fail "the file lacks its version comment"

# Set BACnet Access (Btn_SNMP_Manager_BACnet_SetAccess at 80,200): the read page below its
# tab, columns 40 150 100 64 64 64 250 wide (Swap is hidden on this model).
open_objects() {
  click "$main" 165 218
  win=$(find_window "$objects_table") || fail "the object table did not open; log: $(cat "$work/app.log")"
  sleep 1
}
open_objects
grid_top=94
widths=(40 150 100 64 64 64 250)
# Three objects: type item, unit, position item, bit item, length, mnemonic.
objects=(
  "1|95|1|1|4|Load"
  "3|95|5|8|1|Link"
  "2|62|6|1|4|Temp"
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
ofile="$dir/SNMP_BACnet_SetAccess.xml"
window_gone "$win" "$objects_table" || fail "the object table did not close on OK: $(cat "$ofile" 2>/dev/null)"
[ "$(grep -c '<row ' "$ofile" 2>/dev/null)" = 3 ] || fail "the object file does not hold three rows: $(cat "$ofile" 2>/dev/null)"
grep -q '<row Data_Type="Binary Input" Eng_Unit="95" Position="4" Bit="7" Length="1" Swap="" Mnemonic="Link" />' "$ofile" ||
  fail "object 2 is not as chosen: $(cat "$ofile")"
grep -q 'SW_VERSION = 1.201' "$ofile" || fail "the object file lacks its version comment"

# Update Device (Btn_CreateBin at 80,332) builds the image and opens the wizard, closed again.
click "$main" 165 350
wiz=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log")"
xdotool windowactivate --sync "$wiz" key --clearmodifiers alt+F4
window_gone "$wiz" "$wizard" || fail "the wizard did not close"

bank="$dir/bin/bank1.bin"
[ -s "$bank" ] || fail "no bank1.bin"
[ "$(stat -c %s "$bank")" = 133120 ] || fail "bank1.bin is $(stat -c %s "$bank") bytes, not 133120"
# Manager entry n (128 bytes from 0x11000, after the object area and the 2048-byte record):
# Time, IP_Address (first part in the most significant byte), Flags, Position, Conversion,
# Mode, Number_Bytes (offset, width -> unsigned decimal); then the community and the OID texts.
table_at=$((0x11000))
field() { od -An -tu"$3" -j $((table_at + $1 * 128 + $2)) -N "$3" "$bank" | tr -d ' '; }
text() { dd if="$bank" bs=1 skip=$((table_at + $1 * 128 + $2)) count="$3" 2>/dev/null | tr -d '\0'; }
# Flags: 0x1C version 1, integer, on timer; 0x21 version 2, on change. A Time left empty is 1000.
expect=(
  "1000 3232236052 28 0 0 0 4 Kelpie 1.3.6.1.2.1.1.3.0"
  "1000 167772167 33 4 2 1 16 public 1.3.6.1.2.1.1.5.0"
)
for i in 0 1; do
  got="$(field $i 0 4) $(field $i 4 4) $(field $i 8 4) $(field $i 60 2) $(field $i 62 1) $(field $i 63 1) $(field $i 64 1) $(text $i 12 16) $(text $i 66 62)"
  [ "$got" = "${expect[$i]}" ] || fail "manager entry $i is '$got', expected '${expect[$i]}'"
done
[ -z "$(od -An -tx1 -v -j $((table_at + 2 * 128)) -N $((494 * 128)) "$bank" | tr -d ' 0\n')" ] ||
  fail "something follows the two manager entries"

# The object entries (16 bytes each from the start of bank1), grouped by data type: Analog
# Input, Binary Input, Analog Value. Per entry: Position, Eng_Unit, Length, Flags, Row_Number,
# Bit; then the names in the pool after the 2047 entries.
entry() { od -An -tu"$3" -j $(($1 * 16 + $2)) -N "$3" "$bank" | tr -d ' '; }
oexpect=(
  "0 95 4 0 1 0"
  "4 95 1 0 2 7"
  "5 62 4 0 3 0"
)
for i in 0 1 2; do
  got="$(entry $i 0 4) $(entry $i 4 2) $(entry $i 6 1) $(entry $i 7 1) $(entry $i 12 2) $(entry $i 14 1)"
  [ "$got" = "${oexpect[$i]}" ] || fail "object entry $i is '$got', expected '${oexpect[$i]}'"
done
names=$(dd if="$bank" bs=1 skip=$((2047 * 16 + 1)) count=15 2>/dev/null | tr '\0' '|')
[ "$names" = "Load|Link|Temp|" ] || fail "the name pool holds '$names'"

# Opened again, each table shows its rows: OK writes the same file.
cp "$file" "$work/manager.xml"
open_table
click "$win" 71 317
window_gone "$win" "$table" || fail "the manager table did not close on OK the second time"
cmp -s "$file" "$work/manager.xml" || fail "the reopened manager table lost rows: $(diff "$work/manager.xml" "$file")"

cp "$ofile" "$work/objects.xml"
open_objects
click "$win" 71 317
window_gone "$win" "$objects_table" || fail "the object table did not close on OK the second time"
cmp -s "$ofile" "$work/objects.xml" || fail "the reopened object table lost rows: $(diff "$work/objects.xml" "$ofile")"

click "$main" 657 33
e2e_expect_exit
echo "SNMP manager tables: OK"
