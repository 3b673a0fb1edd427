#!/usr/bin/env bash
# Hostile manifests: a server hands an installed product a manifest whose
# file list names paths outside the installation directory, devices, streams,
# names Windows would alter, names too long for any file system, and entries
# of the other kind than what lies on disk. The launcher road (the real
# setup.exe) and the update of the installation under Wine must write
# nothing outside the installation directory (the whole of the prefix's
# drive C: is compared before and after) and must not crash.
#   hostile_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe> <installhelper.exe> <wizprobe.exe>
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 INSTALLHELPER=$6 PROBE=$7
. "$SRC/tests/e2e/lib.sh"

work=$(mktemp -d /tmp/ws_hostile.XXXXXX)
server=
drive="$BUILD/wineprefix/drive_c"
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wine_stop
  rm -rf "$work" "$drive/hostile"
}
trap cleanup EXIT

# Every entry of drive C: but the installation directory; files with size and
# time, directories by name (Wine itself touches directory times).
snapshot() {
  (cd "$drive" && find . -path ./hostile/inst -prune -o \( -type d -printf '%p/\n' \) \
    -o -printf '%p %s %T@\n' | sort)
}

# Release 1: the demo product.
mkdir -p "$work/app"
cp "$DEMOAPP" "$work/app/demoapp.exe"
printf '1.0\r\n' >"$work/app/version.txt"
touch -d '2024-01-01 10:00:00' "$work/app/"*
"$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
  >/dev/null || { echo "FAIL publish"; exit 1; }

# Release 2, written into the store by hand as no publisher would: every
# hostile entry names the content of version.txt with its right size and
# checksum, so only the names stand between the content and the disk.
release1="$work/store/releases/1/manifest"
line=$(grep -E '^\|-[0-9]+,5,.*,version\.txt' "$release1" | tr -d '\r')
base=${line%,version.txt}
esc() { local s=${1//\\/\\\\}; printf '%s' "${s//,/\\c}"; }
long=$(printf 'L%.0s' $(seq 300))
hostile=""
for name in '..\..\x' '..\x' '..' '.' 'C:\x' 'C:x' '\\?\C:\x' '\\.\C:\x' '\\server\share\x' \
  '\x' '/x' '../x' 'x:stream' 'version.txt::$DATA' 'CON' 'NUL.txt' 'COM1' 'LPT1.log' 'conin$' \
  'a\..\..\x' 'x.' 'x..' 'x. .' "$long" 'dirOnDisk'; do
  hostile+="$base,$(esc "$name")"$'\r\n'
done
for dir in '..' '..\..' 'C:' 'C:\' '\\?\C:' 'x:' 'NUL' 'd.' "$long" 'fileOnDisk'; do
  hostile+="|+0,0,$(esc "$dir")"$'\r\n'"$base,x"$'\r\n'"$base,inner"$'\r\n|x\r\n'
done
mkdir -p "$work/store/releases/2"
cp "$work/store/releases/1/product" "$work/store/releases/2/product"
# (Through the environment: awk would read escapes in a -v value.)
EXTRA="$hostile" awk 'BEGIN { done = 0 }
  !done && /^\|[-+]/ { printf "%s", ENVIRON["EXTRA"]; done = 1 } { print }' "$release1" \
  >"$work/store/releases/2/manifest"
check "the hostile release lists every hostile entry" \
  test "$(grep -c '^|[-+]' "$work/store/releases/2/manifest")" -ge 45

start_server "$work/store" "$work/serve.log"
check "the server listens (port $port)" test -n "$port"
"$WEBSETUP" stamp "$SETUP" "$work/setup.exe" "127.0.0.1:$port" >/dev/null

# The installation, from release 1, in C:\hostile\inst, with a directory where
# release 2 lists a file and a file where it lists a directory.
rm -rf "$drive/hostile"
inst="$drive/hostile/inst"
wine_run "$INSTALLHELPER" "127.0.0.1:$port" "$(winpath "$work/setup.exe")" 'C:\hostile\inst' en \
  >/dev/null
check "release 1 is installed" cmp -s "$inst/version.txt" "$work/app/version.txt"
mkdir -p "$inst/dirOnDisk"
printf 'mine' >"$inst/dirOnDisk/mine.txt"
printf 'mine too' >"$inst/fileOnDisk"
wine_stop
before=$(snapshot)

printf '2\n' >"$work/store/current.new" && mv "$work/store/current.new" "$work/store/current"

# The launcher road: the check of the hostile manifest, then the update page
# (the entries of the other kind can never be brought in line), whose update
# runs by itself and ends with the application's start.
wine_run "$inst/WebsetupDemo.exe" &
launcher=$!
page=$(wizard_page 120)
check "the launcher shows the update page, no crash ($page)" test "$page" = Update
title=$(window_title "websetup demo" 60)
check "the update ends with the application's start ($title)" test -n "$title"
wine_stop
wait $launcher 2>/dev/null

# The update itself, over the real back end, into the installation.
wine_run "$INSTALLHELPER" "127.0.0.1:$port" "$(winpath "$work/setup.exe")" 'C:\hostile\inst' en \
  >"$work/update.log" 2>&1
rc=$?
check "the update of the hostile release ends normally (rc $rc)" test "$rc" = 0
wine_stop
after=$(snapshot)

check "not a byte is written outside the installation directory" test "$before" = "$after"
[ "$before" = "$after" ] || diff <(echo "$before") <(echo "$after") | head -20
check "the directory of the user's stays as it was" \
  test "$(ls "$inst/dirOnDisk")" = "mine.txt" -a "$(cat "$inst/dirOnDisk/mine.txt")" = mine
check "the file of the user's stays as it was" test "$(cat "$inst/fileOnDisk")" = "mine too"
check "no temporary file is left" test -z "$(find "$inst" -name '*.~ws')"
check "the plain entries are still in line" cmp -s "$inst/version.txt" "$work/app/version.txt"
check "nothing else came into the installation" \
  test "$(cd "$inst" && find . -mindepth 1 | sort | tr '\n' ' ')" = \
  "./WebsetupDemo.exe ./WebsetupDemo.lng ./demoapp.exe ./dirOnDisk ./dirOnDisk/mine.txt ./fileOnDisk ./version.txt ./websetup.~wsv "

finish
