#!/usr/bin/env bash
# The test launcher starts the program of the device type it is given: the main window of a
# KNX gateway (16) and of an M-Bus master (1002) opens with that model's caption, and the
# program ends cleanly through "Close Configurator".
#
# Usage: launcher.sh <path of the built varnetor_type launcher>
set -euo pipefail

launcher="$1"
. "$(dirname "$0")/lib.sh"

run_type() { # device type, main window caption
  e2e_start "$launcher" "$1"
  local main
  main=$(find_window "$2") || fail "type $1: no main window titled '$2'; program log: $(cat "$work/app.log")"
  # Close Configurator (Btn_Close at 632,8, 50 x 50, on every model) ends the program.
  click "$main" 657 33
  e2e_expect_exit
  [ -f "$work/prog/Varnetor.xml" ] || fail "type $1: Varnetor.xml not written at close"
  e2e_cleanup
  trap - EXIT
  work=""; xvfb_pid=""; wm_pid=""; app_pid=""
}

run_type 16 'OstrelCorp - Varnetor GS30132 - BACnet / KNX '
run_type 1002 'OstrelCorp - Varnetor GX30130 PROFINET / M-Bus Master '
echo "launcher: ok"
