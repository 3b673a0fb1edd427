#!/usr/bin/env bash
# Signed releases: a vendor signs what it publishes and hands out a setup.exe
# stamped with its public key. That copy installs, launches and updates the
# signed release, and refuses, starting nothing and changing no file: a
# manifest altered by one byte, a release signed with another key, an expired
# release, an older release after a newer one was taken, a file whose content
# was swapped in the store, and a file that inflates beyond its signed size.
# The launcher shows the Error page for a refused release and the error box
# for a refused file; the setup wizard shows the refusal in its error box.
#   signing_test.sh <source-dir> <windows-build-dir> <websetup> <resealer> <setup.exe>
#                   <demoapp.exe> <installhelper.exe> <wizprobe.exe> [shots-dir]
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 RESEALER=$4 SETUP=$5 DEMOAPP=$6 INSTALLHELPER=$7 PROBE=$8 SHOTS=${9:-}
. "$SRC/tests/e2e/lib.sh"

make_work ws_signing

store="$work/store"
inst="$work/inst"
host=
shot() { [ -n "$SHOTS" ] && sleep 1 && import -window root "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"; }

publish() {
  "$WEBSETUP" publish --store "$store" --description "$SRC/demo/release/demo.ini" \
    --sign-key "$work/vendor.key" "$@" "$work/app" 2>/dev/null
}
# The store's current release, switched as a publish switches it.
make_current() { printf '%s\n' "$1" >"$store/current.new" && mv "$store/current.new" "$store/current"; }
# A release of the store that no publish made: its manifest from stdin.
forge_release() {
  mkdir -p "$store/releases/$1"
  cp "$store/releases/1/product" "$store/releases/$1/product"
  cat >"$store/releases/$1/manifest"
  make_current "$1"
}
# The content identifier the current release lists for a file name.
content_id() {
  sed -n "s/^|-\([0-9]*\),[^,]*,[^,]*,[^,]*,[^,]*,$1\r\$/\1/p" \
    "$store/releases/$(cat "$store/current")/manifest"
}
# Replaces a stored blob, and its size in the index, as a break-in would.
swap_blob() {
  local id=$1 blob=$2 size
  cp "$blob" "$store/blobs/$id"
  size=$(stat -c %s "$blob")
  awk -v id="$id" -v size="$size" '$2 == id { $3 = size } { print }' "$store/index" >"$store/index.new"
  mv "$store/index.new" "$store/index"
}
snapshot() { (cd "$inst" && find . -type f -exec sha256sum {} + | sort); }
# The installation's files but the record of the newest release taken (a
# release whose signature holds is taken even when one of its files is not)
# and the record of verified files, which a scan may bring up to date.
targets() { snapshot | grep -v -e ' \./WebsetupDemo\.release$' -e ' \./websetup\.~wsv$'; }
temporaries() { find "$inst" -name '*.~ws' | wc -l; }

# Runs the installhelper (the install and update procedure's work) with the
# signed setup.exe; its messages, translated to English, in $helper_out.
helper() {
  helper_out=$(wine_run "$INSTALLHELPER" "$host" "$(winpath "$work/signed.exe")" \
    "$(winpath "$1")" en 2>&1)
}

