#!/usr/bin/env bash
# Takes pictures of every window of both programs on a virtual X display, as
# a user opens them with real clicks and keys, for a person to look at: the
# main window's pages, each module's dialog, the configuration, the listing
# (its Version page, report sections, the indent prompt), the batch window
# and the plot windows a batch opens, the overwrite question, the about
# windows, and the data editor's windows. A window that does not come is
# reported and the album goes on; the exit status counts such misses.
# Usage: album.sh MORVAPC MVEDIT SCREEN-PICTURE EXAMPLES-FOLDER ALBUM-FOLDER
set -euo pipefail

program=$(realpath "$1")
editor=$(realpath "$2")
picture_tool=$(realpath "$3")
examples=$(realpath "$4")
album=$(realpath -m "$5")
source "$(dirname "$0")/on-display.sh"
limit=${MORVA_WAIT_LIMIT:-10}
mkdir -p "$album"
rm -f "$album"/*.png "$album/missed.txt"
# Windows that did not come, one a line (act runs in a subshell).
miss() {
  echo "missed: $*"
  echo "$*" >>"$album/missed.txt"
}

cp "$examples"/*.qmx "$work/"
settings() { printf '[Config]\r\nDefaultDir=%s\r\nOverWrite=%s\r\n[MainWindow]\r\nPage=%s\r\n' "$work" "$1" "$2" >"$XDG_CONFIG_HOME/morva/morva.ini"; }
# The windows shown now, one number a line.
shown() { xdotool search --onlyvisible --name '.' 2>/dev/null | sort || true; }
# Sets `window` to a visible window not in the list "$1"; false while there is none.
new_window() {
  window=$(comm -13 <(echo "$1") <(shown) | head -1)
  [ -n "$window" ]
}
# snap WINDOW NAME: the picture NAME.png, after the window has painted.
snap() {
  xdotool mousemove 1020 760
  settle 0.8
  local title
  title=$(xdotool getwindowname "$1" 2>/dev/null | tr -c 'A-Za-z0-9.-' '_' | cut -c1-40) || {
    miss "$2: the window has gone"
    return 0
  }
  if "$picture_tool" "$1" "$album/$2-$title.png"; then
    echo "took $2 ($title)"
  else
    miss "a picture of $2"
  fi
}
# act "WHAT" NAME COMMAND...: runs the command (clicks, keys), again once when
# no new window has come, pictures the new window as NAME and prints its number.
act() {
  local what=$1 name=$2 before attempt
  shift 2
  before=$(shown)
  for attempt in 1 2; do
    "$@" >/dev/null 2>&1 || true
    if wait_until new_window "$before"; then
      xdotool windowmove "$window" 450 0
      snap "$window" "$name" >&2
      echo "$window"
      return 0
    fi
  done
  miss "$what" >&2
  return 1
}
# Closes a window by its Escape key, or its Return key (a prompt's OK) when
# Escape leaves it open.
dismiss() {
  local key
  for key in Escape Return; do
    xdotool windowfocus "$1" 2>/dev/null || return 0
    xdotool key --window "$1" "$key" 2>/dev/null || return 0
    settle 0.5
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1" || return 0
  done
}
main_window() { window_of '^Morvapc$'; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# A program that ended on its own is a finding too.
stop_program() {
  local pid=${started[-1]}
  kill -0 "$pid" 2>/dev/null || miss "the program ($pid) had ended before its windows were closed"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  settle
}

# ---- the analysis program: each page and each module's dialog ----
pages=(General Similarity Clustering Ordination Graphics)
buttons=(6 4 5 8 4)
for page in 0 1 2 3 4; do
  settings O "$page"
  start "$program"
  main=$(main_window)
  snap "$main" "main-$page-${pages[$page]}"
  for ((i = 0; i < buttons[page]; i++)); do
    x=$((72 + (i % 3) * 128))
    y=$((155 + (i / 3) * 42))
    if dialog=$(act "button $i of page ${pages[$page]}" "dialog-$page-$i" click "$main" $x $y); then
      dismiss "$dialog"
      xdotool windowraise "$main"
    fi
  done
  stop_program
done

# ---- configuration, about, the listing and its prompts, a batch and its plots ----
settings O 0
start "$program"
main=$(main_window)
config=$(act "the configuration dialog" config bash -c "xdotool mousemove --window $main 60 9 click 1; sleep 0.4; xdotool key Down Return") &&
  dismiss "$config"
xdotool windowraise "$main"
about=$(act "the about window" about bash -c "xdotool mousemove --window $main 112 9 click 1; sleep 0.4; xdotool key a") &&
  dismiss "$about"
xdotool windowraise "$main"
batch=$(act "the batch window" batch click "$main" 88 38) || true
if [ -n "${batch:-}" ]; then
  xdotool windowmove "$batch" 0 330
  files=$(act "the batch file dialog" batch-file-dialog click "$batch" 50 24) || true
  if [ -n "${files:-}" ]; then
    xdotool windowfocus "$files"
    cp "$examples/all.qmb" "$work/all.qmb"
    xdotool type --delay 20 all.qmb
    settle
    xdotool key Return
    settle
    [ -z "$(visible '^Open Morvapc batch file$')" ] || xdotool key Return
    settle
    snap "$batch" batch-loaded
    # Run; each graphics module waits for Next with its plot window open.
    before=$(shown)
    click "$batch" 50 100
    # Each window the run brings is pictured: a plot window waits for Next,
    # a message box for its OK. The run has ended when nothing new came for
    # ten seconds.
    plots=0
    quiet=0
    while [ "$quiet" -lt 20 ]; do
      sleep 0.5
      quiet=$((quiet + 1))
      new_window "$before" || continue
      quiet=0
      settle 1
      plots=$((plots + 1))
      xdotool windowmove "$window" 450 300
      snap "$window" "batch-run-$plots"
      # What comes next is new against the windows shown now. A message box
      # bears the program's name; a plot window waits for Next.
      before=$(shown)
      if [ "$(xdotool getwindowname "$window" 2>/dev/null)" = Morvapc ]; then
        dismiss "$window"
      else
        click "$batch" 50 100 || break
      fi
    done
    [ "$plots" -ge 4 ] || miss "some of the example batch's four plot windows"
    snap "$batch" batch-after-run
  fi
fi
xdotool windowraise "$main"
listing=$(visible '^Report listing$' | head -1)
[ -n "$listing" ] || listing=$(act "the listing" listing-after-batch click "$main" 54 38) || true
if [ -n "${listing:-}" ]; then
  prompt=$(act "the indent prompt" listing-indent bash -c "xdotool mousemove --window $listing 100 9 click 1; sleep 0.4; xdotool key Down Return") &&
    dismiss "$prompt"
fi
listing=$(visible '^Report listing$' | head -1)
if [ -n "$listing" ]; then
  xdotool windowraise "$listing"
  snap "$listing" listing-sections
fi
stop_program

# The overwrite question: a dialog's run onto an output file that exists.
settings '?' 0
cp "$work/usarrests.qmx" "$work/exists.qmx"
start "$program"
main=$(main_window)
# The listing shows first, so that the question is the one window a run brings.
listing=$(act "the listing" listing-version click "$main" 54 38) && xdotool windowmove "$listing" 0 330
xdotool windowraise "$main"
if dialog=$(act "STAND's dialog" stand click "$main" 72 197); then
  xdotool mousemove --window "$dialog" 300 51 click 1
  xdotool type --delay 20 "$work/usarrests.qmx"
  xdotool mousemove --window "$dialog" 300 119 click 1
  xdotool type --delay 20 "$work/exists.qmx"
  xdotool key Tab
  read -r _ height < <(size_of "$dialog")
  question=$(act "the overwrite question" overwrite click "$dialog" 50 $((height - 57))) && dismiss "$question"
fi
stop_program

# ---- the data editor ----
start "$editor" "$work/usarrests.qmx"
data=$(window_of 'usarrests')
snap "$data" mvedit-main
comments=$(act "the comments window" mvedit-comments click "$data" 347 71) && dismiss "$comments"
xdotool windowraise "$data"
about=$(act "the data editor's about window" mvedit-about bash -c "xdotool mousemove --window $data 148 9 click 1; sleep 0.4; xdotool key a") &&
  dismiss "$about"
stop_program
start "$editor"
data=$(window_of '.')
snap "$data" mvedit-new

missed=$(cat "$album/missed.txt" 2>/dev/null | wc -l)
echo "album in $album: $(ls "$album"/*.png | wc -l) pictures, $missed windows missed"
[ "$missed" -eq 0 ]
