#!/usr/bin/env bash
# The M-Bus master with PROFINET (device type 1002) as a new user configures it, through the test
# launcher: a project made with New; M-Bus opens the customer configuration, whose Template button
# opens the template window; two leading rows (Node State, Identification Number), two value
# objects and one request typed cell by cell, Create Template, the name given in the dialog that
# asks for it; back in the configuration (opened again, so that its list holds the new template)
# the first meter with its address, OK; the general parameters with the automatic byte count on;
# the second meter, OK, which writes the byte count into ParGen.xml and leaves every other key as
# it was; Update Device and the wizard closed. bank3.bin holds the two nodes, their read and write
# variables and the request where the image places them, with the data positions of their
# objects; opened again, the configuration shows the two meters (OK writes the same files).
#
# Usage: mbus_master_road.sh <path of the built varnetor_type launcher>
set -euo pipefail

launcher="$1"
title='OstrelCorp - Varnetor GX30130 PROFINET / M-Bus Master '
project='Meters E2E'
conf='PROFINET / M-Bus Configuration '
templates='Template Creation'
namer='Insert Name of Template'
pargen_title='Set Communication'
wizard='Update Firmware from Etherner \(UDP\)'

. "$(dirname "$0")/lib.sh"
e2e_start "$launcher" 1002

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project "$main" "$project"
dir="$work/prog/PROJECTS/$project"
for _ in $(seq 100); do [ -d "$dir/bin" ] && break; sleep 0.1; done
[ -d "$dir/bin" ] || fail "project folder not created: $(ls -R "$work/prog/PROJECTS")"
list="$dir/M_Bus_Custom_QV.xml"
pargen="$dir/ParGen.xml"

# M-Bus (Btn_MBus at 80,200, 170 x 36) opens the customer configuration. In it: the M-Bus ID at
# 164,205 (130 x 22), Node State at 18,235 and Identification Number at 18,257 (check boxes 20
# high), Add at 18,337; OK, Cancel and Template at 16, 134 and 252 on 505 (110 x 28).
open_conf() {
  click "$main" 165 218
  cwin=$(find_window "$conf") || fail "the configuration did not open; log: $(cat "$work/app.log")"
}
conf_ok() {
  click "$cwin" 71 519
  window_gone "$cwin" "$conf" || fail "the configuration did not close on OK; log: $(cat "$work/app.log")"
}
add_meter() { # M-Bus ID, then the check boxes to toggle (the y of each)
  local y
  click "$cwin" 229 216
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 40 "$1"
  shift
  for y in "$@"; do click "$cwin" 28 "$y"; done
  click "$cwin" 62 351
}

open_conf
click "$cwin" 307 519
twin=$(find_window "$templates") || fail "the template window did not open"

# The objects grid: its cells begin at 4,96 in the window (the header row 22 high, then rows of
# 22); the requests grid lies at the same place on the second page (tab at 110,69, 112 x 25).
grid_left=4
grid_top=96
widths=(40 50 60 70 100 75 95 80 110 50 55 140 120)
cell_x() { local x=$grid_left c; for ((c = 0; c < $1; c++)); do x=$((x + widths[c])); done; echo $((x + widths[$1] / 2)); }
cell_y() { echo $((grid_top + 22 + ($1 - 1) * 22 + 11)); }
type_row() { # row, then the texts of columns 1.. ("-" leaves a cell empty)
  local r="$1" c=1 v
  shift
  for v in "$@"; do
    if [ "$v" != - ]; then
      click "$twin" "$(cell_x $c)" "$(cell_y "$r")"
      xdotool type --delay 40 "$v"
    fi
    c=$((c + 1))
  done
}
# Frame, position, dimension, use in more vars, type, post operation, write length, write frame,
# unit, options, object name, description.
type_row 1 0 0 4 0 13 0 0 - - 0 "NS xx'yy'zzz'" "State"
type_row 2 0 0 4 0 23 0 0 - - 0 "IN xx'yy'zzz'" "Ident"
type_row 3 1 19 4 0 2 1 2 10FB 62 3 "AV xx'_yy'_zzz'" "Flow"
type_row 4 1 25 1 0 5 0 0 - - 0 "BV xx'_yy'_zzz'" "Alarm"
click "$twin" 166 81
widths=(40 80 90 260 90 70 80 90)
# Frame number, length, frame, change byte, reply, next step, variables.
type_row 1 1 5 105BFE5916 3 229 0 2

