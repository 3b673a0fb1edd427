#!/usr/bin/env bash
# The road's hard places, with real clicks, behind a slow link so that the
# test can act while files arrive: an empty and an uncreatable installation
# path refused with the message dialog; the server gone in the middle of an
# install (the error box, only whole files, the next launch completes it);
# the window closed in the middle of an install (no error, whole files, the
# installation registered, the next launch completes it); "/force-setup"
# into the launcher copy's own directory; and an uninstall of all files closed
# with the frame's button, whose remover takes the directory too, while a
# group folder that holds another program's link stays.
#   road_faults_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe> <wizprobe.exe>
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 PROBE=$6
. "$SRC/tests/e2e/lib.sh"
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

app_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\WebsetupDemo'
folders_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
drive="$BUILD/wineprefix/drive_c"
failed_dir="$drive/Road Faults" closed_dir="$drive/Road Closed"
work=$(mktemp -d /tmp/ws_roadfaults.XXXXXX)
server= link=
desktop=$(unix_path "$(reg_value "$folders_key" Desktop)")
programs=$(unix_path "$(reg_value "$folders_key" Programs)")
leftovers() { rm -rf "$failed_dir" "$closed_dir" "$desktop/websetup Demo.lnk" "$programs/websetup"; }
cleanup() {
  [ -n "$link" ] && kill "$link" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wine_stop
  wine_run reg delete "$app_key" /f >/dev/null 2>&1
  wine_stop
  rm -rf "$work"
  leftovers
}
trap cleanup EXIT
leftovers
wine_run reg delete "$app_key" /f >/dev/null 2>&1

# The slow link to the server on loopback port $1 (0: a free one).
start_link() {
  python3 "$SRC/tests/e2e/slowlink.py" "$port" 524288 "$1" >"$work/link.log" 2>&1 &
  link=$!
  for _ in $(seq 50); do grep -q '^port' "$work/link.log" && break; sleep 0.1; done
}
fetches() { grep -c admin:getFile "$work/serve.log"; }
wait_fetches() {
  for _ in $(seq 300); do [ "$(fetches)" -ge "$1" ] && return 0; sleep 0.05; done
  return 1
}
ended() {
  for _ in $(seq 150); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}
