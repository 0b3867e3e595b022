#!/usr/bin/env bash
# The grid of the Modbus TCP master's access table as a person at a desktop uses it: the type-3
# program started in an empty folder, a project made with New, "Set Modbus Access" opened.
#   - Typing at once fills row 1 (the table opens with the focus there), Right leaving each cell
#     at the end of the typed text ("192.168.1.10", Right, "502" fills two cells), letters
#     choosing the items of the list cells.
#   - Escape in a fresh list cell (Bit) leaves it empty: OK writes no value for it.
#   - PgDn down to row 500 and Ctrl+End leave the header row where it was on the screen.
#   - A drag on the header border of a column widens it; a double click on the border fits it.
#
# Usage: table_grid.sh <path of the built varnetor program>
set -euo pipefail

program="$1"
title='OstrelCorp - Varnetor GS30115 - BACnet / Modbus TCP m '
project='Grid E2E'
table='Set Access'

. "$(dirname "$0")/lib.sh"
e2e_start "$program" screen

main=$(find_window "$title") || fail "no main window titled '$title'; program log: $(cat "$work/app.log")"
new_project_folder "$main" "$project"

# Set Modbus Access (Btn_ModTCPM_SetAccess at 80,200, 170 x 36).
click "$main" 165 218
win=$(find_window "$table") || fail "the access table did not open; log: $(cat "$work/app.log")"
# Where the window's client area lies on the screen, as the clicks into it see it; then the
# pointer rests on the title panel, away from the grid's hover.
read -r win_x win_y <<<"$(client_origin "$win")"
xdotool mousemove --window "$win" 600 30

# The read grid, in the window: its header row begins at 94 and is 22 high; column 0 (40 wide)
# begins at 2 (the grid's frame), then the columns of the read page.
grid_left=2
grid_top=94
widths=(40 105 45 60 100 55 45 60 64 60 60 75 64 75 52 58 109)
cell_right() { # column -> right edge x, in the window
  local x=$grid_left c
  for ((c = 0; c <= $1; c++)); do x=$((x + widths[c])); done
  echo "$x"
}
# The header row and the first rows below it as shown on the screen. Each key or text is sent
# once the grid shows what the one before it did (its picture changed and settled): a list
# cell's editor, for one, takes a typed letter after it has opened.
header() { region_sum "$win_x" $((win_y + grid_top)) 700 22; }
grid_rows() { rows_region_sum $((win_y + grid_top)) 66; }
shown() { # what was sent -> waits for the grid to show it
  changed_settled "$1" grid_rows >/dev/null || fail "the grid showed nothing of: $2"
}
key() { local before; before=$(grid_rows); xdotool key --delay 80 "$@"; shown "$before" "$*"; }
typed() { local before; before=$(grid_rows); xdotool type --delay 60 "$1"; shown "$before" "$1"; }
header_at_open=$(settled header)

# 1. Row 1 by keys from the cell the table opens on: IP, Right, port, Right, slave, Right, type
#    (the list's "Holding Register" by its letter), Right, address, Right, points, Right, poll
#    time, Right, errors, Right, position (item "7", chosen by its digit typed on the closed
#    cell), Right; on Bit a letter that starts no item opens its list without a value, and
#    Escape closes it.
typed "192.168.1.10"
key Right
typed "502"
key Right
typed "1"
key Right
typed "h"
key Right
typed "100"
key Right
typed "2"
key Right
typed "1000"
key Right
typed "3"
key Right
typed "7"
key Right
typed "x"
key Escape

# 1b. Row 2's Type cell made current; the first click on its right end, where the drop button
#     shows, opens the list; Escape in the list closes the list and the editor together (the
#     row looks as before) and leaves the table open.
row2() { region_sum "$win_x" $((win_y + grid_top + 22 + 22)) 700 22; }
click "$win" $(($(cell_right 4) - 50)) $((grid_top + 22 + 22 + 11))
xdotool mousemove --window "$win" 600 30
closed=$(settled row2)
windows=$(app_window_count)
click "$win" $(($(cell_right 4) - 8)) $((grid_top + 22 + 22 + 11))
app_window_count_is $((windows + 1)) || fail "the first click on the drop button of a current list cell opened no list"
xdotool mousemove --window "$win" 600 30
xdotool key Escape
app_window_count_is "$windows" || fail "Escape did not close the list"
[ "$(settled row2)" = "$closed" ] || fail "Escape in the list left its editor open"
window_shown "$table" || fail "Escape in the list closed the table"

