#!/usr/bin/env bash
# The meter scan as a new user does it, on a virtual X display under a window manager, against
# the project's stand-in gateway on this machine (loopback).
#
# 1. Wired (device type 1, M-Bus / BACnet): a new project whose general parameters name
#    127.0.0.1; "Scan & Decode" opens the scan window with the gateway's address; the scan by
#    secondary address lists its progress and then shows the three meters in the tree; one
#    record of the first meter is unchecked with the keyboard; "Save Conf." writes M_Bus.xml
#    (three nodes, that record disabled) and says so. "Scan & Decode" again asks first
#    (warning 1278): No keeps the window closed, Yes opens it.
# 2. Wireless (device type 21): the scan window offers the scan method; listening, an
#    encrypted meter's telegram makes a row; a double click on it asks for the key, typed in
#    lower case; the gateway gets the key for its radio module and the meter's next telegrams
#    are read; after Stop Scan, "Save Conf." writes the meter with its key and its four records.
#
# Usage: scan_window.sh <path of varnetor_type> <path of scan_gateway>
set -euo pipefail

launcher="$1"
gateway_program="$2"
. "$(dirname "$0")/lib.sh"

gw_pid=""
gw_log=""
stop_gateway() {
  [ -n "$gw_pid" ] && kill "$gw_pid" 2>/dev/null || true
  [ -n "$gw_pid" ] && wait "$gw_pid" 2>/dev/null || true
  gw_pid=""
}
cleanup_all() {
  stop_gateway
  e2e_cleanup
  [ -n "$gw_log" ] && rm -f "$gw_log"
}

start_gateway() { # wired | wireless -> $gw_port
  gw_log=$(mktemp)
  "$gateway_program" "$1" >"$gw_log" 2>&1 &
  gw_pid=$!
  for _ in $(seq 100); do grep -q '^port ' "$gw_log" && break; sleep 0.1; done
  gw_port=$(sed -n 's/^port //p' "$gw_log" | head -n1)
  [ -n "$gw_port" ] || fail "the stand-in gateway did not start: $(cat "$gw_log")"
}
# Waits up to $2 seconds (default 30) for the gateway to have got a datagram matching $1.
expect_gateway() {
  for _ in $(seq $((${2:-30} * 10))); do
    grep -q -- "$1" "$gw_log" && return 0
    sleep 0.1
  done
  fail "the gateway never got '$1': $(tail -n 20 "$gw_log"); program log: $(cat "$work/app.log")"
}

no_error_box() {
  if xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1; then
    fail "an error box appeared: $(cat "$work/app.log")"
  fi
}

# A message box by its title; answered with keys.
answer_box() { # title keys...
  local title="$1" box
  shift
  box=$(find_window "$title") || fail "no '$title' box; log: $(cat "$work/app.log")"
  xdotool key --clearmodifiers "$@"
  window_gone "$box" "$title" || fail "the '$title' box did not close"
}

# A project folder made with New, with the general parameters' gateway address keys.
project_with_address() { # main window, project, key stem (BACnet_IP / IP_)
  new_project "$1" "$2"
  dir="$work/prog/PROJECTS/$2"
  for _ in $(seq 100); do [ -d "$dir" ] && break; sleep 0.1; done
  [ -d "$dir" ] || fail "project folder not created"
  printf '<Par_Gen><%s1>127</%s1><%s2>0</%s2><%s3>0</%s3><%s4>1</%s4></Par_Gen>' \
    "$3" "$3" "$3" "$3" "$3" "$3" "$3" "$3" >"$dir/ParGen.xml"
}

scan_title='Scan & Decode'
# Scan & Decode (Btn_ScanDecode at 516,70, 170 x 36).
open_scan() {
  click "$main" 601 88
  scan=$(find_window "$scan_title") || fail "the scan window did not open; log: $(cat "$work/app.log")"
  read -r sx sy <<<"$(client_origin "$scan")"
}
# A list box of the set-up area: its list dropped down by a click, an entry taken with the keys.
pick_setup() { # x y keys...
  local n
  n=$(app_window_count)
  click "$scan" "$1" "$2"
  app_window_count_is $((n + 1)) || fail "the list at $1,$2 did not drop down"
  shift 2
  xdotool key "$@"
  app_window_count_is "$n" || fail "the list did not close"
}
# The picture of a rectangle of the scan window (x y width height in the window).
scan_region() { region_sum $((sx + $1)) $((sy + $2)) "$3" "$4"; }
settled_scan_region() { settled_region_sum $((sx + $1)) $((sy + $2)) "$3" "$4"; }
scan_region_changes() { region_changes $((sx + $1)) $((sy + $2)) "$3" "$4" "$5"; }

