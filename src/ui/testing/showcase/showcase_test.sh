#!/usr/bin/env bash
# The controls showcase as a person meets it, with the real pointer and keys:
# the framed form shows; a click on Next clicks it, Enter clicks the focused
# button; clicks and keys reach a check box, a radio button, an edit, the
# integer edit and a drop-down list (the program's state file tells what
# arrived); the language box switches to English; the caption drags the
# window; a press on the close button released elsewhere keeps it open, a
# click on it ends the program without a fault. Screenshots land in the
# output folder.
#   showcase_test.sh <source-dir> <windows-build-dir> <ui_showcase.exe> <output-dir>
set -u
SRC=$1 BUILD=$2 SHOWCASE=$3 OUT=$4
. "$SRC/tests/e2e/lib.sh"
trap 'wine_stop' EXIT

mkdir -p "$OUT"
state="$OUT/showcase.state"
rm -f "$state"
# Wine's heap checks fill freed memory, so that a use after free at the end
# faults every time instead of now and then.
WINEDEBUG=-all,warn+heap wine_run "$SHOWCASE" "$(winpath "$state")" &
pid=$!
window_title "Controls showcase" 60 >/dev/null || { echo "no showcase window" >&2; exit 1; }
id=$(xdotool search --onlyvisible --name "^Controls showcase" | head -1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$id")"
check "the frame adds 3 pixels at the sides and bottom and 22 at the top ($WIDTH x $HEIGHT)" \
  test "$WIDTH" -eq 986 -a "$HEIGHT" -eq 385
# Client point (x, y) on the screen: inside the frame's left and top.
cx() { echo $((X + 3 + $1)); }
cy() { echo $((Y + 22 + $1)); }
shot() { import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$OUT/$1"; }
title() { xdotool getwindowname "$id"; }
click() { xdotool mousemove "$(cx "$1")" "$(cy "$2")" click 1; sleep 0.5; }
has() { grep -qx "$1" "$state"; }

shot showcase.png

# Next (384, 304), hovered, then clicked.
xdotool mousemove "$(cx 424)" "$(cy 314)"
sleep 0.5
shot showcase_hover.png
xdotool click 1
sleep 0.5
check "a click on Next clicks it ($(title))" test "$(title)" = "Controls showcase: Next 1"
# Pressed on Next, released beside it: still a click.
xdotool mousedown 1
sleep 0.3
xdotool mousemove "$(cx 424)" "$(cy 250)" mouseup 1
sleep 0.5
check "a press on Next released outside it clicks ($(title))" \
  test "$(title)" = "Controls showcase: Next 2"

# Enter goes to the focused button, not to the default one.
xdotool key --window "$id" Return
sleep 0.5
check "Enter clicks the focused button ($(title))" test "$(title)" = "Controls showcase: Focused 3"

check "the state file is written at start" has "start=1"

# "Start the program" at (790, 36): a click on its box unchecks it, one on
# its caption checks it again.
click 796 44
check "a click on the check box unchecks it" has "start=0"
shot showcase_checkbox_focused.png
click 840 44
check "a click on the caption checks it again" has "start=1"

# "libcurl" at (790, 196).
click 796 204
check "a click on a radio button chooses it" has "library=libcurl"
shot showcase_radio_focused.png

# The user name (600, 67): typing goes to its end.
click 710 77
xdotool key End
xdotool type --delay 50 " ok"
sleep 0.5
check "typing into the edit arrives" has "user=typed here ok"

# The port (600, 148) takes digits up to 65535 and never a minus.
click 625 158
xdotool key End BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 50 -- "-99a999"
sleep 0.5
check "the integer edit refuses the minus, the letter and a fifth 9" has "port=9999"
shot showcase_typed.png

# The drop-down list at (600, 175), 124 x 21: open it, pick the second entry.
click 650 185
shot showcase_list_dropped.png
click 650 $((175 + 21 + 20))
check "choosing English in the list fires its change" has "list=1"

# The language box, left of the caption buttons.
xdotool mousemove $((X + WIDTH - 3 - 18 - 1 - 18 - 1 - 18 - 1 - 8)) $((Y + 12)) click 1
sleep 0.5
check "the language box switches to English ($(title))" test "$(title)" = "Controls showcase: en"
xdotool mousemove "$(cx 480)" "$(cy 200)"
sleep 0.5
shot showcase_english.png

# The caption drags the window.
xdotool mousemove $((X + 200)) $((Y + 10)) mousedown 1
sleep 0.3
xdotool mousemove $((X + 150)) $((Y - 40))
sleep 0.3
xdotool mousemove $((X + 100)) $((Y - 90)) mouseup 1
sleep 0.5
oldX=$X oldY=$Y
eval "$(xdotool getwindowgeometry --shell "$id")"
check "the caption drags the window (from $oldX,$oldY to $X,$Y)" \
  test "$X" -eq $((oldX - 100)) -a "$Y" -eq $((oldY - 100))

# The close button at W - 21: pressed, released on the caption, then clicked.
closeX=$((X + WIDTH - 12)) closeY=$((Y + 12))
xdotool mousemove "$closeX" "$closeY" mousedown 1
sleep 0.3
shot showcase_close_pressed.png
xdotool mousemove $((X + 150)) "$closeY" mouseup 1
sleep 1
check "a press on close released elsewhere keeps the form" kill -0 $pid
xdotool mousemove "$closeX" "$closeY"
sleep 0.3
xdotool click 1
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
check "a click on the frame's close button ends the program" test ! -e /proc/$pid
wait $pid 2>/dev/null
check "the program ends without a fault" test $? = 0
echo "screenshots: $OUT/showcase*.png"
finish
