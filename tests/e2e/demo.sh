#!/usr/bin/env bash
# ./run demo: setup.exe under Wine as a user meets it.
#  1. the downloaded setup.exe in its setup role;
#  2. the vendor publishes the demo product, serves it and stamps setup.exe; an
#     installation is made; the launcher starts the application without a window;
#  3. a second release changes one file; the launcher reports the update;
#  4. with the server gone, the launcher shows the error page.
# Screenshots of each land in the Windows build folder.
#   demo.sh <build-root>
set -u
SRC=$(cd "$(dirname "$0")/../.." && pwd)
ROOT=$(cd "$1" && pwd)
BUILD="$ROOT/windows"
. "$SRC/tests/e2e/lib.sh"
shots="$BUILD/demo"
mkdir -p "$shots"

work=$(mktemp -d /tmp/ws_demo.XXXXXX)
cp "$BUILD/src/setup/setup.exe" "$work/setup.exe"
wine_run "$work/setup.exe" &
pid=$!
title=$(window_title "Install" 60) || { echo "demo: no window appeared" >&2; exit 1; }
sleep 1
import -window root "$shots/setup-role.png"
echo "demo: the downloaded setup.exe shows \"$title\"; screenshot: $shots/setup-role.png"
wine_stop
kill $pid 2>/dev/null
wait $pid 2>/dev/null
rm -rf "$work"

bash "$SRC/tests/e2e/launcher_test.sh" "$SRC" "$BUILD" "$ROOT/linux/tools/websetup/websetup" \
  "$BUILD/src/setup/setup.exe" "$BUILD/demo/app/demoapp.exe" "$BUILD/tests/e2e/installhelper.exe" \
  "$BUILD/tests/e2e/wizprobe.exe" "$shots"