# ---- 1. wired -----------------------------------------------------------------------------------
start_gateway wired
trap cleanup_all EXIT
e2e_start "$launcher" screen 1 --scan-gateway-port "$gw_port"
trap cleanup_all EXIT
main=$(find_window 'OstrelCorp - Varnetor GS30102 - M-Bus / BACnet ') || fail "no main window; log: $(cat "$work/app.log")"
project_with_address "$main" 'E2E Scan' BACnet_IP
open_scan

# The set-up area starts below the title panel (69): "Scan By" at 176,8 (160 x 21) - its list
# opened and the second entry, "Secondary Address", taken with the keys.
pick_setup 256 87 Down Return
# Start Scan (the button panel at 483 of the 523 high window; Start at 16,6, 110 x 28). The
# second place of the panel (134,6) is empty before, Abort while the window sees the scan run
# (at least until its one-second check), Save Conf. once it has seen the scan end.
idle=$(settled_scan_region 134 489 110 28)
click "$scan" 71 503
scan_region_changes 134 489 110 28 "$idle" || fail "the scan did not start; log: $(cat "$work/app.log")"
running=$(settled_scan_region 134 489 110 28)
expect_gateway 'got Ostrel_Enable_Analyzer_Mode'
expect_gateway '^got 68 0B 0B 68 73 FD 52 FF FF FF 3F'
expect_gateway 'got Ostrel_Disable_Analyzer_Mode'
no_error_box
# The window's timer sees the end within a second and shows the tree; the tree (at 16,50 of
# the panel below the title: 16,119) gets the keyboard: the first meter selected by a click on
# its text, opened with the numeric-pad plus, the first record below it passed, the second
# record's box unchecked with Space.
scan_region_changes 134 489 110 28 "$running" || fail "the window did not see the scan end"
click "$scan" 300 130
xdotool key KP_Add
xdotool key Down Down
xdotool key space
# Save Conf. (at 134,6 of the button panel).
click "$scan" 189 503
answer_box Information Return
no_error_box
file="$dir/M_Bus.xml"
[ -s "$file" ] || fail "no M_Bus.xml; log: $(cat "$work/app.log")"
# The network editor of the M-Bus models reads this file; the nodes and their records as saved.
[ "$(grep -c '<Nodo ' "$file")" = 3 ] || fail "not three meters: $(cat "$file")"
for id in 12345678 23456789 34567890; do
  grep -q "ID_Secondary=\"$id\"" "$file" || fail "meter $id is missing: $(cat "$file")"
done
[ "$(grep -c 'Enable_Node="1"' "$file")" = 3 ] || fail "a meter is not enabled: $(cat "$file")"
[ "$(grep -c '<Variabile Enable="0"' "$file")" = 1 ] || fail "not one record disabled: $(cat "$file")"
awk '/<Nodo /{n++} /<Variabile /{v++; if ($0 ~ /Enable="0"/) print n "/" v} /<\/Nodo>/{v=0}' "$file" | grep -qx '1/2' ||
  fail "the disabled record is not the first meter's second: $(cat "$file")"
# The meters' values came through: the first meter's volume record.
grep -q 'Desc="Volume m3 (U0S0T0)"' "$file" || fail "no volume record: $(cat "$file")"

# Closing the window, then Scan & Decode again: the network exists, warning 1278.
xdotool windowactivate --sync "$scan" key --clearmodifiers alt+F4
window_gone "$scan" "$scan_title" || fail "the scan window did not close"
click "$main" 601 88
answer_box Warning alt+n
expect_no_window "$scan_title" "No to the warning opened the scan window"
click "$main" 601 88
answer_box Warning alt+y
scan=$(find_window "$scan_title") || fail "Yes to the warning did not open the scan window"
xdotool windowactivate --sync "$scan" key --clearmodifiers alt+F4
window_gone "$scan" "$scan_title" || fail "the scan window did not close"
# Closing the scan window switched the analyzer off again, once per scan.
[ "$(grep -c 'got Ostrel_Disable_Analyzer_Mode' "$gw_log")" = 1 ] || fail "analyzer commands: $(cat "$gw_log")"

click "$main" 657 33
e2e_expect_exit
stop_gateway
e2e_cleanup
trap - EXIT
work=""; xvfb_pid=""; wm_pid=""; app_pid=""

# ---- 2. wireless --------------------------------------------------------------------------------
# The program listens on the wireless port of its model (10001): wait while another run holds it.
for _ in $(seq 120); do
  ss -Hlun 2>/dev/null | grep -q ':10001 ' || break
  sleep 0.5
