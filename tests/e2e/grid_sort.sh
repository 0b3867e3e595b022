#!/usr/bin/env bash
# Sorting by the header in the 2000-row column grid, on its own virtual X display under a window
# manager: a click on the "Address" header sorts the rows by that column (A1, A10, A100 first)
# and shows the sort glyph in the header; a second click reverses the order (A999 first) and
# turns the glyph. The window writes each sort's column, direction and first cells to sort.txt;
# the header's picture is compared on the screen.
#
# Usage: grid_sort.sh <path of the built e2e_grid_window program>
set -euo pipefail

program="$1"
title='Column Grid Test'

. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup installs it)"
e2e_start "$program" screen

win=$(find_window "$title") || fail "no window titled '$title'; log: $(cat "$work/app.log")"
for _ in $(seq 100); do [ -s "$work/prog/layout.txt" ] && break; sleep 0.1; done
[ -s "$work/prog/layout.txt" ] || fail "the window wrote no layout"
xdotool windowactivate --sync "$win" 2>/dev/null || true
window_settled "$win"

cell() { awk -v k="cell_$1_$2" '$1 == k { print $2, $3, $4, $5 }' "$work/prog/layout.txt"; }
sorted() { cat "$work/prog/sort.txt" 2>/dev/null || true; }
wait_sorted() { # expected content of sort.txt
  for _ in $(seq 100); do [ "$(sorted)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}

# The header cell of the Address column on the screen, inside its border lines.
read -r hx hy hr hb <<<"$(cell 5 0)"
read -r ox oy <<<"$(client_origin "$win")"
hw=$(((hr - hx) * 2 - 4))
hh=$(((hb - hy) * 2 - 4))
header_sum() { region_sum $((ox + hx - hw / 2)) $((oy + hy - hh / 2)) "$hw" "$hh"; }
plain=$(settled header_sum)

# 1. The first click sorts ascending and the glyph appears.
click "$win" "$hx" "$hy"
wait_sorted "5 0 A1 A10 A100" || fail "the first click did not sort ascending: '$(sorted)'"
region_changes $((ox + hx - hw / 2)) $((oy + hy - hh / 2)) "$hw" "$hh" "$plain" ||
  fail "no sort glyph in the header"
up=$(settled header_sum)

# 2. A second click, as a person makes it (not a double click), reverses; the glyph turns.
xdotool mousemove --window "$win" "$hx" "$hy" sleep 0.6 click 1
wait_sorted "5 1 A999 A998 A997" || fail "the second click did not reverse the order: '$(sorted)'"
region_changes $((ox + hx - hw / 2)) $((oy + hy - hh / 2)) "$hw" "$hh" "$up" ||
  fail "the sort glyph did not turn"
down=$(settled header_sum)
[ "$down" != "$plain" ] || fail "the header lost its glyph"

# 3. The window closes and writes its cells: every row is still there, in the new order.
xdotool key --delay 60 alt+F4
e2e_expect_exit
cells="$work/prog/cells.txt"
[ -s "$cells" ] || fail "the window wrote no cells"
[ "$(wc -l <"$cells")" -eq 2001 ] || fail "rows were lost: $(wc -l <"$cells") lines"
[ "$(sed -n 2p "$cells" | cut -f6)" = A999 ] || fail "first data row: $(sed -n 2p "$cells")"
[ "$(cut -f6 "$cells" | sed 1d | sort | uniq | wc -l)" -eq 2000 ] || fail "addresses were lost or doubled"
echo "grid_sort: ok"
