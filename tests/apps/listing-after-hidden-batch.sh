#!/usr/bin/env bash
# The analysis program on a virtual X display, driven by real clicks and keys:
# the listing first shown draws its Version page as a forced repaint (a resize
# and back) draws it. Hidden again, a batch runs from the main window; the
# listing then shown draws the new section whole, with its scroll bars, as a
# forced repaint draws it, and so does the section's page after a switch to
# the Version page and back.
# Usage: listing-after-hidden-batch.sh MORVAPC SCREEN-PICTURE FIXTURES PICTURES-FOLDER
# Exits 77 (skipped) when the virtual display or xdotool is not installed.
set -euo pipefail

program=$(realpath "$1")
picture_tool=$(realpath "$2")
fixtures=$(realpath "$3")
pictures=$(realpath -m "$4")
source "$(dirname "$0")/on-display.sh"

cp "$fixtures/general/stand.qmx" "$work/stand.qmx"
printf '*STAND O=%s R=%s\r\n' "$work/stand.qmx" "$work/std.qmx" >"$work/run.qmb"
printf '[Config]\r\nDefaultDir=%s\r\n' "$work" >"$XDG_CONFIG_HOME/morva/morva.ini"

start "$program"
main=$(window_of '^Morvapc$')

# View listing: the tool bar's second button.
view_listing() {
  xdotool windowraise "$main"
  listing_shown() { found '^Report listing$' || { xdotool mousemove --window "$main" 54 40 click 1; return 1; }; }
  wait_until listing_shown || fail "the listing did not show"
  listing=$window
  xdotool mousemove 1000 700
  settle 1
}
# repainted NAME: the listing resized and back, pictured as NAME.png.
repainted() {
  local width height
  read -r width height < <(size_of "$listing")
  xdotool windowsize "$listing" $((width + 40)) "$height"
  settle
  xdotool windowsize "$listing" "$width" "$height"
  settle 1
  picture "$listing" "$pictures/$1.png"
}
# drawn_as FIRST REPAINTED WHAT: the two pictures agree, or the script fails.
drawn_as() {
  same_pictures "$pictures/$1.png" "$pictures/$2.png" ||
    fail "$3 differs from its forced repaint (pictures in $pictures)"
}

view_listing
picture "$listing" "$pictures/listing-version-first-shown.png"
repainted listing-version-repainted
drawn_as listing-version-first-shown listing-version-repainted "the Version page first shown"
# File > Exit hides the listing (again while the menu has not yet taken the key).
hidden() {
  [ -z "$(visible '^Report listing$')" ] && return 0
  xdotool mousemove --window "$listing" 18 9 click 1
  settle
  xdotool key x
  settle
  return 1
}
wait_until hidden || fail "File > Exit did not hide the listing"

# The tool bar's third button runs a batch file.
batch_shown() { found '^Batch mode' || { xdotool mousemove --window "$main" 88 40 click 1; return 1; }; }
wait_until batch_shown || fail "the batch window did not open"
batch=$window
# Windows open where the main window is; the batch window goes beside it.
xdotool windowmove "$batch" 450 0
# Load: the file dialog takes the name typed.
dialog_shown() { found 'Open Morvapc batch file' || { xdotool mousemove --window "$batch" 50 24 click 1; return 1; }; }
wait_until dialog_shown || fail "the batch file dialog did not open"
wait_until has_keyboard "$window" || fail "the file dialog did not get the keyboard"
# The dialog starts in the data folder. Return takes the name, once more when
# the first one only closed the list of matching names.
xdotool type --delay 20 run.qmb
settle
xdotool key Return
settle 1
[ -z "$(visible 'Open Morvapc batch file')" ] || xdotool key Return
wait_until found '^Batch mode: ' || fail "the batch file did not load"
xdotool mousemove --window "$batch" 50 100 click 1
wait_until test -s "$work/std.qmx" || fail "the batch did not run"
[ -z "$(visible '^Report listing$')" ] || fail "the listing showed during the batch"
settle

view_listing
picture "$listing" "$pictures/listing-first-shown.png"
repainted listing-repainted
drawn_as listing-first-shown listing-repainted "the listing first shown after a hidden batch"

# The Version tab and back to the section's tab, on the notebook's right.
read -r width height < <(size_of "$listing")
xdotool mousemove --window "$listing" $((width - 12)) 110 click 1
settle
xdotool mousemove --window "$listing" $((width - 12)) 320 click 1
xdotool mousemove 1000 700
settle 1
picture "$listing" "$pictures/listing-tab-switched.png"
repainted listing-tab-switched-repainted
drawn_as listing-tab-switched listing-tab-switched-repainted "the section after a switch of tabs"
echo "the listing draws as a forced repaint does, first shown, after a hidden batch and after a switch of tabs; pictures in $pictures"
