#!/usr/bin/env bash
# The grid's exchange with the outside, as a person does it on a desktop with a window manager:
# a block of the source grid is selected and copied with Ctrl+C, pasted into the target grid
# with Ctrl+V; a column header of the target is dragged onto another column; a CSV file is
# dragged from another program onto the third grid. The window keeps its state (selections,
# cells, the clipboard's text, the cell a drag is over) in state.txt: every step waits for what
# it did to show there. When it closes, the window writes its grids; the pasted block, the new
# column order and the file's cells are checked.
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
xdotool windowmove --sync "$win" 0 0 2>/dev/null || true
xdotool windowactivate --sync "$win" 2>/dev/null || true
window_settled "$win"
state="$work/prog/state.txt"

# Waits up to 10 s for a line of the window's state (exact match).
state_has() { # line
  for _ in $(seq 100); do
    grep -qxF -- "$1" "$state" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
expect_state() { # line, what the failure says
  state_has "$1" || fail "$2; the window's state: $(cat "$state" 2>/dev/null)"
}
# The window's layout once it has settled: the same over two looks.
layout_now() { cat "$work/prog/layout.txt" 2>/dev/null || true; }
[ -n "$(settled layout_now)" ] || fail "the window wrote no layout"
at() { awk -v k="$1_$2_$3" '$1 == k { print $2, $3 }' "$work/prog/layout.txt"; }

# Drags with the left button from where the mouse is to (x, y) on the screen in ten steps, and
# holds the button until the window reports the drag over the cell `over` ("<grid> <col> <row>");
# a drag whose last position went out before the target answered the one before is nudged by
# a pixel until it shows there.
drag_to() { # x y over
  local sx sy step
  eval "$(xdotool getmouselocation --shell)"
  sx=$X
  sy=$Y
  xdotool mousedown 1
  for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((sx + ($1 - sx) * step / 10)) $((sy + ($2 - sy) * step / 10))
  done
  for step in 1 2 3 4 5 6 7 8 9 10; do
    state_has "over $3" && break
    xdotool mousemove $(($1 + step % 2)) "$2"
  done
  state_has "over $3" || { xdotool mouseup 1; fail "the drag did not reach $3; state: $(cat "$state")"; }
  xdotool mousemove "$1" "$2" mouseup 1
}
screen_of() { # window x y (in the window) -> x y on the screen
  local X Y
  read -r X Y <<<"$(client_origin "$1")"
  echo $((X + $2)) $((Y + $3))
}

# 1. Select source cells (1,1)..(2,2): a click on the first, Shift+Right and Shift+Down; copy
#    with Ctrl+C.
read -r x y <<<"$(at source 1 1)"
click "$win" "$x" "$y"
expect_state "sel source 1 1 1 1" "the click did not make source cell (1,1) current"
xdotool key shift+Right shift+Down
expect_state "sel source 1 1 2 2" "Shift+Right and Shift+Down did not select the block"
xdotool key ctrl+c
expect_state 'clip s11\ts21\r\ns12\ts22\r\n' "Ctrl+C did not put the block on the clipboard"

# 2. Paste into the target grid at (1,1) with Ctrl+V.
read -r x y <<<"$(at target 1 1)"
click "$win" "$x" "$y"
expect_state "sel target 1 1 1 1" "the click did not make target cell (1,1) current"
xdotool key ctrl+v
expect_state "cell target 2 2 s22" "Ctrl+V did not paste the block"

# 3. Drag the target's column header 1 onto the header of column 4.
read -r x y <<<"$(at target 1 0)"
read -r x2 y2 <<<"$(at target 4 0)"
xdotool mousemove --window "$win" "$x" "$y"
read -r tx ty <<<"$(screen_of "$win" "$x2" "$y2")"
drag_to "$tx" "$ty" "target 4 0"
expect_state "cell target 4 0 H1" "the dragged column did not move to position 4"

# 4. A CSV file dragged from another program onto the third grid.
printf 'Name;Unit\r\nPump;kW\r\nFan;A\r\n' >"$work/meters.csv"
(cd "$work" && QT_QPA_PLATFORM=xcb ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  exec "$drag_source" "$work/meters.csv") >"$work/source.log" 2>&1 &
source_pid=$!
src=""
for _ in $(seq 200); do
  src=$(xdotool search --onlyvisible --name '^File Source$' 2>/dev/null | head -n1 || true)
  [ -n "$src" ] && break
  kill -0 "$source_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$src" ] || fail "the drag source did not start: $(cat "$work/source.log")"
xdotool windowmove --sync "$src" 300 600 2>/dev/null || true
window_settled "$src"
read -r cx cy <<<"$(at csv 1 2)"
read -r tx ty <<<"$(screen_of "$win" "$cx" "$cy")"
read -r sx sy <<<"$(screen_of "$src" 40 30)"
xdotool mousemove "$sx" "$sy"
drag_to "$tx" "$ty" "csv 1 2"
expect_state "cell csv 0 2 Fan" "the dropped file's cells did not show"

# 5. Close the window; it writes its grids.
kill "$source_pid" 2>/dev/null || true
wait "$source_pid" 2>/dev/null || true
source_pid=""
xdotool windowactivate --sync "$win" 2>/dev/null || true
window_settled "$win"
xdotool key alt+F4
e2e_expect_exit
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