# The launcher copy starts: either the application or the error page.
launcher_starts_app() {
  local what=$1 version=$2 title
  timeout 60 "$SRC/cmake/wine-run.sh" "$BUILD" "$inst/WebsetupDemo.exe"
  title=$(window_title "websetup demo" 30)
  check "$what: the application runs ($title)" test "$title" = "websetup demo - version $version"
  check "$what: no installer window" \
    test -z "$(xdotool search --onlyvisible --name '^Install' 2>/dev/null)"
  wine_stop
}
no_app() { test -z "$(xdotool search --onlyvisible --name '^websetup demo' 2>/dev/null)"; }
launcher_refuses() {
  local what=$1 name=$2 before launcher page
  before=$(snapshot)
  wine_run "$inst/WebsetupDemo.exe" &
  launcher=$!
  page=$(wizard_page 120)
  check "$what: the launcher shows the Error page ($page)" test "$page" = "Error"
  check "$what: nothing is started" no_app
  shot "$name"
  wine_stop
  wait $launcher
  check "$what: no file of the installation changed" test "$(snapshot)" = "$before"
}
# The error box over the wizard (the probe's block without a page): its
# text, waiting up to $1 seconds for it.
error_box() {
  local text end=$((SECONDS + $1))
  while [ $SECONDS -lt $end ]; do
    text=$(wine_run "$PROBE" Install 10 2>/dev/null | tr -d '\r' | awk -v RS= '!/(^|\n)page /' |
      sed -n 's/^static //p' | tr '\n' ' ')
    [ -n "$text" ] && break
    sleep 0.5
  done
  echo "$text"
}
# The launcher starts the update of a release one of whose files is refused:
# the error box says so, the application is not started, no target changes.
update_refused() {
  local what=$1 name=$2 before launcher box
  before=$(targets)
  wine_run "$inst/WebsetupDemo.exe" &
  launcher=$!
  box=$(error_box 120)
  check "$what: the update shows the error box ($box)" \
    grep -qF "does not match the release signed by" <<<"$box"
  shot "$name"
  check "$what: nothing is started" no_app
  wine_stop
  wait $launcher
  check "$what: no target file changed" test "$(targets)" = "$before"
  check "$what: no temporary file is left" test "$(temporaries)" = 0
}
# A fresh installation from the current release is refused with the text.
install_refused() {
  local what=$1 text=$2 fresh="$work/fresh.$RANDOM"
  helper "$fresh"
  check "$what: a new installation is refused ($helper_out)" grep -qF "$text" <<<"$helper_out"
  check "$what: it wrote no file" test -z "$(find "$fresh" -type f 2>/dev/null)"
}

# --- the vendor: a key pair, a signed release, a stamped setup.exe -------------
"$WEBSETUP" keygen --out "$work/vendor.key" >/dev/null || { echo "FAIL keygen"; exit 1; }
"$WEBSETUP" keygen --out "$work/stranger.key" >/dev/null

mkdir -p "$work/app"
cp "$DEMOAPP" "$work/app/demoapp.exe"
printf '1.0\r\n' >"$work/app/version.txt"
printf 'colour=blue\r\n' >"$work/app/settings.ini"
head -c 1500000 /dev/urandom >"$work/app/data.bin"
touch -d '2024-01-01 10:00:00' "$work/app/"*
publish >/dev/null || { echo "FAIL publish"; exit 1; }

start_server "$store" "$work/serve.log"
pids+=("$server")
check "the server listens (port $port)" test -n "$port"
host="127.0.0.1:$port"
"$WEBSETUP" stamp "$SETUP" "$work/signed.exe" "$host" --public-key "$work/vendor.key.pub" >/dev/null
check "stamp writes a copy with the key" grep -qF "$(cat "$work/vendor.key.pub")" "$work/signed.exe"

# --- a signed release installs and launches ------------------------------------
helper "$inst"
check "the signed release installs ($helper_out)" cmp -s "$inst/demoapp.exe" "$work/app/demoapp.exe"
check "the installation took release 1" test "$(cat "$inst/WebsetupDemo.release" 2>/dev/null)" = 1
launcher_starts_app "a signed release" 1.0
shot signing-launch

# --- a manifest altered by one byte --------------------------------------------
sed 's/^payloadName=demoapp\.exe/payloadName=demoapq.exe/' "$store/releases/1/manifest" |
  forge_release 101
check "the forged manifest differs in one byte" \
  test "$(cmp -l "$store/releases/1/manifest" "$store/releases/101/manifest" | wc -l)" = 1
