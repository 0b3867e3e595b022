#!/usr/bin/env bash
# The grid's auxiliary windows on a real display under a window manager: the HTML hint of a
# cell at the right edge of the screen shows formatted (its bold word makes it wider than the
# plain text) and stays inside the screen; the thin Metro scroll indicator pages by a click
# below its thumb and scrolls by dragging the thumb; a column dragged by its header shows the
# floating header on the way and lands where it is dropped with its width and its data.
#
# Usage: grid_looks.sh <path of the built e2e_grid_looks_window program>
set -euo pipefail

program="$1"
. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup installs it)"
e2e_start "$program"

win=$(find_window "Grid Looks Test - top 1") || fail "no grid window; log: $(cat "$work/app.log")"
file_has_line "$work/prog/layout.txt" '^scrollbars ' || fail "the window wrote no layout"
at() { awk -v k="$1" '$1 == k { $1 = ""; print substr($0, 2) }' "$work/prog/layout.txt"; }
title_now() { xdotool getwindowname "$win"; }
top_now() { title_now | sed -n 's/.* - top \([0-9]*\)$/\1/p'; }
read -r screen_w screen_h <<<"$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')"

# 1. The hint: the mouse rests on the cell until the hint window shows.
read -r x y <<<"$(at hint_cell)"
# The pointer enters the window on the first move; the grid starts its hint on a move inside
# the cell: the pointer is nudged by a pixel every second until the hint shows (8 s at most).
xdotool mousemove --window "$win" "$x" "$y"
for i in $(seq 80); do
  [ -s "$work/prog/hint.txt" ] && break
  [ $((i % 10)) = 1 ] && xdotool mousemove --window "$win" $((x + 2 - i / 10 % 2)) $((y + 1))
  sleep 0.1
done
[ -s "$work/prog/hint.txt" ] || fail "no hint showed"
read -r hx hy hw hh sw sh html_width plain_width <"$work/prog/hint.txt"
[ "$html_width" -gt "$plain_width" ] || fail "the hint was not drawn as HTML ($html_width <= $plain_width)"
[ $((hx + hw)) -le $((sw - 2)) ] || fail "the hint passes the right edge: $hx + $hw > $sw - 2"
[ $((hy + hh)) -le $((sh - 2)) ] && [ "$hx" -ge 0 ] && [ "$hy" -ge 0 ] || fail "the hint is off the screen: $hx,$hy ${hw}x$hh"
# The window manager's view of it agrees: a window of that name inside the screen.
hid=$(xdotool search --onlyvisible --name "^Grid hint\$" | head -n1) || fail "X shows no hint window"
read -r gx gy <<<"$(xdotool getwindowgeometry "$hid" | awk '/Position:/ { split($2, p, ","); print p[1], p[2] }')"
[ $((gx + hw)) -le "$screen_w" ] && [ $((gy + hh)) -le "$screen_h" ] || fail "X places the hint at $gx,$gy"
xdotool mousemove --window "$win" 5 5

# 2. The Metro indicator: a click below the thumb pages one screen, a drag of the thumb scrolls.
[ "$(at scrollbars)" = 0 ] || fail "the scroll bars show beside the Metro indicators"
read -r bx btop blen tpos tsize <<<"$(at vbar)"
visible=$(at visible_rows)
[ "$(top_now)" = 1 ] || fail "the grid does not start at the top: $(title_now)"
click "$win" "$bx" $((btop + tpos + tsize + 20))
for _ in $(seq 50); do [ "$(top_now)" = $((1 + visible)) ] && break; sleep 0.1; done
[ "$(top_now)" = $((1 + visible)) ] || fail "a click below the thumb did not page: $(title_now), $visible rows"
paged=$(top_now)
# The thumb is now further down; grab it in its middle and drag it 40 pixels.
read -r tpos tsize <"$work/prog/thumb.txt"
thumb=$((btop + tpos + tsize / 2))
for _ in 1 2 3; do
  xdotool mousemove --window "$win" "$bx" "$thumb" mousedown 1
  for d in 10 20 30 40; do xdotool mousemove --window "$win" "$bx" $((thumb + d)); done
  xdotool mouseup 1
  for _ in $(seq 20); do [ "$(top_now)" -gt "$paged" ] && break 2; sleep 0.1; done
  thumb=$((thumb + 4))
done
[ "$(top_now)" -gt "$paged" ] || fail "dragging the thumb did not scroll: $(title_now)"

# 3. Column 2 dragged by its header onto column 5.
read -r fx fy <<<"$(at header_2)"
read -r tx ty <<<"$(at header_5)"
xdotool mousemove --window "$win" "$fx" "$fy" mousedown 1
for step in 1 2 3 4 5 6 7 8; do
  xdotool mousemove --window "$win" $((fx + (tx - fx) * step / 8)) "$fy"
done
floating=""
for _ in $(seq 50); do
  floating=$(xdotool search --onlyvisible --name "^Grid column\$" 2>/dev/null | head -n1 || true)
  [ -n "$floating" ] && break
  sleep 0.1
done
[ -n "$floating" ] || fail "no floating header while dragging"
xdotool mouseup 1
window_gone "$floating" 'Grid column' || fail "the floating header stayed after the drop"

key() { xdotool key --delay 60 "$@"; }
key alt+F4
e2e_expect_exit
cells="$work/prog/cells.txt"
[ -s "$cells" ] || fail "the window wrote no cells"
field() { awk -F'\t' -v r="$(($1 + 1))" -v c="$(($2 + 1))" 'NR == r { print $c }' "$cells"; }
[ "$(field 0 5)" = "Col2" ] || fail "header 5 is '$(field 0 5)', expected Col2"
[ "$(field 1 5)" = "c2r1" ] || fail "cell (5, 1) is '$(field 1 5)', expected c2r1"
[ "$(field 3 5)" = "c2r3" ] || fail "cell (5, 3) is '$(field 3 5)', expected c2r3"
[ "$(field 0 2)" = "Col3" ] || fail "header 2 is '$(field 0 2)', expected Col3"
[ "$(field 4 5)" = 95 ] || fail "column 5 is $(field 4 5) pixels wide, expected the dragged column's 95"
[ "$(field 4 2)" = 55 ] || fail "column 2 is $(field 4 2) pixels wide, expected 55"
echo "grid looks: hint, Metro indicator and column move as expected"
