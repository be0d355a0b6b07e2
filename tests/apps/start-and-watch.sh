#!/usr/bin/env bash
# Runs scripts/start on the current (virtual) display and, once the program's
# main window shows (the splash has gone before it does), writes the file
# MARKER. Ends when the program ends; exits 1 at once when it ends before its
# main window showed. Usage: start-and-watch.sh SOURCE-TREE MARKER
set -u

"$1/scripts/start" &
started=$!

main_shown() {
  local window
  for window in $(xdotool search --onlyvisible --name '^Morvapc$' 2>/dev/null); do
    # The name is matched without regard to case: the main window's is "Morvapc" exactly.
    [ "$(xdotool getwindowname "$window" 2>/dev/null)" = Morvapc ] && return 0
  done
  return 1
}

until main_shown; do
  kill -0 "$started" 2>/dev/null || exit 1
  sleep 0.2
done
: >"$2"
wait "$started"