# 2. Down the table and to its end: the header row stays where it is.
key ctrl+Home
key --delay 40 --repeat 70 Next
[ "$(header)" = "$header_at_open" ] || fail "the header row moved after PgDn"
key ctrl+End
[ "$(header)" = "$header_at_open" ] || fail "the header row moved after Ctrl+End"
key ctrl+Home
[ "$(header)" = "$header_at_open" ] || fail "the header row moved after Ctrl+Home"

# 3. The border after the IP column, dragged 40 pixels right, then double-clicked. Vertical
#    lines are told from the header's face by their top pixels: a strip at a known border of the
#    header against one in the middle of a header cell finds the line's pixel.
strip() { region_sum $((win_x + $1)) $((win_y + grid_top + 1)) 1 4; }
face=$(strip $(($(cell_right 3) - 20)))
line_at=""
for d in -1 0 1 -2; do
  s=$(strip $(($(cell_right 3) + d)))
  if [ "$s" != "$face" ] && [ "$s" = "$(strip $(($(cell_right 4) + d)))" ]; then
    line_at=$d
    break
  fi
done
[ -n "$line_at" ] || fail "no column border found in the header"
line=$(strip $(($(cell_right 3) + line_at)))
border=$(cell_right 1)
[ "$(strip $((border + line_at)))" = "$line" ] || fail "the IP column does not end where it should"
# The line drawn at x: waits up to 10 s for it to be there (yes) or gone (no).
line_is() { # yes|no x
  for _ in $(seq 100); do
    if [ "$(strip "$2")" = "$line" ]; then [ "$1" = yes ] && return 0; else [ "$1" = no ] && return 0; fi
    sleep 0.1
  done
  return 1
}
xdotool mousemove --window "$win" "$border" $((grid_top + 11)) mousedown 1
for step in 10 20 30 40; do
  xdotool mousemove --window "$win" $((border + step)) $((grid_top + 11))
done
xdotool mouseup 1
line_is yes $((border + 40 + line_at)) || fail "the drag did not widen the IP column by 40"
[ "$(strip $((border + line_at)))" != "$line" ] || fail "the old border of the IP column is still drawn"
xdotool mousemove --window "$win" $((border + 40)) $((grid_top + 11)) click --repeat 2 --delay 80 1
line_is no $((border + 40 + line_at)) || fail "the double click did not fit the IP column"
settled header >/dev/null
fitted=""
for ((x = $(cell_right 0) + 20; x < border + 40; x++)); do
  if [ "$(strip $((x + line_at)))" = "$line" ]; then fitted=$x; break; fi
done
[ -n "$fitted" ] || fail "no border of the fitted IP column found"

# 4. OK (Btn_OK at 16,303 in the window: the button panel starts at 297).
xdotool mousemove --window "$win" 600 30
click "$win" 71 317
window_gone "$win" "$table" || fail "the table did not close on OK: $(cat "$dir/ModbusTCPM_SetAccess.xml" 2>/dev/null)"
file="$dir/ModbusTCPM_SetAccess.xml"
[ -s "$file" ] || fail "no ModbusTCPM_SetAccess.xml was written"
[ "$(grep -c '<row ' "$file")" = 1 ] || fail "the file does not hold one row: $(cat "$file")"
grep -q 'IP_Address="192.168.1.10" Port="502" Slave_ID="1" Type="Holding Register" Address="100" NPoint="2" PollTime="1000" MaxError="3" Position="7" Bit=""' "$file" ||
  fail "row 1 is not as typed: $(cat "$file")"

click "$main" 657 33
e2e_expect_exit
echo "Table grid: OK"
