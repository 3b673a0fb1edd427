#!/usr/bin/env bash
# The launcher road: a vendor publishes the demo product and serves it, an
# installed launcher copy checks the server at start and either starts the
# application without a window or reports that an update is needed; an
# unreachable server gives the error page.
#   launcher_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe> <installhelper.exe> [shots-dir]
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 INSTALLHELPER=$6 SHOTS=${7:-}
. "$SRC/tests/e2e/lib.sh"

work=$(mktemp -d /tmp/ws_launcher.XXXXXX)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wine_stop
  rm -rf "$work"
}
trap cleanup EXIT

# Starts the launcher copy and expects the installer window in a start mode.
launcher_shows() {
  local what=$1 mode=$2 name=$3 launcher title
  wine_run "$inst/WebsetupDemo.exe" &
  launcher=$!
  title=$(window_title "Installer" 120)
  check "$what ($title)" test "$title" = "Installer - $mode"
  shot "$name"
  wine_stop
  wait $launcher
}

shot() { [ -n "$SHOTS" ] && sleep 1 && import -window root "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"; }

# Release 1 of the demo product.
mkdir -p "$work/app"
cp "$DEMOAPP" "$work/app/demoapp.exe"
printf '1.0\r\n' >"$work/app/version.txt"
printf 'colour=blue\r\n' >"$work/app/settings.ini"
# Build times of the vendor's files, as a release carries them. (A listed file
# whose size and two-second time step match the disk is trusted unread, so a
# new release written within the same two seconds as the installation could
# go unnoticed; real releases are built long before they are installed.)
touch -d '2024-01-01 10:00:00' "$work/app/"*
"$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
  || { echo "FAIL publish"; exit 1; }

"$WEBSETUP" serve --store "$work/store" --port 0 --threads 2 >"$work/serve.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(grep -oE '127\.0\.0\.1:[0-9]+' "$work/serve.log" | head -1 | cut -d: -f2)
  [ -n "$port" ] && break
  sleep 0.1
done
check "the server listens (port $port)" test -n "$port"

"$WEBSETUP" stamp "$SETUP" "$work/setup.exe" "127.0.0.1:$port"
check "stamp writes a copy" test -s "$work/setup.exe"

inst="$work/inst"
wine_run "$INSTALLHELPER" "127.0.0.1:$port" "$(winpath "$work/setup.exe")" "$(winpath "$inst")" en
check "the installation holds the launcher copy" test -f "$inst/WebsetupDemo.exe"
check "the installation holds the record" test -f "$inst/WebsetupDemo.lng"
check "the installation holds the application" cmp -s "$inst/demoapp.exe" "$work/app/demoapp.exe"

# Current installation: the launcher starts the application and shows nothing.
timeout 60 "$SRC/cmake/wine-run.sh" "$BUILD" "$inst/WebsetupDemo.exe"
rc=$?
check "the launcher of a current installation ends by itself (rc $rc)" test "$rc" = 0
title=$(window_title "websetup demo" 30)
check "the application runs ($title)" test "$title" = "websetup demo - version 1.0"
check "no installer window is shown" test -z "$(xdotool search --onlyvisible --name '^Installer' 2>/dev/null)"
shot launcher-current
wine_stop

# Release 2 changes one file: the launcher reports the update.
printf '2.0\r\n' >"$work/app/version.txt"
touch -d '2024-02-01 10:00:00' "$work/app/version.txt"
"$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
  | tee "$work/publish2.log"
check "release 2 changes one file" grep -q 'version.txt' "$work/publish2.log"
launcher_shows "an outdated installation shows the update page" smUpdate launcher-update

# No server: the error page.
kill "$server"; wait "$server" 2>/dev/null; server=
launcher_shows "an unreachable server shows the error page" smError launcher-error

finish
