#!/usr/bin/env bash
# The M-Bus network as a new user builds it by hand, through the test launcher of other device
# types. Type 1 (M-Bus / BACnet): a project made with New, "M-Bus" opened, two wired nodes
# added by typing, two variables each by typing and picking their type of data from the list
# (one unit taken through the unit picker; the pages changed by clicking their tabs and with
# Ctrl+Tab), a variable copied to the other node through the tree's menu, OK; then Update Device builds the images and the wizard is closed. bank1.bin
# holds the network block (node and variable records) and bank2.bin the BACnet objects of the
# variables with their units and names; opened again, the editor shows the network as left (OK
# writes the same file).
#
# Type 21 (M-Bus and wireless M-Bus / BACnet): the wired meters are switched on in "Set
# Communication"; one wired node and one wireless node (its manufacturer, address, version and
# device type typed on the wireless panel), two variables each, one copied; Update Device;
# bank1.bin holds the wired node in the wired section, the wireless one in the wireless section
# and the meter table, and the objects of all four variables.
#
# Usage: mbus_network.sh <path of the built varnetor_type launcher> <device type: 1 or 21>
set -euo pipefail

launcher="$1"
type="$2"
project='MBus E2E'
editor='M-Bus Network'
wizard='Update Firmware from Etherner \(UDP\)'

. "$(dirname "$0")/lib.sh"
e2e_start "$launcher" screen "$type"

case "$type" in
  1) title='OstrelCorp - Varnetor GS30102 - M-Bus / BACnet ' ;;
  21) title='OstrelCorp - Varnetor GS30104 - M-Bus Wireless / BACnet slave ' ;;
  *) fail "no script for device type $type" ;;
esac
main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project_folder "$main" "$project"

# --- the editor's geometry (client coordinates) ------------------------------------------------
# The tree at 8,72 (320 x 540): its first row, the root, at the top. The page control at
# 336,72 with the tabs on its left: "Nodes" from y 74 to 161, "Variables" below it. The pages'
# boxes are at x 571 (210 wide), their rows 24 apart from y 86; OK at 598,622.
# The tree's picture: it animates its expansions and redraws after the pages change the
# network, so every step in it waits for the picture to change (up to 3 s: a key may change
# nothing) and then to settle.
# (The tree's rows of the screen: the pages beside it change with the selection too.)
tree_picture() { rows_region_sum $((wy + 72)) 540; }
tree_step() { # command...
  local before
  before=$(settled tree_picture)
  "$@"
  for _ in $(seq 30); do [ "$(tree_picture)" != "$before" ] && break; sleep 0.1; done
  settled tree_picture >/dev/null
}
root_row() { tree_step click "$win" 48 82; }
nodes_tab() { click "$win" 347 110; }
variables_tab() { click "$win" 347 210; }
row_y() { echo $((86 + 24 * $1 + 10)); } # row -> centre y
box_x=600 # inside every box, the narrow ones (80 wide) too
type_box() { # row text
  click "$win" "$box_x" "$(row_y "$1")"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 30 "$2"
}
# A list box: opened with a click (its list drops down), the n-th item (0 = first) chosen with
# the keys (the list closes).
pick_box() { # row item
  local n
  n=$(app_window_count)
  click "$win" "$box_x" "$(row_y "$1")"
  app_window_count_is $((n + 1)) || fail "the list of row $1 did not drop down"
  xdotool key Home
  for ((i = 0; i < $2; i++)); do xdotool key Down; done
  xdotool key Return
  app_window_count_is "$n" || fail "the list of row $1 did not close"
}
tree_keys() { # keys pressed in the tree after selecting the root
  root_row
  for k in "$@"; do tree_step xdotool key "$k"; done
}
menu_item() { # n-th item of the tree's menu (0 = first), opened with the menu key
  local before menu
  before=$(app_windows)
  xdotool key Menu
  menu=$(new_app_window "$before") || fail "the tree's menu did not open"
  for ((i = 0; i <= $1; i++)); do xdotool key Down; done
  xdotool key Return
  window_id_gone "$menu" || fail "the tree's menu did not close"
}
open_editor() {
  click "$main" 165 218 # M-Bus (Btn_MBus at 80,200)
  win=$(find_window "$editor") || fail "the M-Bus editor did not open; log: $(cat "$work/app.log")"
  read -r wx wy <<<"$(client_origin "$win")"
}

# Node page rows: type 1: 1 description, 2 primary address; type 21: 1 description, 2 M-Bus
# type, 3 primary address. The node button below the last wired row (or the wireless panel).
if [ "$type" = 21 ]; then
  primary_row=3
  add_node_y=418
  add_node_wireless_y=514
