#!/usr/bin/env bash
# ./run demo: the whole road of the demo product under Wine, as a user walks
# it with clicks (tests/e2e/road_test.sh): publish, serve, stamp, install
# through every page, start, launch, update, uninstall. A screenshot of every
# page shown and the log land in the Windows build folder's demo/; the last
# line says whether every step held.
#   demo.sh <build-root>
set -u
SRC=$(cd "$(dirname "$0")/../.." && pwd)
ROOT=$(cd "$1" && pwd)
BUILD="$ROOT/windows"
shots="$BUILD/demo"
mkdir -p "$shots"
rm -f "$shots"/*.png "$shots/demo.log"

bash "$SRC/tests/e2e/road_test.sh" "$SRC" "$BUILD" "$ROOT/linux/tools/websetup/websetup" \
  "$BUILD/src/setup/setup.exe" "$BUILD/demo/app/demoapp.exe" "$BUILD/tests/e2e/wizprobe.exe" \
  "$shots" 2>&1 | tee "$shots/demo.log"
rc=${PIPESTATUS[0]}
if [ "$rc" = 0 ]; then
  verdict="demo: every step held; screenshots and log in $shots"
else
  verdict="demo: $(grep -c '^FAIL' "$shots/demo.log") step(s) did not hold, see $shots/demo.log"
fi
echo "$verdict" | tee -a "$shots/demo.log"
[ "$rc" = 0 ]