launcher_refuses "a manifest altered by one byte" signing-altered
install_refused "a manifest altered by one byte" "not signed by its maker"
# The downloaded copy in the setup role: Next on the Language page asks for
# the product information, and the refusal shows in the error box, in Dutch.
mkdir -p "$work/download"
cp "$work/signed.exe" "$work/download/setup.exe"
wine_run "$work/download/setup.exe" &
wizard_pid=$!
page=$(wizard_page 120)
check "the setup wizard opens on the Language page ($page)" test "$page" = "Language"
at=$(wine_run "$PROBE" Install 5 2>/dev/null | tr -d '\r' | sed -n 's/^client //p' | head -1)
xdotool mousemove $((${at% *} + 431)) $((${at#* } + 314)) click 1 # Next
box=$(error_box 30)
check "the setup wizard shows the refusal in its error box ($box)" \
  grep -qF "niet door de maker is ondertekend" <<<"$box"
shot signing-setup-refused
wine_stop
wait $wizard_pid

# --- a release signed with another key -----------------------------------------
"$WEBSETUP" resign --store "$store" --sign-key "$work/stranger.key" >/dev/null
launcher_refuses "another key's signature" signing-stranger
install_refused "another key's signature" "not signed by its maker"

# --- an expired release ----------------------------------------------------------
"$RESEALER" "$work/vendor.key" "$store/releases/1/manifest" number=103 \
  expires=$(($(date +%s) - 60)) | forge_release 103
launcher_refuses "an expired release" signing-expired
install_refused "an expired release" "has expired"

# --- an older release after a newer one was taken ------------------------------
printf '2.0\r\n' >"$work/app/version.txt"
touch -d '2024-02-01 10:00:00' "$work/app/version.txt"
publish >/dev/null
newer=$(cat "$store/current")
wine_run "$inst/WebsetupDemo.exe" &
launcher=$!
page=$(wizard_page 120)
check "a newer signed release shows the Update page ($page)" test "$page" = "Update"
title=$(window_title "websetup demo" 60)
check "the updated application runs ($title)" test "$title" = "websetup demo - version 2.0"
wine_stop
wait $launcher
check "the launcher took release $newer" \
  test "$(cat "$inst/WebsetupDemo.release" 2>/dev/null)" = "$newer"
check "the update brought version 2.0" grep -q '^2.0' "$inst/version.txt"
make_current 1
launcher_refuses "an older release" signing-rollback
before=$(snapshot)
helper "$inst"
check "an older release is refused by the update ($helper_out)" \
  grep -qF "than the one already installed" <<<"$helper_out"
check "the refused update changed no file" test "$(snapshot)" = "$before"
check "the record still names release $newer" \
  test "$(cat "$inst/WebsetupDemo.release" 2>/dev/null)" = "$newer"
make_current "$newer"

# --- a file whose content was swapped in the store -----------------------------
printf '3.0\r\n' >"$work/app/version.txt"
touch -d '2024-03-01 10:00:00' "$work/app/version.txt"
publish >/dev/null
id=$(content_id 'version\.txt')
python3 -c 'import sys, zlib; sys.stdout.buffer.write(zlib.compress(b"9.9\r\n"))' >"$work/swapped.blob"
swap_blob "$id" "$work/swapped.blob"
update_refused "swapped content" signing-swapped
check "swapped content: version.txt is untouched" grep -q '^2.0' "$inst/version.txt"
before=$(targets)
helper "$inst"
check "swapped content is refused by the update procedure ($helper_out)" \
  grep -qF "does not match the release signed by" <<<"$helper_out"
check "swapped content: still no target file changed" test "$(targets)" = "$before"
# The server may hold a small blob it has read; the vendor's next release
# brings content of its own.
printf '3.1\r\n' >"$work/app/version.txt"
touch -d '2024-03-02 10:00:00' "$work/app/version.txt"
publish >/dev/null
helper "$inst"
check "the next signed release is taken ($helper_out)" grep -q '^3.1' "$inst/version.txt"

# --- a file that inflates beyond its signed size --------------------------------
head -c 1500000 /dev/urandom >"$work/app/data.bin"
touch -d '2024-04-01 10:00:00' "$work/app/data.bin"
publish >/dev/null
id=$(content_id 'data\.bin')
# About 1 MB of stream that inflates to 1 GB of zeros.
python3 -c '
import sys, zlib
z, zeros = zlib.compressobj(9), bytes(1 << 20)
out = sys.stdout.buffer
for _ in range(1024):
    out.write(z.compress(zeros))
out.write(z.flush())' >"$work/bomb.blob"
check "the bomb is about 1 MB ($(stat -c %s "$work/bomb.blob") bytes)" \
  test "$(stat -c %s "$work/bomb.blob")" -lt 1500000
swap_blob "$id" "$work/bomb.blob"
update_refused "the bomb" signing-bomb

finish
