#!/usr/bin/env bash
# Both programs on a virtual X display, driven by real key presses and clicks:
#  - F1 opens the help page at the help context of the window that has the
#    keyboard (the desktop's opener is one of the test's own, which notes the
#    page it was asked to open);
#  - in the data editor, chords with Alt or Ctrl type nothing into a label
#    while the menus still open by Alt+letter, and a typed "ł" reaches the
#    saved label whole;
#  - a "1.5" pasted into the listing's Indent prompt is refused, not taken as 15.
# Usage: keys-and-help.sh PATH-TO-MORVAPC PATH-TO-MVEDIT
# Exits 77 (skipped) when the virtual display or xdotool is not installed.
set -euo pipefail

morvapc=$(realpath "$1")
mvedit=$(realpath "$2")
source "$(dirname "$0")/on-display.sh"
mkdir -p "$work/bin"
# The desktop's opener: notes each page it is asked to open, one a line.
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened"
EOF
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
touch "$work/opened"

visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
shown() { local id; id=$(visible "$2") && [ -n "$id" ] && printf -v "$1" '%s' "$id"; }
gone() { [ -z "$(visible "$1")" ]; }
opened() { grep -q "#context-$1\$" "$work/opened"; }
# The windows a program shows: its menus while they are open among them.
windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }
more_windows() { [ "$(windows_of "$1")" -gt "$2" ]; }
no_more_windows() { [ "$(windows_of "$1")" -le "$2" ]; }
# Opens a menu by its keys (Alt+letter, or Alt and the arrows), waits for it,
# and presses the keys that choose an item; choose also waits until the menu
# is gone (for an item that opens no window).
open_menu() {
  local pid=$1 before
  shift
  before=$(windows_of "$pid")
  xdotool key "$@"
  wait_until more_windows "$pid" "$before" || fail "no menu opened by $*"
}
choose() {
  local pid=$1 menu=$2 before
  shift 2
  before=$(windows_of "$pid")
  open_menu "$pid" "$menu"
  xdotool key "$@"
  wait_until no_more_windows "$pid" "$before" || fail "the menu of $menu stayed open"
}
# F1 on the window with the keyboard opens the help at `context`.
help_opens() {
  xdotool key F1
  wait_until opened "$1" || fail "F1 did not open the help at context $1 (opened: $(tr '\n' ' ' <"$work/opened"))"
}

# ---- The data editor, on a matrix with the row labels Ab and Cd.
printf '1 2L 3L 0\r\nAb Cd\r\nx y z\r\n1 2 3\r\n4 5 6\r\n' >"$work/labels.qmx"
start "$mvedit" "$work/labels.qmx"
mvedit_pid=${started[-1]}
editor=
wait_until shown editor '^Mvedit' || fail "the data editor did not show"
wait_until has_keyboard "$editor" || fail "the data editor did not get the keyboard"
help_opens 123

# Edit > Edit row labels by Alt+E; then the first row's label: after its text
# come "ł", chords that type nothing, and Enter; File > Save file by Alt+F
# and S. A click the loaded program has not yet taken in can miss the label:
# while the saved labels are still the old ones, the label is edited again.
choose "$mvedit_pid" alt+e Return
label_saved() { grep -q $'^ *Ab\xc5\x82 Cd\r$' "$work/labels.qmx"; }
label_unchanged() { grep -Eq $'^ *Ab Cd\r?$' "$work/labels.qmx"; }
edit_label() {
  xdotool mousemove --window "$editor" 30 120 click 1
  sleep 0.5
  xdotool key End
  xdotool type 'ł'
  xdotool key alt+1 alt+shift+3 alt+x ctrl+alt+1 ctrl+1
  xdotool key Return
  touch -d '2000-01-01' "$work/labels.qmx"
  choose "$mvedit_pid" alt+f s
  local tries=50
  until [ "$work/labels.qmx" -nt "$work/mvedit.out" ]; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 0
    sleep 0.1
  done
}
attempts=$((limit / 5))
edit_label
while label_unchanged; do
  attempts=$((attempts - 1))
  [ "$attempts" -gt 0 ] || fail "the label was never edited"
  edit_label
done
label_saved || fail "the saved labels are not Abł and Cd: $(sed -n 2p "$work/labels.qmx" | od -c | head -2)"
echo "the data editor saved the label Abł: the chords typed nothing"

# Help > About by Alt+H and A: F1 there opens the about window's context.
open_menu "$mvedit_pid" alt+h
xdotool key a
about=
wait_until shown about '^About Mvedit$' || fail "the about window did not show"
wait_until has_keyboard "$about" || fail "the about window did not get the keyboard"
help_opens 7
xdotool key Return
wait_until gone '^About Mvedit$' || fail "the about window stayed"

# ---- The analysis program, opening on its Clustering page, where SAHN's button is.
printf '[MainWindow]\r\nPage=2\r\n' >"$XDG_CONFIG_HOME/morva/morva.ini"
start "$morvapc"
morvapc_pid=${started[-1]}
main=
wait_until shown main '^Morvapc$' || fail "the main window did not show"
wait_until has_keyboard "$main" || fail "the main window did not get the keyboard"
help_opens 139

# SAHN's dialog (its button clicked until the dialog shows): its help context,
# and "1.5" typed into its first cell and copied.
dialog=
dialog_opened() {
  shown dialog '^SAHN$' && return 0
  xdotool mousemove --window "$main" 200 202 click 1
  return 1
}
wait_until dialog_opened || fail "SAHN's dialog did not open"
wait_until has_keyboard "$dialog" || fail "SAHN's dialog did not get the keyboard"
help_opens 516
xdotool type 1.5
xdotool key ctrl+a ctrl+c

# The listing by File > View listing; its Options > Indent by the keyboard
# (Alt alone, then the arrows); the copied "1.5" pasted into the prompt and OK.
xdotool windowfocus "$main"
wait_until has_keyboard "$main" || fail "the main window did not get the keyboard back"
open_menu "$morvapc_pid" alt+f
xdotool key v
listing=
wait_until shown listing '^Report listing$' || fail "the listing did not show"
wait_until has_keyboard "$listing" || fail "the listing did not get the keyboard"
xdotool key alt
open_menu "$morvapc_pid" Right Right Down
xdotool key Return
prompt=
wait_until shown prompt '^Indent value$' || fail "the Indent prompt did not open"
wait_until has_keyboard "$prompt" || fail "the Indent prompt did not get the keyboard"
xdotool key ctrl+v Tab Return
wait_until gone '^Indent value$' || fail "the Indent prompt did not close with OK"

# File > Exit writes the settings: the indent is not 15.
xdotool windowfocus "$main"
wait_until has_keyboard "$main" || fail "the main window did not get the keyboard back"
open_menu "$morvapc_pid" alt+f
xdotool key x
ended() { ! kill -0 "$morvapc_pid" 2>/dev/null; }
wait_until ended || fail "the analysis program did not end"
indent=$(tr -d '\r' <"$XDG_CONFIG_HOME/morva/morva.ini" | sed -n 's/^ListingIndent=//p')
[ -n "$indent" ] || fail "no indent was written"
[ "$indent" != 15 ] || fail "the pasted 1.5 became the indent 15"
echo "F1 opened the contexts 123, 7, 139 and 516; the pasted 1.5 was refused (indent $indent)"