# Create Template (16,303, 110 x 28) asks the name.
click "$twin" 71 317
nwin=$(find_window "$namer") || fail "no name was asked for the template; log: $(cat "$work/app.log")"
click "$nwin" 150 91
xdotool type --delay 40 "Meter"
click "$nwin" 197 135
window_gone "$nwin" "$namer" || fail "the name dialog did not close"
tfile="$work/prog/TEMPLATE/Meter.xml"
for _ in $(seq 50); do [ -s "$tfile" ] && break; sleep 0.1; done
[ -s "$tfile" ] || fail "no template was written: $(ls -la "$work/prog/TEMPLATE")"
[ "$(grep -c '<Var>' "$tfile")" = 4 ] || fail "the template does not hold four objects: $(cat "$tfile")"
[ "$(grep -c '<Request>' "$tfile")" = 1 ] || fail "the template does not hold one request: $(cat "$tfile")"
grep -q '<Description>Alarm</Description>' "$tfile" || fail "the last object is not as typed: $(cat "$tfile")"
grep -q '<VariablesForFrame>2</VariablesForFrame>' "$tfile" || fail "the request is not as typed: $(cat "$tfile")"
# Cancel (134,303) closes the template window, Cancel the configuration.
click "$twin" 189 317
window_gone "$twin" "$templates" || fail "the template window did not close"
click "$cwin" 189 519
window_gone "$cwin" "$conf" || fail "the configuration did not close on Cancel"
[ ! -e "$list" ] || fail "Cancel wrote the device list"

# Opened again, the list holds the template: the first meter, ID 5, with both values.
open_conf
add_meter 5 245 267
conf_ok
[ "$(grep -c '<Device>' "$list")" = 1 ] || fail "the device list does not hold one meter: $(cat "$list")"

# The general parameters (Btn_Prm_Gen at 80,156) with the automatic byte count (24,349) on, OK
# (40,629): the count of the first meter, 12 bytes, is written with them.
click "$main" 165 174
pwin=$(find_window "$pargen_title") || fail "the general parameters did not open"
click "$pwin" 32 357
click "$pwin" 95 643
window_gone "$pwin" "$pargen_title" || fail "the general parameters did not close: $(cat "$work/app.log")"
grep -q '<PROFINET_AUTO_CALC_BYTE_USED>1</PROFINET_AUTO_CALC_BYTE_USED>' "$pargen" || fail "no automatic count: $(cat "$pargen")"
grep -q '<PROFINET_NB_OUT>12</PROFINET_NB_OUT>' "$pargen" || fail "ParGen.xml lacks the count 12: $(cat "$pargen")"
cp "$pargen" "$work/pargen_before.xml"

# The second meter, ID 7, Node State on (the fields show the first meter's), Identification off.
open_conf
add_meter 7 267
conf_ok
[ "$(grep -c '<Device>' "$list")" = 2 ] || fail "the device list does not hold two meters: $(cat "$list")"
sed 's:<PROFINET_NB_OUT>12</PROFINET_NB_OUT>:<PROFINET_NB_OUT>20</PROFINET_NB_OUT>:' "$work/pargen_before.xml" >"$work/pargen_expected.xml"
cmp -s "$pargen" "$work/pargen_expected.xml" ||
  fail "ParGen.xml is not the earlier file with the count 20: $(diff "$work/pargen_expected.xml" "$pargen")"

# Update Device (Btn_CreateBin at 80,332) builds the images and opens the wizard, closed again.
click "$main" 165 350
wiz=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log")"
xdotool windowactivate --sync "$wiz" key --clearmodifiers alt+F4
window_gone "$wiz" "$wizard" || fail "the wizard did not close"

