#!/usr/bin/env bash
# Runs the lazy tree's test window as a new user would, on its own virtual X display under a
# window manager: 3 meters with 4 records of 12 lines each, check boxes on meters and records
# (plain boxes, as the scan window has them: a record's box does not change its meter's).
# A meter is expanded with its button, a record by a double click and the numeric-pad keys,
# a record is checked by a click on its box and by Space, and nodes are selected with the
# arrows, Shift and Ctrl. After every step the window's log names the change and the picture
# of the tree has changed.
#
# Usage: tree_window.sh <path of the built tree_window_demo>
set -euo pipefail

program="$1"

. "$(dirname "$0")/lib.sh"
e2e_start "$program" screen

# A fingerprint of the screen rows y .. y + height - 1, read from the screen file in one piece
# (the tree is the only thing on these rows that changes).
u32() { od -An -t u4 --endian=big -j "$2" -N 4 "$1" | tr -d ' '; }
rows_sum() {
  local header bpl ncolors start
  header=$(u32 "$screen" 0)
  bpl=$(u32 "$screen" 48)
  ncolors=$(u32 "$screen" 76)
  start=$((header + ncolors * 12))
  dd if="$screen" bs=65536 iflag=skip_bytes,count_bytes skip=$((start + $1 * bpl)) count=$(($2 * bpl)) status=none |
    md5sum | cut -d' ' -f1
}

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
picture() { rows_sum "$tree_y" 420; }
# The picture once the tree has finished painting (the same over two looks, up to 10 s).
settled_picture() {
  local last="" now=""
  for _ in $(seq 100); do
    now=$(picture)
    [ "$now" = "$last" ] && break
    last="$now"
    sleep 0.1
  done
  echo "$now"
}
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

before=$(settled_picture)
click "$win" 9 "$(row 0)"
expect_log "expanded Meter 1 - Primary Address = 1"
expect_repaint "$before" "the button of meter 1"

before=$(settled_picture)
xdotool mousemove --window "$win" 100 "$(row 1)" click --repeat 2 --delay 80 1
expect_log "focus Record 1 of meter 1"
expect_log "expanded Record 1 of meter 1"
expect_repaint "$before" "the double click on record 1"

before=$(settled_picture)
xdotool key KP_Subtract
expect_log "collapsed Record 1 of meter 1"
expect_repaint "$before" "numeric-pad minus"
before=$(settled_picture)
xdotool key KP_Add
expect_log "expanded Record 1 of meter 1" 2
expect_repaint "$before" "numeric-pad plus"
xdotool key KP_Subtract
expect_log "collapsed Record 1 of meter 1" 2

before=$(settled_picture)
click "$win" 45 "$(row 2)"
expect_log "checked Record 2 of meter 1 unchecked"
expect_repaint "$before" "the click on record 2's check box"

before=$(settled_picture)
xdotool key Down
expect_log "focus Record 2 of meter 1"
xdotool key space
expect_log "checked Record 2 of meter 1 checked"
expect_repaint "$before" "Down and Space"

before=$(settled_picture)
xdotool key shift+Down
expect_log "selection Record 2 of meter 1, Record 3 of meter 1"
xdotool keydown ctrl
click "$win" 80 "$(row 5)"
xdotool keyup ctrl
expect_log "selection Record 2 of meter 1, Record 3 of meter 1, Meter 2 - Primary Address = 2"
expect_repaint "$before" "Shift+Down and Ctrl+click"

echo "tree window road: OK"
