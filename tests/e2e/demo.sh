#!/usr/bin/env bash
# ./run demo: setup.exe started under Wine in its setup role, and a screenshot
# of what the user sees.
#   demo.sh <build-root>
set -u
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$1/windows"
. "$SRC/tests/e2e/lib.sh"

work=$(mktemp -d /tmp/ws_demo.XXXXXX)
cp "$BUILD/src/setup/setup.exe" "$work/setup.exe"
wine_run "$work/setup.exe" &
pid=$!
title=$(window_title "Installer" 60) || { echo "demo: no window appeared" >&2; exit 1; }
sleep 1
shot="$BUILD/demo-setup.png"
import -window root "$shot"
echo "demo: setup.exe shows \"$title\"; screenshot: $shot"
WINEPREFIX="$BUILD/wineprefix" wineserver -k >/dev/null 2>&1
kill $pid 2>/dev/null
wait $pid 2>/dev/null
rm -rf "$work"