bank="$dir/bin/bank3.bin"
[ -s "$bank" ] || fail "no bank3.bin: $(ls -la "$dir/bin")"
[ ! -e "$dir/bin/bank4.bin" ] || fail "device type 1002 wrote bank4.bin"
# The record, 2 nodes of 34 bytes, 4 read variables of 10, 2 write variables of 24, 1 request of 33.
[ "$(stat -c %s "$bank")" = $((2048 + 68 + 40 + 48 + 33)) ] || fail "bank3.bin has $(stat -c %s "$bank") bytes"
u() { od -An -tu"$2" -j "$1" -N "$2" "$bank" | tr -d ' '; }
[ "$(u 248 4)" = $((0x51000)) ] || fail "node table address $(u 248 4)"
[ "$(u 264 4)" = 2 ] || fail "node count $(u 264 4)"
# Node records from 2048: ID type, ID, read variables and their address, write variables and
# their address, requests and their address, Node State and its data position, Identification
# Number and its data position. The objects take data positions from 0: meter 5's Node State
# 0-3, Identification 4-7, value 8-11, alarm 12; meter 7's Node State 13-16, value 17-20, alarm 21.
node() { # record index -> its fields
  local o=$((2048 + $1 * 34))
  echo "$(u $((o + 2)) 1) $(u $((o + 3)) 4) $(u $((o + 7)) 2) $(u $((o + 9)) 4) $(u $((o + 13)) 2) $(u $((o + 15)) 4)" \
    "$(u $((o + 19)) 1) $(u $((o + 20)) 4) $(u $((o + 24)) 1) $(u $((o + 25)) 4) $(u $((o + 29)) 1) $(u $((o + 30)) 4)"
}
t0=$((0x51000))
expect0="0 5 2 $((t0 + 68)) 1 $((t0 + 108)) 1 $((t0 + 156)) 1 0 1 4"
expect1="0 7 2 $((t0 + 88)) 1 $((t0 + 132)) 1 $((t0 + 156)) 1 13 0 0"
[ "$(node 0)" = "$expect0" ] || fail "node 0 is '$(node 0)', expected '$expect0'"
[ "$(node 1)" = "$expect1" ] || fail "node 1 is '$(node 1)', expected '$expect1'"
# Read variables from 2116: frame, position, dimension, more vars, data position, type, post op.
rvar() { local o=$((2116 + $1 * 10)); echo "$(u $o 1) $(u $((o + 1)) 1) $(u $((o + 2)) 1) $(u $((o + 3)) 1) $(u $((o + 4)) 4) $(u $((o + 8)) 1) $(u $((o + 9)) 1)"; }
rexpect=("1 19 4 0 8 2 1" "1 25 1 0 12 5 0" "1 19 4 0 17 2 1" "1 25 1 0 21 5 0")
for i in 0 1 2 3; do
  [ "$(rvar $i)" = "${rexpect[$i]}" ] || fail "read variable $i is '$(rvar $i)', expected '${rexpect[$i]}'"
done
# Write variables from 2156: frame, position, length, type, the frame's first two bytes, object
# instance, data position, post operation, dimension.
wvar() { local o=$((2156 + $1 * 24)); echo "$(u $o 1) $(u $((o + 1)) 1) $(u $((o + 2)) 1) $(u $((o + 3)) 1) $(u $((o + 4)) 1) $(u $((o + 5)) 1) $(u $((o + 14)) 4) $(u $((o + 18)) 4) $(u $((o + 22)) 1) $(u $((o + 23)) 1)"; }
wexpect=("1 19 2 2 16 251 0 8 1 4" "1 19 2 2 16 251 1 17 1 4")
for i in 0 1; do
  [ "$(wvar $i)" = "${wexpect[$i]}" ] || fail "write variable $i is '$(wvar $i)', expected '${wexpect[$i]}'"
done
# The request at 2204: step, frame number, length, frame, change byte, reply, next step, vars.
got="$(u 2204 1) $(u 2205 1) $(u 2206 1) $(od -An -tx1 -j 2207 -N 5 "$bank" | tr -d ' \n') $(u 2233 1) $(u 2234 1) $(u 2235 1) $(u 2236 1)"
[ "$got" = "1 1 5 105bfe5916 3 229 0 2" ] || fail "the request is '$got'"

# Opened again, the configuration shows the two meters: OK writes the same files.
cp "$list" "$work/list.xml"
cp "$pargen" "$work/pargen.xml"
open_conf
conf_ok
cmp -s "$list" "$work/list.xml" || fail "the reopened configuration lost meters: $(diff "$work/list.xml" "$list")"
cmp -s "$pargen" "$work/pargen.xml" || fail "the reopened configuration changed ParGen.xml"

click "$main" 657 33
e2e_expect_exit
echo "M-Bus master road: OK"
