#!/usr/bin/env bash
# Works in a 2000-row column grid as a new user would, on its own virtual X display under a
# window manager: clicks a cell and types a name, Tab opens the pick list of the next cell where
# a typed letter chooses an item that Enter takes, Tab again opens the editable list where a free
# text is typed, a
# pick-list item is chosen with the mouse, a check box is
# toggled by a click and another by Space, Ctrl+End and Up reach row 1800 where a name is typed,
# and the window is closed. The window writes its cells when it closes; every edited cell and
# the untouched read-only column are checked.
#
# Usage: column_grid.sh <path of the built e2e_grid_window program>
set -euo pipefail

program="$1"
title='Column Grid Test'

. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup installs it)"
# e2e_start runs the window manager.
e2e_start "$program"

win=$(find_window "$title") || fail "no window titled '$title'; log: $(cat "$work/app.log")"
file_has_line "$work/prog/layout.txt" '^list_height ' || fail "the window wrote no layout"
# The window's state line: "cell <col> <row> focus <class> popup <0|1> text <focused editor's text>".
state="$work/prog/state.txt"
expect_state() { # pattern, what failed
  file_has_line "$state" "$1" || fail "$2: $(cat "$state" 2>/dev/null)"
}

# The centre (x y) and the bottom-right corner (right bottom) of a cell, in the window.
cell() { awk -v k="cell_$1_$2" '$1 == k { print $2, $3, $4, $5 }' "$work/prog/layout.txt"; }
item_height=$(awk '$1 == "item_height" { print $2 }' "$work/prog/layout.txt")
[ "${item_height:-0}" -gt 0 ] || item_height=18
key() { xdotool key --delay 60 "$@"; }
title_now() { xdotool getwindowname "$win"; }

# 1. A name in the first data row, then Tab: the pick list of the next cell opens on no item
#    (nothing is chosen yet); the letter c chooses "Coil", which Enter takes.
read -r x y _ _ <<<"$(cell 1 1)"
click "$win" "$x" "$y"
xdotool type --delay 60 "Pump"
key Tab
expect_state '^cell 2 1 .*TGridCombo' "Tab opened no list on the type cell"
xdotool type --delay 60 "c"
expect_state ' text Coil$' "the letter c did not choose Coil"
key Return

# 1b. Tab on to the editable list of the same row: a unit it does not list is typed and kept.
key Tab
xdotool type --delay 60 "kW"
key Return

# 2. A pick-list item chosen with the mouse: the cell is made current, a second click opens its
#    list editor (two clicks, not a double click), the button drops the list down, and the
#    second item is clicked.
read -r x y right bottom <<<"$(cell 2 2)"
click_twice "$win" "$x" "$y"
windows=$(app_window_count)
click "$win" $((right - 8)) "$y"
app_window_count_is $((windows + 1)) || fail "the list did not drop down"
click "$win" "$x" $((bottom + item_height + item_height / 2 + 2))
app_window_count_is "$windows" || fail "the list did not close"
key Return

# 3. Check boxes: one by a click, the next by Space.
read -r x y _ _ <<<"$(cell 4 3)"
click "$win" "$x" "$y"
key Down
key space

# 4. Row 1800: Ctrl+End goes to the last cell, Up walks back; Home goes to the first editable
#    column of the row.
key ctrl+End
xdotool key --delay 15 --repeat 200 Up
for _ in $(seq 100); do [ "$(title_now)" = "$title - row 1800" ] && break; sleep 0.1; done
[ "$(title_now)" = "$title - row 1800" ] || fail "did not reach row 1800: $(title_now)"
key Home
xdotool type --delay 60 "Fan"
key Return

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
expect 1 1 "Pump"
expect 1 2 "Coil"
expect 1 3 "kW"
expect 2 2 "Register"
expect 3 4 "Y"
expect 4 4 "Y"
expect 5 4 "N"
expect 1800 1 "Fan"
expect 1799 1 ""
expect 1801 1 ""
# The read-only column is as it was filled.
awk -F'\t' 'NR > 1 && $6 != "A" (NR - 1) { print "row " NR - 1 ": " $6; bad = 1 } END { exit bad }' "$cells" \
  || fail "the read-only column changed"
[ "$(wc -l <"$cells")" -eq 2001 ] || fail "the grid lost or gained rows"
echo "column grid: all edits found"
