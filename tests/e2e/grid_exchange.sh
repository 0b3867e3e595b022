#!/usr/bin/env bash
# The grid's exchange with the outside, as a person does it on a desktop with a window manager:
# a block of the source grid is selected with the mouse and copied with Ctrl+C, pasted into the
# target grid with Ctrl+V; a column header of the target is dragged onto another column; a CSV
# file is dragged from another program onto the third grid. The window writes its grids when it
# closes; the pasted block, the new column order and the file's cells are checked.
#
# Usage: grid_exchange.sh <e2e_grid_exchange_window> <e2e_file_drag_source>
set -euo pipefail

program="$1"
drag_source="$2"
title='Grid Exchange Test'

. "$(dirname "$0")/lib.sh"
e2e_start "$program"
source_pid=""
stop_all() { [ -n "$source_pid" ] && kill "$source_pid" 2>/dev/null || true; e2e_cleanup; }
trap stop_all EXIT

win=$(find_window "$title") || fail "no window titled '$title'; log: $(cat "$work/app.log")"
for _ in $(seq 100); do [ -s "$work/prog/layout.txt" ] && break; sleep 0.1; done
[ -s "$work/prog/layout.txt" ] || fail "the window wrote no layout"
xdotool windowmove --sync "$win" 0 0 2>/dev/null || true
xdotool windowactivate --sync "$win" 2>/dev/null || true
sleep 0.5

at() { awk -v k="$1_$2_$3" '$1 == k { print $2, $3 }' "$work/prog/layout.txt"; }
key() { xdotool key --delay 80 "$@"; sleep 0.3; }

# 1. Select source cells (1,1)..(2,2): a click on the first, Shift+Right and Shift+Down; copy
#    with Ctrl+C.
read -r x y <<<"$(at source 1 1)"
click "$win" "$x" "$y"
key shift+Right
key shift+Down
key ctrl+c

# 2. Paste into the target grid at (1,1) with Ctrl+V.
read -r x y <<<"$(at target 1 1)"
click "$win" "$x" "$y"
key ctrl+v

# 3. Drag the target's column header 1 onto the header of column 4.
read -r x y <<<"$(at target 1 0)"
read -r x2 y2 <<<"$(at target 4 0)"
xdotool mousemove --window "$win" "$x" "$y"
sleep 0.2
xdotool mousedown 1
sleep 0.3
for step in 1 2 3 4 5 6 7 8; do
  xdotool mousemove --window "$win" $((x + (x2 - x) * step / 8)) "$y"
  sleep 0.15
done
sleep 0.3
xdotool mouseup 1
sleep 0.8

# 4. A CSV file dragged from another program onto the third grid.
printf 'Name;Unit\r\nPump;kW\r\nFan;A\r\n' >"$work/meters.csv"
(cd "$work" && QT_QPA_PLATFORM=xcb ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  exec "$drag_source" "$work/meters.csv") >"$work/source.log" 2>&1 &
source_pid=$!
src=""
for _ in $(seq 200); do
  src=$(xdotool search --onlyvisible --name '^File Source$' 2>/dev/null | head -n1 || true)
  [ -n "$src" ] && break
  sleep 0.1
done
[ -n "$src" ] || fail "the drag source did not start: $(cat "$work/source.log")"
xdotool windowmove --sync "$src" 300 600 2>/dev/null || true
sleep 0.5
read -r cx cy <<<"$(at csv 1 2)"
eval "$(xdotool getwindowgeometry --shell "$win")"
tx=$((X + cx)); ty=$((Y + cy))
eval "$(xdotool getwindowgeometry --shell "$src")"
sx=$((X + 40)); sy=$((Y + 30))
xdotool mousemove "$sx" "$sy"
sleep 0.2
xdotool mousedown 1
sleep 0.3
for step in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove $((sx + (tx - sx) * step / 10)) $((sy + (ty - sy) * step / 10))
  sleep 0.15
done
sleep 0.3
xdotool mouseup 1
sleep 1

# 5. Close the window; it writes its grids.
xdotool windowactivate --sync "$win" 2>/dev/null || true
sleep 0.3
key alt+F4
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
[ -s "$work/prog/target.txt" ] || fail "the window wrote no cells; log: $(cat "$work/app.log")"

field() { awk -F'\t' -v r=$(($2 + 1)) -v c=$(($3 + 1)) 'NR == r { print $c }' "$work/prog/$1.txt"; }
expect() { # grid row col text
  local got
  got=$(field "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$1 cell (col $3, row $2) is '$got', expected '$4'; the grid: $(cat "$work/prog/$1.txt")"
}
# The pasted block, seen after the column move: column 1 now stands at position 4.
expect target 0 0 "H0"
expect target 0 1 "H2"
expect target 0 4 "H1"
expect target 1 4 "s11"
expect target 2 4 "s12"
expect target 1 1 "s21"
expect target 2 1 "s22"
expect target 3 4 ""
# The dropped file's cells.
expect csv 0 0 "Name"
expect csv 1 1 "kW"
expect csv 2 0 "Fan"
echo "grid exchange: paste, column drag and file drop found"
