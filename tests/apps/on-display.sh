# Shared by the scripts that drive the programs on a virtual X display with
# real key presses and clicks (source it; it runs the calling script again
# inside a display of its own). Before sourcing, set `tools` to the programs
# the script needs besides the display's; a missing one skips the script
# (exit 77). After it: `work` is an empty folder holding the settings
# (XDG_CONFIG_HOME), removed at exit with every program started by `start`.

for tool in Xvfb xdotool ${tools:-}; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/setup installs it)"
    exit 77
  fi
done

if [ -z "${MORVA_ON_VIRTUAL_DISPLAY:-}" ]; then
  export MORVA_ON_VIRTUAL_DISPLAY=1
  exec "$(dirname "$0")/virtual-display.sh" "$0" "$@"
fi

work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME/morva" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

started=()
stop_all() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -z "${MORVA_KEEP_OUT:-}" ] || cp "$work"/*.out "$MORVA_KEEP_OUT/" 2>/dev/null || true
  rm -rf "$work"
}
trap stop_all EXIT

# Starts a program in the background, its output in $work/NAME.out.
start() {
  local name
  name=$(basename "$1")
  "$@" >"$work/$name.out" 2>&1 &
  started+=("$!")
}

fail() {
  echo "FAILED: $*"
  exit 1
}

# Waits until the condition holds, checking every tenth of a second, for two
# minutes at most: a limit only a broken program reaches, however slow a
# loaded machine or the sanitizers make it.
limit=${MORVA_WAIT_LIMIT:-120}
wait_until() {
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# The visible windows whose name matches the pattern (an extended regular expression).
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
# Sets `window` to the first visible window of that name; false while there is none.
found() { window=$(visible "$1" | head -1) && [ -n "$window" ]; }
# Waits for a window of that name and prints its number.
window_of() {
  local window=
  wait_until found "$1" || fail "no window named $1 showed"
  echo "$window"
}
has_keyboard() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# The window's size as "WIDTH HEIGHT".
size_of() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: \([0-9]*\)x\([0-9]*\)$/\1 \2/p'; }
# Lets the programs take in what came and paint it.
settle() { sleep "${1:-0.5}"; }

# Pictures, with the screen-picture program the script was given in `picture_tool`.
# picture WINDOW FILE: what the display shows of the window, mouse pointer not included.
picture() {
  mkdir -p "$(dirname "$2")"
  "$picture_tool" "$1" "$2" || fail "no picture of window $1"
}
# same_pictures A B: true when the two pictures show the same (a caret's
# blink aside); prints how far they differ otherwise.
same_pictures() { "$picture_tool" --compare "$1" "$2"; }