else
  primary_row=2
  add_node_y=394
fi
# Variable page rows (by type): 1 description, 2 type of data, 12 unit; the unit's "..." at
# 671; ADD VARIABLE at y 442.
add_variable() { # description, type-of-data item, "" or the picker's category
  variables_tab
  type_box 1 "$1"
  pick_box 2 "$2"
  if [ -n "$3" ]; then
    click "$win" 671 "$(row_y 12)"
    pick_first_unit_of "$3"
    window_settled "$win"
  fi
  tree_step click "$win" "$box_x" 442
}
add_wired_node() { # description, primary address
  root_row
  nodes_tab
  type_box 1 "$1"
  type_box "$primary_row" "$2"
  tree_step click "$win" "$box_x" "$add_node_y"
}

if [ "$type" = 21 ]; then
  # Set Communication (Btn_Prm_Gen at 80,156): the wired meters present (the list at 156,574
  # in the window), OK 41 pixels above the window's bottom (the window grows with its fonts).
  click "$main" 165 174
  pwin=$(find_window 'Set Communication') || fail "the general parameters window did not open"
  n=$(app_window_count)
  click "$pwin" 219 585
  app_window_count_is $((n + 1)) || fail "the list of wired meters did not drop down"
  xdotool key Home Down Return
  app_window_count_is "$n" || fail "the list of wired meters did not close"
  eval "$(xdotool getwindowgeometry --shell "$pwin")"
  click "$pwin" 95 $((HEIGHT - 27))
  window_gone "$pwin" 'Set Communication' || fail "the general parameters window did not close"
  grep -q '<Sel_Dev_MBus_Present>1</Sel_Dev_MBus_Present>' "$dir/ParGen.xml" ||
    fail "the wired meters were not switched on: $(cat "$dir/ParGen.xml")"
fi

open_editor
if [ "$type" = 1 ]; then
  add_wired_node Heat 5
  add_wired_node Water 6
  tree_keys Down # Heat
  add_variable Volume 2 ""
  add_variable 'Heat temp' 4 Temperature
  tree_keys Down Down # Water (Heat is collapsed)
  add_variable Flow 8 ""
  # The pages walked with the keys from inside a page: Ctrl+Shift+Tab to the node page, Ctrl+Tab
  # back to the variable page, whose first control takes the focus; Tab moves on to the
  # description.
  click "$win" "$box_x" "$(row_y 1)"
  xdotool key --clearmodifiers ctrl+shift+Tab
  xdotool key --clearmodifiers ctrl+Tab
  xdotool key Tab
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 30 Power
  pick_box 2 6
  tree_step click "$win" "$box_x" 442
  # Heat's first variable copied to Water.
  tree_keys Down Right Down
  menu_item 0 # Copy Variable
  tree_keys End
  menu_item 1 # Paste Variable
else
  add_wired_node Meter 3
  # The wireless node: "wM-Bus" chosen, the panel filled (its rows from y 158).
  root_row
  nodes_tab
  type_box 1 Radio
  pick_box 2 0
  for entry in "0 11571" "1 12345678" "2 2" "3 7"; do
    read -r r text <<<"$entry"
    click "$win" "$box_x" $((158 + 24 * r + 10))
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 30 "$text"
  done
  tree_step click "$win" "$box_x" "$add_node_wireless_y"
  tree_keys Down # Meter
  add_variable Energy 0 ""
  add_variable Temp 4 Temperature
  tree_keys Down Down # Radio
  add_variable Flow 8 ""
  tree_keys Down Right Down
  menu_item 0 # Copy Variable
  tree_keys End
  menu_item 1 # Paste Variable
fi

# OK writes the network and closes the editor.
click "$win" 653 636
window_gone "$win" "$editor" || fail "the editor did not close on OK: $(cat "$work/app.log")"
net="$dir/M_Bus.xml"
[ -s "$net" ] || fail "no M_Bus.xml was written"
[ "$(grep -c '<Nodo ' "$net")" = 2 ] || fail "M_Bus.xml does not hold two nodes: $(cat "$net")"
variables=$([ "$type" = 1 ] && echo 5 || echo 4)
[ "$(grep -c '<Variabile ' "$net")" = "$variables" ] || fail "M_Bus.xml does not hold $variables variables: $(cat "$net")"

# Update Device (Btn_CreateBin at 80,288): the images, then the wizard, closed again.
click "$main" 165 306
wiz=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log"); $(ls -l "$dir/bin")"
xdotool windowactivate --sync "$wiz" key --clearmodifiers alt+F4
window_gone "$wiz" "$wizard" || fail "the wizard did not close"

