#!/usr/bin/env bash
# The grid's search bar on a real display under a window manager: Ctrl+F in the grid opens the
# bar with the focus in its edit; typing finds the first match (the grid's current cell moves
# there) and highlights every match on the screen; Enter goes on to the next one; a text found
# nowhere turns the edit red; Escape closes the bar, takes the highlights away and gives the
# focus back to the grid; Ctrl+F opens it again.
#
# Usage: grid_search.sh <path of the built e2e_grid_search_window program>
set -euo pipefail

program="$1"
. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup installs it)"
e2e_start "$program" screen

win=$(find_window "Grid Search Test.*") || fail "no search window; log: $(cat "$work/app.log")"
for _ in $(seq 100); do [ -s "$work/prog/layout.txt" ] && break; sleep 0.1; done
[ -s "$work/prog/layout.txt" ] || fail "the window wrote no layout"
xdotool windowactivate --sync "$win" 2>/dev/null || true
window_settled "$win"

title_now() { xdotool getwindowname "$win"; }
# Waits up to 10 s until the title holds every fragment given.
state_is() {
  local t part ok
  for _ in $(seq 100); do
    t=$(title_now)
    ok=1
    for part in "$@"; do [[ "$t" == *"$part"* ]] || { ok=0; break; }; done
    [ "$ok" = 1 ] && return 0
    sleep 0.1
  done
  return 1
}
cell() { awk -v k="cell_$1_$2" '$1 == k { print $2, $3, $4, $5, $6, $7 }' "$work/prog/layout.txt"; }
key() { xdotool key --delay 60 "$@"; }
read -r ox oy <<<"$(client_origin "$win")"
# The fingerprint of a cell's inside on the screen.
cell_sum() {
  local x y left top w h
  read -r x y left top w h <<<"$(cell "$1" "$2")"
  settled_region_sum $((ox + left)) $((oy + top)) "$w" "$h"
}

# 1. The grid takes the focus by a click; the bar is closed.
read -r x y _ <<<"$(cell 2 2)"
click "$win" "$x" "$y"
state_is "bar hidden" "focus grid" "cell 2,2" || fail "the grid did not take the click: $(title_now)"
remark_before=$(cell_sum 3 9)

# 2. Ctrl+F opens the bar with the focus in its edit.
key ctrl+f
state_is "bar shown" "focus edit" || fail "Ctrl+F did not open the search bar: $(title_now)"

# 3. Typing finds the first match (column by column: column 1, row 5) and lights all four.
xdotool type --delay 80 "valve"
state_is "cell 1,5" "lit 4" "edit white" || fail "typing did not find and highlight: $(title_now)"
# The highlight shows on the screen in a cell that is not the current one.
region_changes $((ox + $(cell 3 9 | awk '{ print $3 }'))) $((oy + $(cell 3 9 | awk '{ print $4 }'))) \
  "$(cell 3 9 | awk '{ print $5 }')" "$(cell 3 9 | awk '{ print $6 }')" "$remark_before" ||
  fail "the highlighted remark looks as before"

# 4. Enter goes on to the next match.
key Return
state_is "cell 1,14" "focus edit" || fail "Enter did not find the next match: $(title_now)"

# 5. A text found nowhere turns the edit red; Backspace makes it white again.
xdotool type --delay 80 "z"
state_is "edit red" "lit 0" || fail "a text found nowhere did not turn the edit red: $(title_now)"
key BackSpace
state_is "edit white" "lit 4" || fail "Backspace did not find the text again: $(title_now)"

# 6. Escape closes the bar, takes the highlights away and gives the grid the focus.
key Escape
state_is "bar hidden" "focus grid" "lit 0" || fail "Escape did not close the search bar: $(title_now)"
[ "$(cell_sum 3 9)" = "$remark_before" ] || fail "the remark still looks highlighted"

# 7. Ctrl+F opens it again, with the last text in the edit.
key ctrl+f
state_is "bar shown" "focus edit" || fail "Ctrl+F did not open the bar again: $(title_now)"
key Escape
state_is "bar hidden" "focus grid" || fail "Escape did not close the bar again: $(title_now)"

key alt+F4
e2e_expect_exit
echo "grid search: Ctrl+F opens the bar, typing finds and highlights, Escape closes it"
