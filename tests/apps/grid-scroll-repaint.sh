#!/usr/bin/env bash
# The analysis program on a virtual X display, driven by real clicks and keys:
# in STAND's dialog, made lower so that its last row is partly hidden, a click
# on that row scrolls the grid; Esc, a click on the second row and Up scroll
# it back. The grid then shows what a forced repaint (a resize and back) draws,
# every row the grid holds, and a click on the row shown as "Output file"
# enters the name typed into the output file: the run writes that file.
# Usage: grid-scroll-repaint.sh MORVAPC SCREEN-PICTURE FIXTURES PICTURES-FOLDER
# Exits 77 (skipped) when the virtual display or xdotool is not installed.
set -euo pipefail

program=$(realpath "$1")
picture_tool=$(realpath "$2")
fixtures=$(realpath "$3")
pictures=$(realpath -m "$4")
source "$(dirname "$0")/on-display.sh"

cp "$fixtures/general/stand.qmx" "$work/stand.qmx"
# The main window opens on its General page, where STAND's button is.
printf '[Config]\r\nDefaultDir=%s\r\n[MainWindow]\r\nPage=0\r\n' "$work" >"$XDG_CONFIG_HOME/morva/morva.ini"

start "$program"
main=$(window_of '^Morvapc$')
dialog_shown() { found '^STAND$' || { xdotool mousemove --window "$main" 72 197 click 1; return 1; }; }
wait_until dialog_shown || fail "STAND's dialog did not open"
dialog=$window
xdotool windowmove "$dialog" 440 0
wait_until has_keyboard "$dialog" || fail "STAND's dialog did not get the keyboard"

# Rows of 34 pixels below a heading of 34: row r (1 = "Input file") of a grid
# whose first scrolled row is `top` has its middle at 34 + (r - top) * 34 + 17.
row_y() { echo $((34 + ($1 - $2) * 34 + 17)); }
argument=300

# Lower by 20 pixels, the sixth row ("Constant") is cut by the panel.
read -r width height < <(size_of "$dialog")
xdotool windowsize "$dialog" "$width" $((height - 20))
settle
xdotool mousemove --window "$dialog" $argument $(($(row_y 6 1) - 8)) click 1
settle
xdotool key Escape
settle
# The grid scrolled by one row: the second row ("Stand by rows?") is at the top.
xdotool mousemove --window "$dialog" $((argument + 60)) "$(row_y 2 2)" click 1
settle
xdotool key Up
xdotool mousemove 1000 700
settle 1
picture "$dialog" "$pictures/stand-after-scrolling.png"

# A forced repaint: one pixel wider (the dialog keeps its width).
xdotool windowsize "$dialog" $((width + 1)) $((height - 20))
settle 1
picture "$dialog" "$pictures/stand-repainted.png"
same_pictures "$pictures/stand-after-scrolling.png" "$pictures/stand-repainted.png" ||
  fail "the grid after scrolling differs from its forced repaint (pictures in $pictures)"

# Back at the top: the third row is "Output file"; the first takes the input.
xdotool mousemove --window "$dialog" $argument "$(row_y 3 1)" click 1
settle
xdotool type --delay 20 "$work/out.qmx"
xdotool mousemove --window "$dialog" $argument "$(row_y 1 1)" click 1
settle
xdotool type --delay 20 "$work/stand.qmx"
xdotool key Tab
settle
# Compute, at the panel's left.
read -r width height < <(size_of "$dialog")
xdotool mousemove --window "$dialog" 50 $((height - 80 + 23)) click 1
wait_until test -s "$work/out.qmx" || fail "the name typed on the row shown as Output file did not name the output"
echo "the grid shows the rows it holds after scrolling, and a click lands on the row shown; pictures in $pictures"
