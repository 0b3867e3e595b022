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
for _ in $(seq 100); do [ -s "$work/prog/layout.txt" ] && break; sleep 0.1; done
[ -s "$work/prog/layout.txt" ] || fail "the window wrote no layout"
xdotool windowactivate --sync "$win" 2>/dev/null || true
sleep 0.3

cell() { awk -v k="cell_$1_$2" '$1 == k { print $2, $3 }' "$work/prog/layout.txt"; }
key() { xdotool key --delay 60 "$@"; sleep 0.3; }

# 1. The spin cell of row 1 (10): F2 opens its editor, Up twice makes 12, then the mouse holds
#    the up arrow down for a while: it steps once after 400 ms and then every 100 ms.
read -r x y <<<"$(cell 1 1)"
click "$win" "$x" "$y"
sleep 0.3
key F2
key Up
key Up
read -r ax ay <<<"$(awk '$1 == "spin_up" { print $2, $3 }' "$work/prog/layout.txt")"
xdotool mousemove --window "$win" "$ax" "$ay"
sleep 0.2
xdotool mousedown 1
sleep 1.6
xdotool mouseup 1
sleep 0.3

# 2. Tab: the count goes into its cell and the date picker of the next cell opens. Alt+Down
#    drops its calendar, Right twice walks two days on, Enter takes the day.
key Tab
key alt+Down
sleep 0.3
key Right
key Right
key Return
sleep 0.3

# 3. Tab: the energy cell opens on its value; a new value is typed over it, and the button's
#    menu (F4) gives another unit: the second one, Wh.
key Tab
xdotool type --delay 80 "230"
sleep 0.2
key F4
sleep 0.3
key Down
key Down
key Return
sleep 0.2

# 4. Tab leaves the energy cell for the note, which is typed and ended with Enter.
key Tab
xdotool type --delay 60 "done"
sleep 0.2
key Return

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
