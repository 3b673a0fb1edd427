#!/usr/bin/env bash
# The launcher road: a vendor publishes the demo product and serves it, an
# installed launcher copy checks the server at start and either starts the
# application without a window or reports that an update is needed; an
# unreachable server gives the error page.
#   launcher_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe> <installhelper.exe> <wizprobe.exe> [shots-dir]
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 INSTALLHELPER=$6 PROBE=$7 SHOTS=${8:-}
. "$SRC/tests/e2e/lib.sh"

work=$(mktemp -d /tmp/ws_launcher.XXXXXX)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wine_stop
  rm -rf "$work"
}
trap cleanup EXIT

# Starts the launcher copy and expects the wizard on a page.
launcher_shows() {
  local what=$1 want=$2 name=$3 page
  wine_run "$inst/WebsetupDemo.exe" &
  launcher=$!
  page=$(wizard_page 120)
  check "$what ($page)" test "$page" = "$want"
  shot "$name"
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

start_server "$work/store" "$work/serve.log"
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
check "no installer window is shown" test -z "$(xdotool search --onlyvisible --name '^Install' 2>/dev/null)"
shot launcher-current
wine_stop

# Release 2 changes one file: the launcher reports the update.
printf '2.0\r\n' >"$work/app/version.txt"
touch -d '2024-02-01 10:00:00' "$work/app/version.txt"
"$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
  | tee "$work/publish2.log"
check "release 2 changes one file" grep -q 'version.txt' "$work/publish2.log"
launcher_shows "an outdated installation shows the update page" Update launcher-update
# The update runs by itself, starts the application and the wizard ends.
title=$(window_title "websetup demo" 60)
check "the updated application runs ($title)" test "$title" = "websetup demo - version 2.0"
for _ in $(seq 300); do kill -0 $launcher 2>/dev/null || break; sleep 0.2; done
check "the launcher has ended" test ! -e /proc/$launcher
check "the changed file was fetched" cmp -s "$inst/version.txt" "$work/app/version.txt"
wine_stop
wait $launcher

# No server: the error page.
kill "$server"; wait "$server" 2>/dev/null; server=
launcher_shows "an unreachable server shows the error page" Error launcher-error
wine_stop
wait $launcher

finish
