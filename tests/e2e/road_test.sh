#!/usr/bin/env bash
# The whole road of the demo product as a user walks it, with real clicks: the
# vendor publishes and serves it and stamps setup.exe; the user installs
# through every wizard page, starts the application from the Done page, starts
# it again through its shortcut's launcher copy (no window), gets a second
# release through the Update page, and uninstalls with "all files" cleared,
# keeping a file of their own; the remover deletes the launcher copy.
# `./run demo` runs it with a screenshot of every page and a log.
#   road_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe> <wizprobe.exe> [shots-dir]
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 PROBE=$6 SHOTS=${7:-}
. "$SRC/tests/e2e/lib.sh"
# Saving a link would start Wine's menu builder, which mirrors it on the host.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

app_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\WebsetupDemo'
folders_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
work=$(mktemp -d /tmp/ws_road.XXXXXX)
server= link=
cleanup() {
  [ -n "$link" ] && kill "$link" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wine_stop
  wine_run reg delete "$app_key" /f >/dev/null 2>&1
  wine_stop
  rm -rf "$work" "$inst" "$desktop/websetup Demo.lnk" "$programs/websetup"
}
step() { echo "== $*"; }
# A screenshot of the wizard's window (of the whole screen when none shows).
SHOT=0
shot() {
  [ -n "$SHOTS" ] || return 0
  local name at
  SHOT=$((SHOT + 1))
  name=$(printf '%02d-%s.png' "$SHOT" "$1")
  at=$(wine_run "$PROBE" Install 0 2>/dev/null | tr -d '\r' | item client)
  if [ -n "$at" ]; then
    import -window root -crop "509x389+$(( ${at% *} - 5 ))+$(( ${at#* } - 24 ))" +repage "$SHOTS/$name"
  else
    import -window root "$SHOTS/$name"
  fi
  echo "   screenshot $name: $2"
}
# The launcher copy's application window, as the user sees it.
app_shot() {
  [ -n "$SHOTS" ] || return 0
  SHOT=$((SHOT + 1))
  local name
  name=$(printf '%02d-%s.png' "$SHOT" "$1")
  local id X Y WIDTH HEIGHT
  id=$(xdotool search --onlyvisible --name '^websetup demo' 2>/dev/null | head -1)
  if [ -n "$id" ] && eval "$(xdotool getwindowgeometry --shell "$id")"; then
    import -window root -crop "$((WIDTH + 8))x$((HEIGHT + 8))+$((X > 4 ? X - 4 : 0))+$((Y > 4 ? Y - 4 : 0))" \
      +repage "$SHOTS/$name"
  else
    import -window root "$SHOTS/$name"
  fi
  echo "   screenshot $name: $2"
}
app_runs() { test "$(window_title "websetup demo" 60)" = "websetup demo - version $1"; }
ended() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}
publish() {
  "$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
    >>"$work/publish.log" 2>&1
}
value_of() { sed -n "s/^ *$1 *REG_SZ *//p" <<<"$entry"; }

desktop=$(unix_path "$(reg_value "$folders_key" Desktop)")
programs=$(unix_path "$(reg_value "$folders_key" Programs)")
inst="$BUILD/wineprefix/drive_c/Program Files/websetup Demo"
trap cleanup EXIT
cleanup_before() { rm -rf "$inst" "$desktop/websetup Demo.lnk" "$programs/websetup"; }
cleanup_before
wine_run reg delete "$app_key" /f >/dev/null 2>&1

step "The vendor publishes release 1.0 of the demo product, serves it and stamps setup.exe"
mkdir -p "$work/app/data"
cp "$DEMOAPP" "$work/app/demoapp.exe"
printf '1.0\r\n' >"$work/app/version.txt"
printf 'colour=blue\r\n' >"$work/app/settings.ini"
for i in $(seq -w 1 12); do head -c 262144 /dev/urandom >"$work/app/data/part-$i.bin"; done
# Build times of the vendor's files, long before any installation.
find "$work/app" -type f -exec touch -d '2024-01-01 10:00:00' {} +
check "release 1.0 is published" publish
start_server "$work/store" "$work/serve.log"
check "the server listens (port $port)" test -n "$port"
# Half a megabyte a second, as a modest line gives: the pages of the work stay
# long enough to be seen.
python3 "$SRC/tests/e2e/slowlink.py" "$port" 524288 >"$work/link.log" 2>&1 &
link=$!
for _ in $(seq 50); do grep -q '^port' "$work/link.log" && break; sleep 0.1; done
link_port=$(sed -n 's/^port //p' "$work/link.log")
mkdir -p "$work/download"
"$WEBSETUP" stamp "$SETUP" "$work/download/setup.exe" "127.0.0.1:$link_port" >/dev/null
check "setup.exe is stamped with the server's address" test -s "$work/download/setup.exe"

step "The user starts the downloaded setup.exe and installs through every page"
wine_run "$work/download/setup.exe" &
wizard_pid=$!
check "the wizard opens on the Language page" wait_page Language 60
shot language "the Language page in Dutch, the default"
click 200 186
xdotool key Down Return
sleep 1
check "English is chosen" test "$(wizard | item combo | cut -d' ' -f3-)" = English
shot language-english "English chosen: the window retitled"
next
check "Next fetches the product and shows Welcome" wait_page Welcome
shot welcome "the Welcome page names the product"
next
check "Next shows the InstallPath page" wait_page InstallPath
check "with the manifest's path, blanks and all" \
  test "$(wizard | item edit | cut -d' ' -f3-)" = 'C:\Program Files\websetup Demo\'
