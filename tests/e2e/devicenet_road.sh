#!/usr/bin/env bash
# The DeviceNet master's tables as a new user fills them: the type-10 program started through the
# test launcher in an empty folder, a project made with New; "DeviceNet Network" opened, two
# slaves typed cell by cell, OK; "Define Offset" opened, the first slave's input and output bytes
# given positions picked from the cells' lists with the arrow keys, the second slave selected and its output byte
# set, the first selected again and one more description typed, OK. The offsets file holds the
# edits of both slaves (nothing was lost by switching), and each window opened again shows what
# was typed (OK writes the same file again).
#
# Usage: devicenet_road.sh <path of the built varnetor_type launcher>
set -euo pipefail

launcher="$1"
title='OstrelCorp - Varnetor GS30121 - BACnet / DeviceNet m '
project='DNet E2E'
net_title='DeviceNet Network'
offsets_title='Define Offset'

. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/table_cells.sh"
e2e_start "$launcher" 10

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project_folder "$main" "$project"

# DeviceNet Network (Btn_DNet_Net at 80,200, 170 x 36): the grid fills the window below the
# title panel, its header row at 70 inside a 1-pixel frame, rows 22 high, column 0 45 wide.
open_net() {
  click "$main" 165 218
  win=$(find_window "$net_title") || fail "the network did not open; log: $(cat "$work/app.log")"
  grid_left=1; grid_top=70; header_height=22; row_height=22
  widths=(45 85 85 85 255)
}
open_net
slaves=(
  "1|2|2|Drive"
  "5|1|1|Valve"
)
r=1
for line in "${slaves[@]}"; do
  IFS='|' read -r id nbin nbout mnemonic <<<"$line"
  type_cell 1 "$r" "$id"
  type_cell 2 "$r" "$nbin"
  type_cell 3 "$r" "$nbout"
  type_cell 4 "$r" "$mnemonic"
  r=$((r + 1))
done
click "$win" 71 317
window_gone "$win" "$net_title" || fail "the network did not close on OK: $(cat "$dir/DNETM_Net.xml" 2>/dev/null)"
net="$dir/DNETM_Net.xml"
[ "$(grep -c '<row ' "$net" 2>/dev/null)" = 2 ] || fail "the network file does not hold two rows: $(cat "$net" 2>/dev/null)"
grep -q '<row ID="1" NB_IN="2" NB_OUT="2" Mnemonic="Drive" />' "$net" || fail "slave 1 is not as typed: $(cat "$net")"
grep -q '<row ID="5" NB_IN="1" NB_OUT="1" Mnemonic="Valve" />' "$net" || fail "slave 2 is not as typed: $(cat "$net")"

# Define Offset (Btn_DNet_Offset at 258,200): the slave grid's rows are 22 high below its header
# at 87; under the splitter the pages "Byte IN" (tab at 38,286) and "Byte OUT" (110,286), whose
# byte grids begin at 11,300: Byte 60, Offset 90 (a list: "None", "0", "1", ...), Mnemonic 300.
open_offsets() {
  click "$main" 343 218
  win=$(find_window "$offsets_title") || fail "the offsets did not open; log: $(cat "$work/app.log")"
  grid_left=11; grid_top=300; header_height=22; row_height=22
  widths=(60 90 300)
}
# A position from an Offset cell's list: the cell made current, its list editor opened by a
# second click, the n-th item (1 = "None") reached with the arrow keys and taken with Enter.
pick_offset() { # row item
  local x y i
  x=$(cell_x 1)
  y=$(cell_y "$1")
  click_twice "$win" "$x" "$y"
  for ((i = 1; i < $2; i++)); do xdotool key Down; done
  xdotool key Return
}
select_slave() { click "$win" 39 $((87 + 22 + 22 * ($1 - 1) + 11)); }
page() { click "$win" "$([ "$1" = in ] && echo 38 || echo 110)" 286; }
open_offsets
# Slave 1: input bytes 0 and 1 on positions 0 and 1, output byte 0 on position 4.
pick_offset 1 2
type_cell 2 1 "Speed"
pick_offset 2 3
page out
pick_offset 1 6
# Slave 2: its output byte on position 5.
select_slave 2
pick_offset 1 7
type_cell 2 1 "Valve cmd"
# Back to slave 1: one more description.
select_slave 1
page in
type_cell 2 2 "Mode"
click "$win" 71 590
window_gone "$win" "$offsets_title" || fail "the offsets did not close on OK: $(cat "$dir/DNETM_DefOff.xml" 2>/dev/null)"
offsets="$dir/DNETM_DefOff.xml"
[ -s "$offsets" ] || fail "no DNETM_DefOff.xml was written"
expected='<Define_Offset>
  <Nodo_DNET>
    <ByteIN>
      <row Offset="0" Mnemonic="Speed" />
      <row Offset="1" Mnemonic="Mode" />
    </ByteIN>
    <ByteOUT>
      <row Offset="4" Mnemonic="" />
      <row Offset="None" Mnemonic="" />
    </ByteOUT>
  </Nodo_DNET>
  <Nodo_DNET>
    <ByteIN>
      <row Offset="None" Mnemonic="" />
    </ByteIN>
    <ByteOUT>
      <row Offset="5" Mnemonic="Valve cmd" />
    </ByteOUT>
  </Nodo_DNET>
</Define_Offset>
<!--SW_VERSION = 1.000-->'
[ "$(cat "$offsets")" = "$expected" ] || fail "the offsets are not as chosen: $(cat "$offsets")"

# Opened again, each window shows what was typed: OK writes the same file.
cp "$offsets" "$work/offsets.xml"
open_offsets
select_slave 2
select_slave 1
click "$win" 71 590
window_gone "$win" "$offsets_title" || fail "the offsets did not close on OK the second time"
cmp -s "$offsets" "$work/offsets.xml" || fail "the reopened offsets lost what was chosen: $(diff "$work/offsets.xml" "$offsets")"
cp "$net" "$work/net.xml"
open_net
click "$win" 71 317
window_gone "$win" "$net_title" || fail "the network did not close on OK the second time"
cmp -s "$net" "$work/net.xml" || fail "the reopened network lost rows: $(diff "$work/net.xml" "$net")"

# Escape closes the offsets once, like Cancel, whatever was picked.
open_offsets
pick_offset 1 5
press_key Escape
window_gone "$win" "$offsets_title" || fail "Escape did not close the offsets"
cmp -s "$offsets" "$work/offsets.xml" || fail "Escape wrote the offsets"

click "$main" 657 33
e2e_expect_exit
echo "DeviceNet road: OK"
