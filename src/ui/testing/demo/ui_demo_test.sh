#!/usr/bin/env bash
# The framework demo as a person meets it: the form shows, a click on
# "Raise" shows the error in a message box, the program goes on, Escape
# closes it. Screenshots land in the output folder.
#   ui_demo_test.sh <source-dir> <windows-build-dir> <ui_demo.exe> <output-dir>
set -u
SRC=$1 BUILD=$2 DEMO=$3 OUT=$4
. "$SRC/tests/e2e/lib.sh"
trap 'wine_stop' EXIT

wine_run "$DEMO" &
pid=$!
window_title "Framework demo" 60 >/dev/null || { echo "no demo window" >&2; exit 1; }
id=$(xdotool search --onlyvisible --name "^Framework demo" | head -1)
sleep 1
import -window root "$OUT/ui_demo.png"
eval "$(xdotool getwindowgeometry --shell "$id")"
check "the form is centred on the screen (at $X,$Y)" test "$X" -eq 390 -a "$Y" -eq 332

# "Raise" at (384, 304), 94 x 24 within the form.
xdotool mousemove $((X + 430)) $((Y + 316)) click 1
box=$(window_title "UI demo" 30)
check "the raising button's message shows in a box" test "$box" = "UI demo"
sleep 1
import -window root "$OUT/ui_demo_error.png"
xdotool key --window "$(xdotool search --onlyvisible --name '^UI demo' | head -1)" Return
sleep 1
check "the program goes on after the error" kill -0 $pid
check "the form is still there" xdotool search --onlyvisible --name "^Framework demo"

xdotool mousemove $((X + 330)) $((Y + 316)) click 1
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
check "Close ends the program" test ! -e /proc/$pid
wait $pid 2>/dev/null
echo "screenshots: $OUT/ui_demo.png $OUT/ui_demo_error.png"
finish
