# Steps of the end-to-end scripts that fill a model's tables as a person does, sourced after
# lib.sh once the program runs. Windows are reached by the centre of their main-window button;
# a table window's OK is at 16,303 (its button panel starts at 297).
#
#   open_window <main> <x> <y> <title>       a button of the main window opens a window -> $win
#   press_ok <title> <file>                  OK of the table window $win; waits for it to close
#   reopen_unchanged <main> <x> <y> <title> <file>
#                                            opened again and confirmed, the file is the same
#   update_device <main> <x> <y>             Update Device, the update wizard closed -> $bank
#   nothing_after <offset> <bytes> <what>    the bytes of bank1.bin from there are all zero
#   fill_objects <row>...                    object rows of the shown page of a BACnet object
#                                            table from row 1: "type item|unit|position item|bit
#                                            item|length|swap|mnemonic"; an empty unit is taken
#                                            from the unit picker (the first "Temperature" unit),
#                                            a swap "y" ticks the Swap column (before the last)
#   check_objects <names> <entry>...         the first object entries of bank1.bin ("Position
#                                            Eng_Unit Length Flags Row_Number Bit" each), zeros
#                                            after them, and the name pool ("a|b|c|")
# The cells of the grid are reached through table_cells.sh, sourced here:
#   type_cell <col> <row> <text>  pick_cell <col> <row> <item>  tick_cell <col> <row>

. "$(dirname "${BASH_SOURCE[0]}")/table_cells.sh"

wizard='Update Firmware from Etherner \(UDP\)' # a pattern: the brackets escaped

open_window() {
  click "$1" "$2" "$3"
  win=$(find_window "$4") || fail "the window '$4' did not open; log: $(cat "$work/app.log")"
}

press_ok() {
  click "$win" 71 317
  window_gone "$win" "$1" || fail "'$1' did not close on OK: $(cat "$2" 2>/dev/null)"
}

reopen_unchanged() {
  cp "$5" "$work/before.xml"
  open_window "$1" "$2" "$3" "$4"
  press_ok "$4" "$5"
  cmp -s "$5" "$work/before.xml" || fail "'$4' opened again lost rows: $(diff "$work/before.xml" "$5")"
}

update_device() {
  click "$1" "$2" "$3"
  local wiz
  wiz=$(find_window "$wizard") || fail "the update wizard did not open; log: $(cat "$work/app.log")"
  xdotool windowactivate --sync "$wiz" key --clearmodifiers alt+F4
  window_gone "$wiz" "$wizard" || fail "the wizard did not close"
  bank="$dir/bin/bank1.bin"
  [ -s "$bank" ] || fail "no bank1.bin"
}

nothing_after() {
  [ -z "$(od -An -tx1 -v -j "$1" -N "$2" "$bank" | tr -d ' 0\n')" ] || fail "something follows $3"
}

check_objects() {
  local names="$1" i=0 got expected
  shift
  entry() { od -An -tu"$3" -j $(($1 * 16 + $2)) -N "$3" "$bank" | tr -d ' '; }
  for expected in "$@"; do
    got="$(entry $i 0 4) $(entry $i 4 2) $(entry $i 6 1) $(entry $i 7 1) $(entry $i 12 2) $(entry $i 14 1)"
    [ "$got" = "$expected" ] || fail "object entry $i is '$got', expected '$expected'"
    i=$((i + 1))
  done
  nothing_after $((i * 16)) $(((2047 - i) * 16)) "the $i object entries"
  got=$(dd if="$bank" bs=1 skip=$((2047 * 16 + 1)) count=${#names} 2>/dev/null | tr '\0' '|')
  [ "$got" = "$names" ] || fail "the name pool holds '$got', expected '$names'"
}

fill_objects() {
  local r=1 line type unit pos bit length swap mnemonic last=$((${#widths[@]} - 1))
  for line in "$@"; do
    IFS='|' read -r type unit pos bit length swap mnemonic <<<"$line"
    pick_cell 1 "$r" "$type"
    if [ -z "$unit" ]; then
      # A double click on the unit cell opens the picker.
      xdotool mousemove --window "$win" "$(cell_x 2)" "$(cell_y "$r")" click --repeat 2 --delay 80 1
      pick_first_unit_of Temperature
      window_settled "$win"
    else
      type_cell 2 "$r" "$unit"
    fi
    pick_cell 3 "$r" "$pos"
    pick_cell 4 "$r" "$bit"
    type_cell 5 "$r" "$length"
    if [ -n "$swap" ]; then tick_cell $((last - 1)) "$r"; fi
    type_cell "$last" "$r" "$mnemonic"
    r=$((r + 1))
  done
}
