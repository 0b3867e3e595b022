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
table='Set SNMP Manager Access'
objects_table='BACnet Set Access'

. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/table_steps.sh"
e2e_start "$launcher" 19

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project_folder "$main" "$project"

# SNMP Manager Access (Btn_SNMP_Manager_Access at 80,244, 170 x 36).
open_window "$main" 165 262 "$table"

# One grid below the title panel (69): its header row begins at 71, column 0 at 2. The columns
# up to "Convertion" are in view; the SNMPv3 ones and the mnemonic lie beyond the window's edge.
grid_left=2
grid_top=71
widths=(40 50 90 60 106 100 65 65 75 50 65 65 75 75 95)

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

file="$dir/SNMP_Manager.xml"
press_ok "$table" "$file"
[ -s "$file" ] || fail "no SNMP_Manager.xml was written"
[ "$(grep -c '<row ' "$file")" = 2 ] || fail "the file does not hold two rows: $(cat "$file")"
grep -q '<row Enable="Y" IP_Address="192.168.2.20" Version="1" Community_String="Kelpie" OID="1.3.6.1.2.1.1.3.0" Type="Int" Mode="Get" On_Change="" On_Command="" On_Timer="Y" Time="1000" Position="0" Number_Bytes="4" ConvertFrom="None"' "$file" ||
  fail "request 1 is not as typed: $(cat "$file")"
grep -q 'Community_String="public"' "$file" || fail "the typed community is missing: $(cat "$file")"
grep -q 'SW_VERSION = 1.201' "$file" || fail "the file lacks its version comment"

# Set BACnet Access (Btn_SNMP_Manager_BACnet_SetAccess at 80,200): the read page below its
# tab, columns 40 150 100 64 64 64 250 wide (Swap is hidden on this model).
open_window "$main" 165 218 "$objects_table"
grid_top=94
widths=(40 150 100 64 64 64 250)
# Three objects: type item, unit, position item, bit item, length, (Swap hidden), mnemonic.
fill_objects "1|95|1|1|4||Load" "3|95|5|8|1||Link" "2|62|6|1|4||Temp"
ofile="$dir/SNMP_BACnet_SetAccess.xml"
press_ok "$objects_table" "$ofile"
[ "$(grep -c '<row ' "$ofile" 2>/dev/null)" = 3 ] || fail "the object file does not hold three rows: $(cat "$ofile" 2>/dev/null)"
grep -q '<row Data_Type="Binary Input" Eng_Unit="95" Position="4" Bit="7" Length="1" Swap="" Mnemonic="Link" />' "$ofile" ||
  fail "object 2 is not as chosen: $(cat "$ofile")"
grep -q 'SW_VERSION = 1.201' "$ofile" || fail "the object file lacks its version comment"

# Update Device (Btn_CreateBin at 80,332) builds the image and opens the wizard, closed again.
update_device "$main" 165 350
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
nothing_after $((table_at + 2 * 128)) $((494 * 128)) "the two manager entries"

# The object entries (16 bytes each from the start of bank1), grouped by data type: Analog
# Input, Binary Input, Analog Value.
check_objects "Load|Link|Temp|" "0 95 4 0 1 0" "4 95 1 0 2 7" "5 62 4 0 3 0"

# Opened again, each table shows its rows: OK writes the same file.
reopen_unchanged "$main" 165 262 "$table" "$file"
reopen_unchanged "$main" 165 218 "$objects_table" "$ofile"

click "$main" 657 33
e2e_expect_exit
echo "SNMP manager tables: OK"
