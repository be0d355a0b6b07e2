#!/usr/bin/env bash
# Runs a command on a virtual X display of its own, 1024x768 in 24-bit
# colour. The X server picks a free display number itself and says which, so
# runs started together (ctest -j, or other programs' displays beside them)
# never race for one. Returns the command's exit status; the display ends
# with it. Usage: virtual-display.sh COMMAND [ARGUMENT...]
set -u

log=$(mktemp)
# The server writes its display number on its standard output once clients can connect.
coproc SERVER { exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>"$log"; }
server=$SERVER_PID
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$log"' EXIT
trap 'exit 143' TERM INT HUP

number=
read -r number <&"${SERVER[0]}"
if [ -z "$number" ]; then
  echo "the virtual display did not start:" >&2
  cat "$log" >&2
  exit 1
fi
DISPLAY=":$number" "$@"
