#!/usr/bin/env bash
# The wizard as a user walks it, with real clicks: the downloaded setup.exe
# against the vendor's server on a loopback port. A proxy that does not
# answer makes the first request fail; the user switches to a direct
# connection in the internet settings and goes on; walks to the path and
# back; changes the language; installs; and Finish starts the application.
#   wizard_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe> <wizprobe.exe> [shots-dir]
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 PROBE=$6 SHOTS=${7:-$BUILD/tests/e2e/wizard}
. "$SRC/tests/e2e/lib.sh"
mkdir -p "$SHOTS"
# Saving the desktop link would start Wine's menu builder, which mirrors it
# on the host.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

work=$(mktemp -d /tmp/ws_wizard.XXXXXX)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wine_stop
  wine_run reg delete 'HKLM\Software\Brellik\Internet Settings' /f >/dev/null 2>&1
  wine_run reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\WebsetupDemo' \
    /f >/dev/null 2>&1
  wine_stop
  rm -rf "$work" "$drive/wizard test"
  find "$drive/users" -name 'websetup Demo.lnk' -delete 2>/dev/null
  find "$drive/users" -type d -path '*/Programs/websetup' -prune -exec rm -rf {} + 2>/dev/null
}
trap cleanup EXIT
drive="$BUILD/wineprefix/drive_c"

shot() { sleep 0.5; import -window root "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"; }
requests() { grep -c " $1 " "$work/serve.log"; }

# The vendor's release and server, and the stamped download.
mkdir -p "$work/app"
cp "$DEMOAPP" "$work/app/demoapp.exe"
printf '1.0\r\n' >"$work/app/version.txt"
"$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
  >/dev/null || { echo "FAIL publish"; exit 1; }
start_server "$work/store" "$work/serve.log"
check "the server listens (port $port)" test -n "$port"
mkdir -p "$work/download"
"$WEBSETUP" stamp "$SETUP" "$work/download/setup.exe" "127.0.0.1:$port" >/dev/null

# A manual proxy on a port where nothing listens.
key='HKLM\Software\Brellik\Internet Settings'
wine_run reg add "$key" /v lib /d WinInet /f >/dev/null 2>&1
wine_run reg add "$key" /v method /d manual /f >/dev/null 2>&1
wine_run reg add "$key" /v proxy-host /d 127.0.0.1 /f >/dev/null 2>&1
wine_run reg add "$key" /v proxy-port /t REG_DWORD /d 9 /f >/dev/null 2>&1

wine_run "$work/download/setup.exe" &
wizard_pid=$!
check "the wizard opens on the Language page" wait_page Language
check "in Dutch" test "$(wizard | item title)" = "Installatie Programma"
check "with Nederlands chosen" test "$(wizard | item combo | cut -d' ' -f3-)" = "Nederlands"
shot wizard-nl-language

# Next: the request fails at the proxy; the error box, and still Language.
next
box=$(wine_run "$PROBE" Install 10 2>/dev/null | tr -d '\r' | awk -v RS= '!/(^|\n)page /')
check "a failed request shows the error box ($(item static <<<"$box"))" \
  grep -q '^static .*Exception' <<<"$box"
shot wizard-nl-error-box
ok=$(item button <<<"$box")
at=$(item client <<<"$box")
xdotool mousemove $(( ${at% *} + ${ok%% *} + 10 )) $(( ${at#* } + $(cut -d' ' -f2 <<<"$ok") + 5 )) click 1
sleep 1
check "the wizard stays on Language" wait_page Language
check "nothing reached the server" test "$(requests 'hi!')" = 0

# The internet settings: a direct connection, then OK.
click 170 278
dialog=$(wine_run "$PROBE" Internet 20 2>/dev/null | tr -d '\r')
check "the internet settings open" test -n "$dialog"
shot wizard-nl-internet-settings
dat=$(item client <<<"$dialog")
dx=${dat% *} dy=${dat#* }
xdotool mousemove $((dx + 14)) $((dy + 146)) click 1 # Direct connection
sleep 0.5
xdotool mousemove $((dx + 231)) $((dy + 300)) click 1 # OK in the button bar
sleep 1
stored=$(wine_run reg query "$key" 2>/dev/null | tr -d '\r')
check "the dialog stored a direct connection" grep -q 'method.*direct' <<<"$stored"
check "and kept the proxy of the disabled field" grep -q 'proxy-host.*127.0.0.1' <<<"$stored"

# Next again: a new connection with the new settings.
next
check "the product request goes through to Welcome" wait_page Welcome
check "one session was opened" test "$(requests 'hi!')" = 1
check "one product request was made" test "$(requests admin:getProductInfo)" = 1
shot wizard-nl-welcome

next
check "Next goes to InstallPath" wait_page InstallPath
check "the path is the manifest's" \
  test "$(wizard | item edit | cut -d' ' -f3-)" = 'C:\Program Files\websetup Demo\'
shot wizard-nl-installpath
# The user types another path.
click 300 250
xdotool key End shift+Home
xdotool type --delay 30 'C:\wizard test'
sleep 0.5
check "the typed path is in the field" test "$(wizard | item edit | cut -d' ' -f3-)" = 'C:\wizard test'
previous
check "Previous goes back to Welcome" wait_page Welcome
next
check "and Next to InstallPath again" wait_page InstallPath
check "the typed path stays" test "$(wizard | item edit | cut -d' ' -f3-)" = 'C:\wizard test'
previous
previous
check "back on Language" wait_page Language
next
check "Next after a success goes on" wait_page Welcome
check "without a second request" test "$(requests admin:getProductInfo)" = 1
previous

# English, from the list.
click 200 186
xdotool key Down Return
sleep 1
check "English re-titles the window" test "$(wizard | item title)" = "Install Program"
check "with English chosen" test "$(wizard | item combo | cut -d' ' -f3-)" = "English"
shot wizard-en-language
next
wait_page Welcome >/dev/null
shot wizard-en-welcome
next
check "the path survived the language change" \
  test "$(wizard | item edit | cut -d' ' -f3-)" = 'C:\wizard test'
shot wizard-en-installpath

# Install, then Finish starts the application.
next
check "the installation ends on Done" wait_page Done
shot wizard-en-done
check "the launcher copy is in the chosen directory" test -f "$drive/wizard test/WebsetupDemo.exe"
check "the record says English" test "$(cat "$drive/wizard test/WebsetupDemo.lng")" = en
check "the application is in place" cmp -s "$drive/wizard test/demoapp.exe" "$DEMOAPP"
click 430 314
title=$(window_title "websetup demo" 30)
check "Finish starts the application ($title)" test "$title" = "websetup demo - version 1.0"
for _ in $(seq 300); do kill -0 $wizard_pid 2>/dev/null || break; sleep 0.2; done
check "and the wizard has ended" test ! -e /proc/$wizard_pid
wine_stop
wait $wizard_pid 2>/dev/null

# The installed copy asked for the wizard again, its record written in
# capitals by hand: English from the first paint.
printf 'EN' >"$drive/wizard test/WebsetupDemo.lng"
wine_run "$drive/wizard test/WebsetupDemo.exe" /force-setup &
again=$!
check "/force-setup opens the wizard on Language" wait_page Language
check "a remembered \"EN\" titles it in English" test "$(wizard | item title)" = "Install Program"
check "with English chosen" test "$(wizard | item combo | cut -d' ' -f3-)" = "English"
shot wizard-en-remembered
check "and asks the server nothing yet" test "$(requests admin:getProductInfo)" = 1
wine_stop
wait $again 2>/dev/null

finish
