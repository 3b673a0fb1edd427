#!/usr/bin/env bash
# The launcher copy's start with nothing to fetch, the whole road under Wine:
# an installation of 10,000 files / 1 GB made through the real client from
# `websetup serve` on loopback, then the stamped launcher copy started again
# and again. Its time runs from the start of the launcher copy to the start of
# the application it launches; the anchor is a bare recursive listing of the
# same directory by a program started the same way. "before" takes the record
# of verified files away before each start, so that the check reads every
# file for its CRC-32 as it did without one.
#
#   launcher_bench.sh <build root>     (with build/linux and build/windows)
#
#   ratio launcher-nochange-10k-e2e <listing's time / launcher's time>
#   ratio launcher-nochange-10k-e2e-before <the same without the record>
#
# Needs a display (./run bench starts one) and some 3 GB free.
set -uo pipefail
root=$(cd "$1" && pwd)
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$root/windows
. "$SRC/tests/e2e/lib.sh"
WEBSETUP=$root/linux/tools/websetup/websetup
setup=$BUILD/src/setup/setup.exe
helper=$BUILD/tests/e2e/installhelper.exe
probe=$BUILD/tests/bench/launch_probe.exe
runs=5

for need in "$WEBSETUP" "$setup" "$helper" "$probe"; do
  [ -e "$need" ] || { echo "launcher_bench: $need is missing (./run build)"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/ws_launcher_bench.XXXXXX")
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "launcher benchmark: 10,000 files / 1 GB under Wine, from the launcher copy's start to the application's"
# 100 directories of 100 files of 100 KB, about half of each compressing.
python3 - "$work/app" <<'PY'
import os, sys
top = sys.argv[1]
size = (1 << 30) // 10000
text = b"websetup launcher benchmark line, words that repeat\r\n" * (size // 40)
for d in range(100):
    sub = os.path.join(top, "d%02d" % d)
    os.makedirs(sub)
    for f in range(100):
        with open(os.path.join(sub, "f%02d.bin" % f), "wb") as out:
            out.write(os.urandom(size // 2) + text[: size - size // 2])
PY
cp "$probe" "$work/app/launch_probe.exe"
# The vendor's build times, which fetched files never have.
find "$work/app" -type f -exec touch -d '2024-01-01 10:00:00' {} +
cat >"$work/release.ini" <<'INI'
[installer]
displayName=Launcher benchmark
appName=LauncherBench
appDir=C:\LauncherBench\
payloadName=launch_probe.exe

[masks]
|*
INI
start=$(date +%s.%N)
"$WEBSETUP" publish --store "$work/store" --description "$work/release.ini" "$work/app" >"$work/publish.log" 2>&1 \
  || { echo "launcher_bench: publishing failed"; cat "$work/publish.log"; exit 1; }
rm -rf "$work/app"
printf '  published in %.1f s\n' "$(awk "BEGIN { print $(date +%s.%N) - $start }")"

start_server "$work/store" "$work/serve.log"
[ -n "$port" ] || { echo "launcher_bench: the server did not start"; exit 1; }
"$WEBSETUP" stamp "$setup" "$work/setup.exe" "127.0.0.1:$port" >/dev/null \
  || { echo "launcher_bench: stamping failed"; exit 1; }

inst=$work/inst
start=$(date +%s.%N)
wine_run "$helper" "127.0.0.1:$port" "$(winpath "$work/setup.exe")" "$(winpath "$inst")" en >"$work/install.log" 2>&1 \
  || { echo "launcher_bench: installing failed"; cat "$work/install.log"; exit 1; }
printf '  installed through the client in %.1f s\n' "$(awk "BEGIN { print $(date +%s.%N) - $start }")"

export WS_LAUNCH_PROBE_OUT
WS_LAUNCH_PROBE_OUT=$(winpath "$work/started")
# Seconds from the launcher copy's start to the application's; "failed" when
# the application did not start.
launch_seconds() {
  rm -f "$work/started"
  local t0
  t0=$(date +%s.%N)
  timeout 300 "$SRC/cmake/wine-run.sh" "$BUILD" "$inst/LauncherBench.exe" >/dev/null 2>&1
  for _ in $(seq 100); do
    [ -s "$work/started" ] && break
    sleep 0.05
  done
  [ -s "$work/started" ] || { echo failed; return; }
  awk "BEGIN { print $(cat "$work/started") - $t0 }"
}
listing_seconds() {
  local t0
  t0=$(date +%s.%N)
  entries=$(timeout 300 "$SRC/cmake/wine-run.sh" "$BUILD" "$probe" list "$(winpath "$inst")" | tr -d '\r')
  awk "BEGIN { print $(date +%s.%N) - $t0 }"
}
best() { sort -g | head -1; }

# The Wine server stays up between the starts, as on a desktop in use.
WINEPREFIX=$BUILD/wineprefix wineserver -p60 >/dev/null 2>&1
first=$(launch_seconds)
after=$(for _ in $(seq $runs); do launch_seconds; done | best)
before=$(for _ in $(seq 3); do rm -f "$inst/websetup.~wsv"; launch_seconds; done | best)
listing=$(for _ in $(seq $runs); do listing_seconds; done | best)
entries=$(timeout 300 "$SRC/cmake/wine-run.sh" "$BUILD" "$probe" list "$(winpath "$inst")" | tr -d '\r')
wine_stop

for t in "$first" "$after" "$before"; do
  [ "$t" = failed ] && { echo "launcher_bench: the application did not start"; exit 1; }
done
printf '  %-56s %7.3f s  (%s entries)\n' "bare recursive listing (a program under Wine)" "$listing" "$entries"
printf '  %-56s %7.3f s\n' "before: without the record (every file read)" "$before"
printf '  %-56s %7.3f s\n' "first start after the installation" "$first"
printf '  %-56s %7.3f s\n' "after: with the record" "$after"
printf 'ratio launcher-nochange-10k-e2e %.2f\n' "$(awk "BEGIN { print $listing / $after }")"
printf 'ratio launcher-nochange-10k-e2e-before %.2f\n' "$(awk "BEGIN { print $listing / $before }")"