u8() { od -An -tu1 -j "$2" -N 1 "$1" | tr -d ' '; }
u16() { od -An -tu2 -j "$2" -N 2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N 4 "$1" | tr -d ' '; }
be32() { od -An -tx1 -j "$2" -N 4 "$1" | tr -d ' '; }
node() { # bank offset -> "ID_Type ID(hex) variables Add"
  echo "$(u8 "$1" "$2") $(be32 "$1" $(($2 + 1))) $(u16 "$1" $(($2 + 5))) $(u32 "$1" $(($2 + 7)))"
}
variable() { # bank offset -> "type address"
  echo "$(u8 "$1" "$2") $(u16 "$1" $(($2 + 3)))"
}
objects() { # bank, count -> "address unit" per object entry from offset 0
  local i
  for ((i = 0; i < $2; i++)); do echo -n "$(u32 "$1" $((i * 16))):$(u16 "$1" $((i * 16 + 4))) "; done
}
names() { # bank, bytes -> the name pool from its position 1, zero bytes as "|"
  dd if="$1" bs=1 skip=$((2048 * 16 + 1)) count="$2" 2>/dev/null | tr '\0' '|'
}
expect() { [ "$2" = "$3" ] || fail "$1 is '$2', expected '$3'"; }

if [ "$type" = 1 ]; then
  bank1="$dir/bin/bank1.bin"
  bank2="$dir/bin/bank2.bin"
  [ -s "$bank1" ] && [ -s "$bank2" ] && [ -s "$dir/bin/bank3.bin" ] || fail "missing banks: $(ls -l "$dir/bin")"
  # The network block at 2048: 0x20, the node table at 2057, two nodes of 23 bytes, then the
  # variable records of 24 bytes from 2103 (Heat's two, Water's three).
  expect "the block mark" "$(u8 "$bank1" 2048) $(u32 "$bank1" 2049)" "32 2057"
  expect "node 1" "$(node "$bank1" 2057)" "0 00000005 2 2103"
  expect "node 2" "$(node "$bank1" 2080)" "0 00000006 3 2151"
  got=""
  for i in 0 1 2 3 4; do got="$got$(variable "$bank1" $((2103 + 24 * i)));"; done
  expect "the variable records" "$got" "2 0;4 4;8 8;6 12;2 16;"
  # The objects: five Analog Inputs with their data addresses and units (the picked 62 among
  # them), then the four command objects; their names in the pool.
  expect "the objects" "$(objects "$bank2" 6)" "0:80 4:62 8:135 12:47 16:80 0:95 "
  expect "the names" "$(names "$bank2" 35)" "Volume|Heat temp|Flow|Power|Volume|"
else
  bank="$dir/bin/bank1.bin"
  [ -s "$bank" ] || fail "no bank1.bin: $(ls -l "$dir/bin")"
  # The wired section at 102400: 0x20, the node table at 34829, no wireless table; the wired
  # node from 102413, its two variables after it (record addresses count from 67584, plus
  # 34816 in the wired section).
  expect "the wired header" "$(u8 "$bank" 102400) $(u32 "$bank" 102401) $(u32 "$bank" 102409)" "32 34829 0"
  expect "the wired node" "$(node "$bank" 102413)" "0 00000003 2 34852"
  expect "the wired variables" "$(variable "$bank" 102436);$(variable "$bank" 102460)" "0 0;4 4"
  # The wireless section at 67584: the meter's node record with its address as ID, its two
  # variables after the data of the wired ones.
  expect "the wireless node" "$(node "$bank" 67584)" "0 00bc614e 2 23"
  expect "the wireless variables" "$(variable "$bank" 67607);$(variable "$bank" 67631)" "8 8;0 12"
  # The meter table at 99328: manufacturer, address, version, device type, no key.
  expect "the meter" "$(u16 "$bank" 99328) $(u32 "$bank" 99330) $(u8 "$bank" 99334) $(u8 "$bank" 99335) $(u8 "$bank" 99352)" \
    "11571 12345678 2 7 0"
  expect "the second meter entry" "$(u16 "$bank" 99360)" "0"
  expect "the objects" "$(objects "$bank" 5)" "0:18 4:62 8:135 12:18 0:95 "
  expect "the names" "$(names "$bank" 24)" "Energy|Temp|Flow|Energy|"
fi

# Opened again, the editor shows the network as left: OK writes the same file.
cp "$net" "$work/first.xml"
open_editor
click "$win" 653 636
window_gone "$win" "$editor" || fail "the editor did not close on OK the second time"
cmp -s "$net" "$work/first.xml" || fail "the reopened editor lost part of the network: $(diff "$work/first.xml" "$net")"

click "$main" 657 33
e2e_expect_exit
echo "M-Bus network, type $type: OK"
