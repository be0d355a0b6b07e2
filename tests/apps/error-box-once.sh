#!/usr/bin/env bash
# The analysis program on a virtual X display, driven by real key presses and
# clicks: an out-of-range value typed into SAHN's dialog and Tab bring up one
# error box; Enter closes it, no other box follows, and the dialog has the
# keyboard again. Usage: error-box-once.sh PATH-TO-MORVAPC
# Exits 77 (skipped) when the virtual display or xdotool is not installed.
set -euo pipefail

program=$(realpath "$1")
source "$(dirname "$0")/on-display.sh"
# The main window opens on its Clustering page, where SAHN's button is.
printf '[MainWindow]\r\nPage=2\r\n' >"$XDG_CONFIG_HOME/morva/morva.ini"

start "$program"

# The error boxes: windows titled with the program's name besides the main window.
boxes() { visible '^Morvapc$' | grep -vx "$main" | wc -l; }
no_box() { [ "$(boxes)" -eq 0 ]; }
a_box() { [ "$(boxes)" -ge 1 ]; }
main_shown() { main=$(visible '^Morvapc$' | head -1) && [ -n "$main" ]; }
# Clicks SAHN's button until its dialog shows.
dialog_opened() {
  dialog=$(visible '^SAHN$' | head -1)
  [ -n "$dialog" ] && return 0
  xdotool mousemove --window "$main" 200 202 click 1
  return 1
}

wait_until main_shown || fail "the main window did not show"
wait_until dialog_opened || fail "SAHN's dialog did not open"
wait_until has_keyboard "$dialog" || fail "SAHN's dialog did not get the keyboard"
# "Maximum no. tied trees", the fifth row's argument: 0 is below its range.
# A click the loaded program has not yet taken in can miss the cell, and then
# nothing is refused: while no box has come, the value is entered again.
enter_zero() {
  xdotool mousemove --window "$dialog" 292 178 click 1
  xdotool type 0
  xdotool key Tab
}
# Waits five seconds for the box; enters the value again if none came.
box_came() {
  local tries=50
  until a_box; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || { enter_zero; return 1; }
    sleep 0.1
  done
}
enter_zero
attempts=$((limit / 5))
until box_came; do
  attempts=$((attempts - 1))
  [ "$attempts" -gt 0 ] || fail "no error box came"
done
[ "$(boxes)" -eq 1 ] || fail "$(boxes) error boxes came at once"
xdotool key Return
wait_until no_box || fail "the error box came back after Enter"
wait_until has_keyboard "$dialog" || fail "the dialog did not get the keyboard back"
no_box || fail "an error box came back"
echo "one error box came and went"