done
start_gateway wireless
trap cleanup_all EXIT
e2e_start "$launcher" screen 21 --scan-gateway-port "$gw_port"
trap cleanup_all EXIT
main=$(find_window 'OstrelCorp - Varnetor GS30104 - M-Bus Wireless / BACnet slave ') ||
  fail "no main window; log: $(cat "$work/app.log")"
project_with_address "$main" 'E2E Wireless' IP_
open_scan
# "Scan Method" at 176,8: "M-Bus Wireless"; the window is 571 high, its button panel at 531.
pick_setup 256 87 Down Return
idle=$(settled_scan_region 134 537 110 28)
click "$scan" 71 551
# The running view (Abort at 134,6 of the panel), its grid's first row (69 + 22 .. 113) empty
# until the meter is heard.
scan_region_changes 134 537 110 28 "$idle" || fail "the scan did not start; log: $(cat "$work/app.log")"
row_before=$(settled_scan_region 0 91 640 22)
expect_gateway 'got Ostrel_Enable_Configuration_Mode'
expect_gateway 'got ATO'
no_error_box
# The grid below the title panel: its header row 22 high, row 1 at 69 + 22 .. 113. The meter's
# telegram comes within a second; a double click on its row asks for the key.
scan_region_changes 0 91 640 22 "$row_before" || fail "no meter was heard; log: $(cat "$work/app.log")"
xdotool mousemove --window "$scan" 200 103 click --repeat 2 --delay 80 1
keydlg=$(find_window 'Insert Key \(HEX\)') || fail "no key dialog; log: $(cat "$work/app.log")"
# Its edit at 126,12 (226 x 22).
click "$keydlg" 200 23
xdotool type --delay 30 '000102030405060708090a0b0c0d0e0f'
xdotool key Return
window_gone "$keydlg" 'Insert Key \(HEX\)' || fail "the key dialog did not close: an error?"
no_error_box
# The key goes to the radio module, the module listens again, and the next telegram is read.
expect_gateway 'got ATS485=15'
expect_gateway 'got ATS460=5'
for _ in $(seq 100); do [ "$(grep -c 'got ATO' "$gw_log")" -ge 2 ] && break; sleep 0.1; done
[ "$(grep -c 'got ATO' "$gw_log")" -ge 2 ] || fail "the module was not set listening again: $(tail -n 5 "$gw_log")"
# Its row clicked: the tree below (from 269 in the window) shows the meter's records once the
# next telegram has been decoded with the key.
window_settled "$scan"
tree_before=$(settled_scan_region 0 275 640 250)
decoded=""
for _ in $(seq 20); do
  click "$scan" 200 103
  for _ in $(seq 5); do
    [ "$(scan_region 0 275 640 250)" != "$tree_before" ] && { decoded=yes; break 2; }
    sleep 0.1
  done
done
[ -n "$decoded" ] || fail "the meter was not decoded with the key; log: $(cat "$work/app.log")"
# Stop Scan (16,6), then Save Conf. once the window has seen the scan end (Abort at 134,6
# until then).
running=$(settled_scan_region 134 537 110 28)
click "$scan" 71 551
expect_gateway 'got Ostrel_Disable_Configuration_Mode'
scan_region_changes 134 537 110 28 "$running" || fail "the window did not see the scan end"
click "$scan" 189 551
answer_box Information Return
no_error_box
file="$dir/M_Bus.xml"
[ -s "$file" ] || fail "no M_Bus.xml; log: $(cat "$work/app.log")"
[ "$(grep -c '<Nodo ' "$file")" = 1 ] || fail "not one meter: $(cat "$file")"
grep -q "wMBus_Add=\"$((0x11223344))\"" "$file" || fail "not the meter heard: $(cat "$file")"
grep -q 'wMBus_En_Key="1"' "$file" || fail "the meter has no key: $(cat "$file")"
grep -q 'wMBus_Key_11="10"' "$file" || fail "not the key typed: $(cat "$file")"
[ "$(grep -c '<Variabile ' "$file")" = 4 ] || fail "the meter's records were not read: $(cat "$file")"
grep -q 'Desc="Volume m3 (U0S0T0)"' "$file" || fail "no volume record: $(cat "$file")"
xdotool windowactivate --sync "$scan" key --clearmodifiers alt+F4
window_gone "$scan" "$scan_title" || fail "the scan window did not close"

click "$main" 657 33
e2e_expect_exit
echo "scan_window: ok"
