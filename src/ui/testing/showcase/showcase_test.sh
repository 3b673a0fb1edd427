#!/usr/bin/env bash
# The controls showcase as a person meets it, with the real pointer and keys:
# the framed form shows; a click on Next clicks it, Enter clicks the focused
# button; the language box switches to English; the caption drags the
# window; a press on the close button released elsewhere keeps it open, a
# click on it ends the program. Screenshots land in the output folder.
#   showcase_test.sh <source-dir> <windows-build-dir> <ui_showcase.exe> <output-dir>
set -u
SRC=$1 BUILD=$2 SHOWCASE=$3 OUT=$4
. "$SRC/tests/e2e/lib.sh"
trap 'wine_stop' EXIT

wine_run "$SHOWCASE" &
pid=$!
window_title "Controls showcase" 60 >/dev/null || { echo "no showcase window" >&2; exit 1; }
id=$(xdotool search --onlyvisible --name "^Controls showcase" | head -1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$id")"
check "the frame adds 3 pixels at the sides and bottom and 22 at the top ($WIDTH x $HEIGHT)" \
  test "$WIDTH" -eq 505 -a "$HEIGHT" -eq 385
# Client point (x, y) on the screen: inside the frame's left and top.
cx() { echo $((X + 3 + $1)); }
cy() { echo $((Y + 22 + $1)); }
shot() { import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$OUT/$1"; }
title() { xdotool getwindowname "$id"; }

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
echo "screenshots: $OUT/showcase.png $OUT/showcase_hover.png $OUT/showcase_english.png $OUT/showcase_close_pressed.png"
finish
