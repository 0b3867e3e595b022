#!/usr/bin/env bash
# Works with the grid's editors as a person would, on its own virtual X display under a window
# manager: in a spin cell F2 opens the editor, the arrow keys step it and a held mouse button on
# its up arrow steps it on and on; Tab writes the count back and opens the date picker of the
# next cell, whose calendar drops down with Alt+Down, where a day two days on is chosen with the
# keyboard; Tab opens the energy cell, where a new value is typed and another unit chosen from
# the button's menu; Tab leaves it for the note, which is typed and ended with Enter. The window
# writes its cells when it closes; every edited cell is checked.
#
# Usage: grid_editors.sh <path of the built e2e_grid_editors_window program>
set -euo pipefail

program="$1"
title='Grid Editors Test'

. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup installs it)"
e2e_start "$program"

win=$(find_window "$title") || fail "no window titled '$title'; log: $(cat "$work/app.log")"
file_has_line "$work/prog/layout.txt" '^spin_up ' || fail "the window wrote no layout"

cell() { awk -v k="cell_$1_$2" '$1 == k { print $2, $3 }' "$work/prog/layout.txt"; }
key() { xdotool key --delay 60 "$@"; }
# The window's state line: "cell <col> <row> focus <class> popup <0|1> text <focused edit's text>".
state="$work/prog/state.txt"
expect_state() { # pattern, what failed
  file_has_line "$state" "$1" || fail "$2: $(cat "$state" 2>/dev/null)"
}

# 1. The spin cell of row 1 (10): F2 opens its editor, Up twice makes 12, then the mouse holds
#    the up arrow down: it steps once after 400 ms and then every 100 ms, and is let go once it
#    has stepped four times.
read -r x y <<<"$(cell 1 1)"
click "$win" "$x" "$y"
expect_state '^cell 1 1 ' "the click did not make the count cell current"
key F2
expect_state ' text 10$' "F2 opened no editor on the count"
key Up Up
expect_state ' text 12$' "Up twice did not step the count to 12"
read -r ax ay <<<"$(awk '$1 == "spin_up" { print $2, $3 }' "$work/prog/layout.txt")"
xdotool mousemove --window "$win" "$ax" "$ay" mousedown 1
held=0
file_has_line "$state" ' text (1[6-9]|[2-9][0-9]|100)$' || held=1
xdotool mouseup 1
[ "$held" = 0 ] || fail "the held arrow did not repeat: $(cat "$state")"

# 2. Tab: the count goes into its cell and the date picker of the next cell opens. Alt+Down
#    drops its calendar, Right twice walks two days on, Enter takes the day.
key Tab
expect_state '^cell 2 1 ' "Tab did not go on to the date cell"
key alt+Down
expect_state ' popup 1 ' "Alt+Down dropped no calendar"
key Right Right Return
expect_state '^cell 2 1 .* popup 0 ' "Enter did not close the calendar"

# 3. Tab: the energy cell opens on its value; a new value is typed over it, and the button's
#    menu (F4) gives another unit: the second one, Wh.
key Tab
expect_state '^cell 3 1 ' "Tab did not go on to the energy cell"
xdotool type --delay 80 "230"
expect_state ' text 230' "the new value was not typed into the energy cell"
key F4
expect_state ' popup 1 ' "F4 opened no unit menu"
key Down Down Return
expect_state '^cell 3 1 .* popup 0 ' "Enter did not close the unit menu"

# 4. Tab leaves the energy cell for the note, which is typed and ended with Enter.
key Tab
expect_state '^cell 4 1 ' "Tab did not go on to the note"
xdotool type --delay 60 "done"
expect_state ' text done$' "the note was not typed"
key Return
expect_state '^cell 4 1 focus .* text -$' "Enter did not end the note's editor"

# 5. Close the window; it writes its cells.
key alt+F4
e2e_expect_exit
cells="$work/prog/cells.txt"
[ -s "$cells" ] || fail "the window wrote no cells"

field() { awk -F'\t' -v r=$(($1 + 1)) -v c=$(($2 + 1)) 'NR == r { print $c }' "$cells"; }
count=$(field 1 1)
[[ "$count" =~ ^[0-9]+$ ]] || fail "the spin cell holds '$count', no count"
# Two arrow keys, then the held button: a click on release and at least three repeats.
[ "$count" -ge 16 ] || fail "the spin cell is $count: the held arrow did not repeat"
[ "$count" -le 100 ] || fail "the spin cell is $count, above its maximum"
expect() { # row col text
  local got
  got=$(field "$1" "$2")
  [ "$got" = "$3" ] || fail "cell ($2, $1) is '$got', expected '$3'"
}
expect 1 2 "17/03/2024"
expect 1 3 "230Wh"
expect 1 4 "done"
# The other rows are as they were filled.
expect 2 1 "10"
expect 2 2 "15/03/2024"
expect 2 3 "1kWh"
echo "grid editors: count $count, all edits found"