# Every file in directory $1 that the release also has is the release's, whole.
whole_files() {
  local f rel
  while IFS= read -r f; do
    rel=${f#"$1"/}
    [ -e "$work/app/$rel" ] || continue
    cmp -s "$f" "$work/app/$rel" || { echo "  ($rel differs)"; return 1; }
  done < <(find "$1" -type f)
}
no_temporaries() { test -z "$(find "$1" -name '*.~ws')"; }
complete() { has_files "$work/app" "$1" >/dev/null; }
# The window frame's close button, at the right end of the caption above the
# client area.
close_window() { click 490 -11; }
# The text typed into the path field, replacing what it held.
type_path() {
  click 300 250
  xdotool key End shift+Home BackSpace
  [ -n "$1" ] && xdotool type --delay 20 "$1"
  sleep 0.3
}
# The message dialog, seen from outside: present, then dismissed with its OK
# button, at the right end of the button bar along its bottom.
message_dialog() {
  local id X Y WIDTH HEIGHT
  wine_run "$PROBE" Fout 10 >/dev/null 2>&1 || return 1
  id=$(xdotool search --onlyvisible --name '^Fout' 2>/dev/null | head -1)
  [ -n "$id" ] && eval "$(xdotool getwindowgeometry --shell "$id")" || return 1
  xdotool mousemove $((X + WIDTH - 57)) $((Y + HEIGHT - 19)) click 1
  for _ in $(seq 25); do
    sleep 0.2
    [ -z "$(xdotool search --onlyvisible --name '^Fout' 2>/dev/null)" ] && return 0
  done
  return 1
}
# The framework's error box, with the failure's text, within 60 seconds.
error_box() {
  local text
  for _ in $(seq 60); do
    text=$(wine_run "$PROBE" Install 0 2>/dev/null | tr -d '\r' | sed -n 's/^static \(.*Exception.*\)/\1/p')
    [ -n "$text" ] && echo "  ($text)" && return 0
    sleep 1
  done
  return 1
}
to_install_path() {
  wine_run "$@" &
  wizard_pid=$!
  wait_page Language 60 >/dev/null
  next
  wait_page Welcome >/dev/null
  next
  wait_page InstallPath
}
# The launcher copy in $1 repairs its installation: the Update page, the
# application, every file.
launcher_repairs() {
  wine_run "$1/WebsetupDemo.exe" &
  local launcher=$!
  check "$2: the next launch shows the Update page" wait_page Update 60
  check "$2: and starts the application" \
    test "$(window_title "websetup demo" 90)" = "websetup demo - version 1.0"
  check "$2: the installation is complete" complete "$1"
  wine_stop
  wait $launcher 2>/dev/null
}

# The release, big enough to take some seconds over the slow link.
mkdir -p "$work/app/data"
cp "$DEMOAPP" "$work/app/demoapp.exe"
printf '1.0\r\n' >"$work/app/version.txt"
printf 'colour=blue\r\n' >"$work/app/settings.ini"
for i in $(seq -w 1 12); do head -c 262144 /dev/urandom >"$work/app/data/part-$i.bin"; done
find "$work/app" -type f -exec touch -d '2024-01-01 10:00:00' {} +
"$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
  >/dev/null || { echo "FAIL publish"; exit 1; }
start_server "$work/store" "$work/serve.log"
check "the server listens (port $port)" test -n "$port"
start_link 0
link_port=$(sed -n 's/^port //p' "$work/link.log")
mkdir -p "$work/download"
"$WEBSETUP" stamp "$SETUP" "$work/download/setup.exe" "127.0.0.1:$link_port" >/dev/null

echo "== Paths that cannot be installed into"
check "the wizard reaches the InstallPath page" to_install_path "$work/download/setup.exe"
type_path ''
next
check "an empty path gives the message dialog" message_dialog
check "and the wizard stays on InstallPath" wait_page InstallPath
check "with the field still empty" test -z "$(wizard | item edit | cut -d' ' -f3-)"
type_path 'C:\Road|Faults'
next
check "a name Windows refuses gives the message dialog" message_dialog
check "and the wizard stays on InstallPath" wait_page InstallPath
shown=$(wizard | item edit | cut -d' ' -f3-)
check "showing the path with its backslash ($shown)" test "$shown" = 'C:\Road|Faults\'

echo "== The server gone in the middle of an install"
type_path 'C:\Road Faults'
next
check "the files begin to arrive" wait_fetches 3
# The line to the server breaks in the middle of a transfer.
kill -9 "$link"
wait "$link" 2>/dev/null
link=
check "the error box shows the failure" error_box
check "the wizard stays on Installing" wait_page Installing
check "the launcher copy and the record are there" \
  test -f "$failed_dir/WebsetupDemo.exe" -a -f "$failed_dir/WebsetupDemo.lng"
check "some files are missing" test -n "$(complete "$failed_dir" || echo missing)"
check "every file there is whole" whole_files "$failed_dir"
check "no temporary is left" no_temporaries "$failed_dir"
check "no shortcut was made" test ! -e "$desktop/websetup Demo.lnk"
check "no uninstall entry was made" no_key "$app_key"
wine_stop
wait $wizard_pid 2>/dev/null
start_link "$link_port"
launcher_repairs "$failed_dir" "after the server came back"

echo "== The window closed in the middle of an install"
check "the wizard reaches the InstallPath page" to_install_path "$work/download/setup.exe"
type_path 'C:\Road Closed'
start=$(fetches)
next
check "the files begin to arrive" wait_fetches $((start + 3))
close_window
check "the program ends" ended $wizard_pid
stopped_at=$(fetches)
sleep 1
check "no file was begun after the close ($((stopped_at - start)) fetched)" test "$(fetches)" = "$stopped_at"
check "some files are missing" test -n "$(complete "$closed_dir" || echo missing)"
check "every file there is whole" whole_files "$closed_dir"
check "no temporary is left" no_temporaries "$closed_dir"
check "the shortcuts are made" \
  test -f "$desktop/websetup Demo.lnk" -a -f "$programs/websetup/Demo/websetup Demo.lnk"
entry=$(wine_run reg query "$app_key" 2>/dev/null | tr -d '\r' | grep REG_SZ | sort)
check "the uninstall entry is made" grep -q 'InstallLocation.*Road Closed' <<<"$entry"
wine_stop
launcher_repairs "$closed_dir" "after the close"

echo "== \"/force-setup\" into the launcher copy's own directory"
check "the forced setup reaches the InstallPath page" \
  to_install_path "$closed_dir/WebsetupDemo.exe" /force-setup
type_path 'C:\Road Closed'
next
check "the installation ends on Done" wait_page Done 60
check "without an error box" test -z "$(wine_run "$PROBE" Install 0 2>/dev/null | awk -v RS= '!/(^|\n)page /')"
click 200 272 # "start the application" cleared
next
check "Finish ends the wizard" ended $wizard_pid
check "the launcher copy is the same file" cmp -s "$closed_dir/WebsetupDemo.exe" "$work/download/setup.exe"
check "the entry is unchanged" \
  test "$(wine_run reg query "$app_key" 2>/dev/null | tr -d '\r' | grep REG_SZ | sort)" = "$entry"
wine_stop

echo "== Uninstall of all files, closed with the frame's button"
printf 'mine\r\n' >"$closed_dir/my notes.txt"
printf 'another program' >"$programs/websetup/Demo/Other.lnk"
wine_run "$closed_dir/WebsetupDemo.exe" /remove &
uninstaller=$!
check "the uninstaller opens on the Uninstall page" wait_page Uninstall 60
next
check "Next removes and shows Uninstall Done" wait_page "Uninstall Done"
close_window
check "the close ends the uninstaller" ended $uninstaller
for _ in $(seq 100); do [ -e "$closed_dir" ] || break; sleep 0.2; done
check "the remover deleted the launcher copy and the emptied directory" test ! -e "$closed_dir"
check "the desktop shortcut is gone" test ! -e "$desktop/websetup Demo.lnk"
check "the group's links are gone" \
  test "$(ls "$programs/websetup/Demo" 2>/dev/null | tr '\n' ' ')" = "Other.lnk "
check "the uninstall entry is gone" no_key "$app_key"
wine_stop
wait $uninstaller 2>/dev/null

finish
