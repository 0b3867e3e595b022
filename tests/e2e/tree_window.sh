#!/usr/bin/env bash
# Runs the lazy tree's test window as a new user would, on its own virtual X display under a
# window manager: 3 meters with 4 records of 12 lines each, check boxes on meters and records
# (plain boxes, as the scan window has them: a record's box does not change its meter's).
# A meter is expanded with its button, a record by a double click and the numeric-pad keys,
# a record is checked by a click on its box and by Space, and nodes are selected with the
# arrows, Shift and Ctrl; a meter is renamed in place (F2, typing, Enter) and dragged onto
# another meter, which takes it in. After every step the window's log names the change and the
# picture of the tree has changed.
#
# Usage: tree_window.sh <path of the built tree_window_demo>
set -euo pipefail

program="$1"

. "$(dirname "$0")/lib.sh"
e2e_start "$program" screen

# Waits up to 10 s until the log holds the line `$1` at least `$2` times (default once).
expect_log() {
  local want="${2:-1}"
  for _ in $(seq 100); do
    [ "$(grep -cxF -- "$1" "$work/app.log" || true)" -ge "$want" ] && return 0
    sleep 0.1
  done
  fail "the log lacks '$1' (x$want): $(cat "$work/app.log")"
}

win=$(find_window 'Lazy Tree') || fail "no window titled 'Lazy Tree'; log: $(cat "$work/app.log")"
expect_log ready
read -r _ tree_y <<<"$(client_origin "$win")"
# The tree is the only thing on these rows that changes.
picture() { rows_region_sum "$tree_y" 420; }
# Waits for the tree's picture to differ from `$1`.
expect_repaint() {
  for _ in $(seq 50); do
    [ "$(picture)" != "$1" ] && return 0
    sleep 0.1
  done
  fail "the tree's picture did not change after: $2"
}

# Rows are 18 pixels high. A top-level node's button is at x 9, its check box at 27, its text
# from 59; a record's check box at 45, its text from 77.
row() { echo $(($1 * 18 + 9)); }

before=$(settled picture)
click "$win" 9 "$(row 0)"
expect_log "expanded Meter 1 - Primary Address = 1"
expect_repaint "$before" "the button of meter 1"

before=$(settled picture)
xdotool mousemove --window "$win" 100 "$(row 1)" click --repeat 2 --delay 80 1
expect_log "focus Record 1 of meter 1"
expect_log "expanded Record 1 of meter 1"
expect_repaint "$before" "the double click on record 1"

before=$(settled picture)
xdotool key KP_Subtract
expect_log "collapsed Record 1 of meter 1"
expect_repaint "$before" "numeric-pad minus"
before=$(settled picture)
xdotool key KP_Add
expect_log "expanded Record 1 of meter 1" 2
expect_repaint "$before" "numeric-pad plus"
xdotool key KP_Subtract
expect_log "collapsed Record 1 of meter 1" 2

before=$(settled picture)
click "$win" 45 "$(row 2)"
expect_log "checked Record 2 of meter 1 unchecked"
expect_repaint "$before" "the click on record 2's check box"

before=$(settled picture)
xdotool key Down
expect_log "focus Record 2 of meter 1"
xdotool key space
expect_log "checked Record 2 of meter 1 checked"
expect_repaint "$before" "Down and Space"

before=$(settled picture)
xdotool key shift+Down
expect_log "selection Record 2 of meter 1, Record 3 of meter 1"
xdotool keydown ctrl
click "$win" 80 "$(row 5)"
xdotool keyup ctrl
expect_log "selection Record 2 of meter 1, Record 3 of meter 1, Meter 2 - Primary Address = 2"
expect_repaint "$before" "Shift+Down and Ctrl+click"

# Renaming meter 3 (row 6): a click focuses it, F2 opens the editor over its text, the new
# name replaces the selected old one, Enter applies it.
before=$(settled picture)
click "$win" 80 "$(row 6)"
expect_log "focus Meter 3 - Primary Address = 3"
xdotool key F2
xdotool type --delay 20 "Heat meter"
xdotool key Return
expect_log "renamed Meter 3 - Primary Address = 3 to Heat meter"
expect_repaint "$before" "renaming meter 3"

# Dragging the renamed meter onto meter 2 (row 5): pressed on its label (later than a double
# click would come after the click that focused it), moved past the drag threshold, then over
# meter 2's label and released there.
before=$(settled picture)
xdotool mousemove --window "$win" 80 "$(row 6)" sleep 0.6 mousedown 1
xdotool mousemove --window "$win" 84 "$(($(row 6) - 8))"
expect_log "drag started"
for y in $(seq "$(($(row 6) - 10))" -2 "$(row 5)"); do xdotool mousemove --window "$win" 86 "$y"; done
xdotool mouseup 1
expect_log "moved Heat meter under Meter 2 - Primary Address = 2"
expect_repaint "$before" "the drag of Heat meter onto meter 2"

echo "tree window road: OK"
