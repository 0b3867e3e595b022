# Cells of a table window's grid as a person reaches them, sourced by the end-to-end scripts
# that fill tables. Set before use: $win (the window), grid_left and grid_top (where column 0
# and the header row begin in the window), widths (the grid's column widths, column 0 first).
# Header and data rows are 22 high; a pick list's items are 13 high.
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
cell_y() { echo $((grid_top + 22 + ($1 - 1) * 22 + 11)); } # row -> centre y

type_cell() { # column row text
  click "$win" "$(cell_x "$1")" "$(cell_y "$2")"
  xdotool type --delay 40 "$3"
  sleep 0.2
}
# A list cell: made current, its list editor opened by a second click, the list dropped down by
# its button, and the n-th item (1 = first) clicked.
pick_cell() { # column row item
  local x y
  x=$(cell_x "$1")
  y=$(cell_y "$2")
  click "$win" "$x" "$y"
  sleep 0.6
  click "$win" "$x" "$y"
  click "$win" $(($(cell_right "$1") - 8)) "$y"
  sleep 0.3
  click "$win" "$x" $((y + 11 + item_height * ($3 - 1) + item_height / 2 + 1))
  sleep 0.3
}
# A check box cell: one click on its box, in the middle of the cell.
tick_cell() { # column row
  click "$win" "$(cell_x "$1")" "$(cell_y "$2")"
  sleep 0.2
}
