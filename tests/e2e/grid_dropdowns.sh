#!/usr/bin/env bash
# Works with the grid's drop-down editors as a person would, on its own virtual X display under
# a window manager: in the colour cell of row 1, F2 opens the colour editor and F4 its list,
# where a click on "Green" chooses the colour; Tab writes it and opens the time cell, where F4
# shows the clock and a click at three o'clock on its face sets the hour; Enter writes the time.
# In the city cell of row 1 F2 opens the grid drop-down, F4 its grid, where a click on the row of
# Rome chooses it; Tab writes it and opens the amount cell, where "12*3" is typed into the
# calculator and Enter writes the result. The window writes its cells when it closes; every
# edited cell is checked, and the other rows are as they were filled. Every step waits for the
# state the window reports (state.txt: current cell, editor, popup, editor value, cells of row 1).
#
# Usage: grid_dropdowns.sh <path of the built e2e_grid_dropdowns_window program>
set -euo pipefail

program="$1"
title='Grid DropDowns Test'

. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup installs it)"
e2e_start "$program"

win=$(find_window "$title") || fail "no window titled '$title'; log: $(cat "$work/app.log")"
for _ in $(seq 100); do [ -s "$work/prog/layout.txt" ] && break; sleep 0.1; done
[ -s "$work/prog/layout.txt" ] || fail "the window wrote no layout"
xdotool windowactivate --sync "$win" 2>/dev/null || true

state="$work/prog/state.txt"
popup="$work/prog/popup.txt"
cell() { awk -v k="cell_$1_$2" '$1 == k { print $2, $3 }' "$work/prog/layout.txt"; }
# Waits up to 10 s until every line given is in the window's state.
wait_state() { # line...
  local line ok
  for _ in $(seq 100); do
    ok=1
    for line in "$@"; do grep -qxF "$line" "$state" 2>/dev/null || { ok=0; break; }; done
    [ "$ok" = 1 ] && return 0
    sleep 0.1
  done
  fail "the window did not reach '$*'; its state: $(cat "$state" 2>/dev/null); log: $(cat "$work/app.log")"
}
key() { xdotool key --delay 60 "$@"; }
# Opens the popup of the open editor with F4 and waits for the window to tell its positions
# (the same over two looks: the popup has been laid out).
open_popup() { # what opens
  key F4
  wait_state "dropped 1"
  for _ in $(seq 100); do grep -qx open "$popup" 2>/dev/null && break; sleep 0.1; done
  grep -qx open "$popup" 2>/dev/null || fail "the $1 did not open; log: $(cat "$work/app.log")"
  settled cat "$popup" >/dev/null
}
# Screen position of a named place in the open popup.
place() { awk -v k="$1" '$1 == k { print $2, $3 }' "$popup"; }

# 1. The colour cell of row 1: F2 opens the editor, F4 the colour list; a click on Green.
read -r x y <<<"$(cell 1 1)"
click "$win" "$x" "$y"
wait_state "current 1 1"
key F2
wait_state "editing 1"
open_popup "colour list"
green=$(awk '$4 == "Green" { print $1 }' "$popup")
[ -n "$green" ] || fail "no Green in sight in the colour list: $(cat "$popup")"
read -r px py <<<"$(place "$green")"
xdotool mousemove "$px" "$py" click 1
wait_state "dropped 0" "edit 8000"

# 2. Tab writes the colour and opens the time cell; F4 shows the clock, a click at three
#    o'clock on its face sets the hour; Enter writes the time.
key Tab
wait_state "current 2 1" "editing 1" "cell 1 1 8000"
open_popup clock
read -r cx cy radius <<<"$(awk '$1 == "clock" { print $2, $3, $4 }' "$popup")"
[ -n "$radius" ] || fail "no clock in the popup: $(cat "$popup")"
xdotool mousemove $((cx + radius / 2)) "$cy" click 1
wait_state "edit 03:15:00"
key Return
wait_state "editing 0" "cell 2 1 03:15:00"

# 3. The city cell of row 1: F2 opens the grid drop-down, F4 its grid; a click on Rome.
read -r x y <<<"$(cell 3 1)"
click "$win" "$x" "$y"
wait_state "current 3 1"
key F2
wait_state "editing 1"
open_popup "city grid"
rome=$(awk '$4 == "Rome" { print $1 }' "$popup")
[ -n "$rome" ] || fail "no Rome in the city grid: $(cat "$popup")"
read -r px py <<<"$(place "$rome")"
xdotool mousemove "$px" "$py" click 1
wait_state "dropped 0" "edit Rome"

# 4. Tab writes the city and opens the amount cell: 12 x 3 on the calculator, Enter writes it.
key Tab
wait_state "current 4 1" "editing 1" "cell 3 1 Rome"
xdotool type --delay 80 "12*3"
wait_state "edit 3.00"
key Return
wait_state "editing 0" "cell 4 1 36.00"

# 5. Close the window; it writes its cells.
key alt+F4
e2e_expect_exit
cells="$work/prog/cells.txt"
[ -s "$cells" ] || fail "the window wrote no cells"

field() { awk -F'\t' -v r=$(($1 + 1)) -v c=$(($2 + 1)) 'NR == r { print $c }' "$cells"; }
expect() { # row col text
  local got
  got=$(field "$1" "$2")
  [ "$got" = "$3" ] || fail "cell ($2, $1) is '$got', expected '$3'"
}
expect 1 1 "8000"
expect 1 2 "03:15:00"
expect 1 3 "Rome"
expect 1 4 "36.00"
# The other rows are as they were filled.
expect 2 1 "ffffff"
expect 2 2 "09:15:00"
expect 2 3 "Oslo"
expect 2 4 "1"
echo "grid drop-downs: colour, time, city and amount found"
