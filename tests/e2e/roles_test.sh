#!/usr/bin/env bash
# The program's roles chosen from its command line, and the remover at work.
#   roles_test.sh <source-dir> <windows-build-dir> <setup.exe> <holdfile.exe> <wizprobe.exe>
set -u
SRC=$1 BUILD=$2 SETUP=$3 HOLD=$4 PROBE=$5
. "$SRC/tests/e2e/lib.sh"

work=$(mktemp -d /tmp/ws_roles.XXXXXX)
trap 'wineserver_kill; rm -rf "$work"' EXIT
wineserver_kill() { wine_stop || true; }

# A copy of the program in a folder of its own, as a user would download it.
mkdir -p "$work/download"
cp "$SETUP" "$work/download/setup.exe"
exe="$work/download/setup.exe"

# The remover deletes the file and then the empty directory.
mkdir -p "$work/inst1"; echo app >"$work/inst1/app.exe"
timeout 60 "$SRC/cmake/wine-run.sh" "$BUILD" "$exe" /X "$(winpath "$work/inst1/app.exe")"
check "remover deletes the launcher copy" test ! -e "$work/inst1/app.exe"
check "remover removes the empty directory" test ! -e "$work/inst1"

# ... also when the file is held open by another process for two seconds.
mkdir -p "$work/inst2"; echo app >"$work/inst2/app.exe"
wine_run "$HOLD" "$(winpath "$work/inst2/app.exe")" 2000 "$(winpath "$work/held")" &
holder=$!
for _ in $(seq 100); do [ -e "$work/held" ] && break; sleep 0.1; done
check "the file is held open" test -e "$work/held"
start=$(date +%s%N)
timeout 60 "$SRC/cmake/wine-run.sh" "$BUILD" "$exe" /X "$(winpath "$work/inst2/app.exe")"
took=$(( ($(date +%s%N) - start) / 1000000 ))
wait $holder
check "remover waits for a held file and deletes it (${took} ms)" test ! -e "$work/inst2/app.exe"
check "remover removed the directory after the held file" test ! -e "$work/inst2"

# A directory that holds more than the launcher copy stays.
mkdir -p "$work/inst3"; echo app >"$work/inst3/app.exe"; echo data >"$work/inst3/data.txt"
timeout 60 "$SRC/cmake/wine-run.sh" "$BUILD" "$exe" /X "$(winpath "$work/inst3/app.exe")"
check "remover deletes the file of a non-empty directory" test ! -e "$work/inst3/app.exe"
check "a non-empty directory stays" test -e "$work/inst3/data.txt"

# Calls that are not the remover start the program normally: a window opens
# and the file stays.
not_remover() {
  local label=$1; shift
  mkdir -p "$work/keep"; echo app >"$work/keep/app.exe"
  wine_run "$@" &
  local pid=$!
  local page
  page=$(wizard_page 30)
  check "$label opens the wizard on its first page ($page)" test "$page" = Language
  check "$label leaves the file alone" test -e "$work/keep/app.exe"
  wineserver_kill
  wait $pid 2>/dev/null
}
target=$(winpath "$work/keep/app.exe")
not_remover '"/X" alone' "$exe" /X
not_remover '"/X" with two more arguments' "$exe" /X "$target" extra
not_remover 'lower-case "/x"' "$exe" /x "$target"
not_remover '"/remove" without an installation record' "$exe" /remove

finish
