# The cells of a table window's grid for the end-to-end runs, sourced after lib.sh. The caller
# sets, in the window's client coordinates:
#   win          the window id
#   grid_left    x where column 0 begins (inside the grid's frame)
#   grid_top     y where the header row begins
#   header_height, row_height  (22 each when not set)
#   widths       the columns' widths, column 0 first
# A pick list's items are 13 high.

item_height=13

cell_x() { # column -> centre x
  local x=$grid_left c
  for ((c = 0; c < $1; c++)); do x=$((x + widths[c])); done
  echo $((x + widths[$1] / 2))
}
cell_right() { # column -> right edge x
  local x=$grid_left c
  for ((c = 0; c <= $1; c++)); do x=$((x + widths[c])); done
  echo "$x"
}
cell_y() { # row -> centre y
  local hh=${header_height:-22} rh=${row_height:-22}
  echo $((grid_top + hh + ($1 - 1) * rh + rh / 2))
}

# A cell made current by a click, then its text typed (the first key opens the editor).
type_cell() { # column row text
  click "$win" "$(cell_x "$1")" "$(cell_y "$2")"
  xdotool type --delay 40 "$3"
}
# A list cell: made current, its list editor opened by a second click (two clicks, not a double
# click), the list dropped down by its button, and the n-th item (1 = first) clicked; the list
# closes with it.
pick_cell() { # column row item
  local x y n
  x=$(cell_x "$1")
  y=$(cell_y "$2")
  n=$(app_window_count)
  click_twice "$win" "$x" "$y"
  # A cell that was current already (a table opens on its first cell, with the grid focused)
  # opened its list editor on the first click and dropped the list down on the second.
  if [ "$(app_window_count)" != $((n + 1)) ]; then
    click "$win" $(($(cell_right "$1") - 8)) "$y"
  fi
  app_window_count_is $((n + 1)) || fail "the list of column $1, row $2 did not drop down"
  click "$win" "$x" $((y + ${row_height:-22} / 2 + item_height * ($3 - 1) + item_height / 2 + 1))
  app_window_count_is "$n" || fail "the list of column $1, row $2 did not close"
}
# A check box cell: one click on its box, in the middle of the cell.
tick_cell() { # column row
  click "$win" "$(cell_x "$1")" "$(cell_y "$2")"
}