shot installpath "the proposed installation directory"
next
check "Next shows the Installing page" wait_page Installing
shot installing "the files arriving, two progress bars"
check "the installation ends on the Done page" wait_page Done 120
shot done "Done, with the application to start"

check "the launcher copy is installed" cmp -s "$inst/WebsetupDemo.exe" "$work/download/setup.exe"
check "the record holds the chosen language" test "$(cat "$inst/WebsetupDemo.lng" 2>/dev/null)" = en
check "every file of the release is installed" has_files "$work/app" "$inst"
check "no temporary is left" test -z "$(find "$inst" -name '*.~ws')"
check "a shortcut on the desktop" test -f "$desktop/websetup Demo.lnk"
check "a shortcut in the two-level group" test -f "$programs/websetup/Demo/websetup Demo.lnk"
check "the uninstall shortcut beside it" test -f "$programs/websetup/Demo/Uninstall websetup Demo.lnk"
check "the desktop shortcut starts the launcher copy" \
  grep -qa 'websetup Demo\\WebsetupDemo.exe' "$desktop/websetup Demo.lnk"
entry=$(wine_run reg query "$app_key" 2>/dev/null | tr -d '\r')
check "the entry's DisplayName" test "$(value_of DisplayName)" = WebsetupDemo
check "the entry's Publisher" test "$(value_of Publisher)" = Brellik
check "the entry's InstallLocation" test "$(value_of InstallLocation)" = 'C:\Program Files\websetup Demo\'
uninstall=$(value_of UninstallString)
check "the entry's UninstallString quotes the path with blanks ($uninstall)" \
  test "$uninstall" = '"C:\Program Files\websetup Demo\WebsetupDemo.exe" /remove'

step "Finish starts the application"
next
check "Finish starts the application 1.0" app_runs 1.0
check "and the wizard has ended" ended $wizard_pid
app_shot app-1.0 "the application started from the Done page"
wine_stop
wait $wizard_pid 2>/dev/null

step "The user starts the application again through the launcher copy"
timeout 90 "$SRC/cmake/wine-run.sh" "$BUILD" "$inst/WebsetupDemo.exe"
rc=$?
check "the launcher of a current installation ends by itself (rc $rc)" test "$rc" = 0
check "the application 1.0 runs" app_runs 1.0
check "no installer window was shown" test -z "$(xdotool search --onlyvisible --name '^Install' 2>/dev/null)"
app_shot launcher-app-1.0 "the launcher started the application without a window of its own"
wine_stop

step "The vendor publishes release 2.0; the next start fetches it"
printf '2.0\r\n' >"$work/app/version.txt"
for i in 01 02 03 04; do head -c 262144 /dev/urandom >"$work/app/data/part-$i.bin"; done
find "$work/app" -newer "$work/app/settings.ini" -type f -exec touch -d '2024-02-01 10:00:00' {} +
check "release 2.0 is published" publish
before=$(grep -c admin:getFile "$work/serve.log")
wine_run "$inst/WebsetupDemo.exe" &
launcher=$!
check "the launcher shows the Update page" wait_page Update 60
shot update "the Update page fetching release 2.0"
check "the application 2.0 starts without a click" app_runs 2.0
check "and the launcher has ended" ended $launcher
check "the five changed files were fetched, no other" \
  test $(( $(grep -c admin:getFile "$work/serve.log") - before )) = 5
check "the installation is release 2.0" has_files "$work/app" "$inst"
app_shot app-2.0 "the updated application"
wine_stop
wait $launcher 2>/dev/null

step "The user uninstalls, keeping the files that are not the application's"
printf 'my own notes\r\n' >"$inst/my notes.txt"
# The uninstall command as Windows would run it from the entry.
program=$(sed -n 's/^"\(.*\)" \/remove$/\1/p' <<<"$uninstall")
wine_run "$(unix_path "$program")" /remove &
uninstaller=$!
check "the uninstaller opens on the Uninstall page" wait_page Uninstall 60
shot uninstall "the Uninstall page, all files checked"
click 220 240 # the text beside the check box toggles it
shot uninstall-cleared "all files cleared"
next
check "Next removes and shows Uninstall Done" wait_page "Uninstall Done"
shot uninstall-done "the Uninstall Done page"
next
check "Finish ends the uninstaller" ended $uninstaller
for _ in $(seq 100); do [ -e "$inst/WebsetupDemo.exe" ] || break; sleep 0.2; done
check "the remover deleted the launcher copy" test ! -e "$inst/WebsetupDemo.exe"
check "the user's file stays" test "$(cat "$inst/my notes.txt" 2>/dev/null)" = $'my own notes\r'
check "the application's files are gone" \
  test "$(cd "$inst" 2>/dev/null && find . -type f | sort | tr '\n' ' ')" = "./my notes.txt "
check "the record is gone" test ! -e "$inst/WebsetupDemo.lng"
check "the desktop shortcut is gone" test ! -e "$desktop/websetup Demo.lnk"
check "the group's inner folder is gone" test ! -e "$programs/websetup/Demo"
check "the uninstall entry is gone" no_key "$app_key"
wine_stop
wait $uninstaller 2>/dev/null

finish
