#!/usr/bin/env bash
# Faults in the middle of an update, under Wine against the real server: a
# proxy of the test's own (faultproxy.py) between the launcher and the server
# kills the server, resets or truncates the connection, or trickles the rest
# of the answer at one byte a second or stops sending it, at a sampled byte of a sampled file's
# answer; or the launcher itself is killed at a sampled point of an update of
# many files. After each fault every file of the installation holds its old
# or its new content; the next start of the launcher completes the update,
# leaves no temporary file and starts the new version of the application.
#   faults_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe>
#                  <installhelper.exe> <wizprobe.exe> <libcurl-4.dll> [samples [back-ends]]
# samples 0 (the default) runs the fixed set of `./run test`; N > 0 runs N
# random samples of each fault kind on each back end named (default: all
# three). WS_FAULT_SEED repeats a sweep.
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 INSTALLHELPER=$6 PROBE=$7 CURLDLL=$8
SAMPLES=${9:-0} BACKENDS=${10:-Indy WinInet libcurl}
. "$SRC/tests/e2e/lib.sh"

seed=${WS_FAULT_SEED:-$$}
RANDOM=$seed
echo "seed $seed"

work=$(mktemp -d /tmp/ws_faults.XXXXXX)
server= proxy=
cleanup() {
  [ -n "$proxy" ] && kill "$proxy" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wine_stop
  # The prefix is shared with the other tests: they expect the default back end.
  backend Indy
  rm -rf "$work"
}

# The files of the changed release: each file answer is larger than the
# proxy's threshold, the small answers of the session stay below it.
FILES=12
FILE_SIZE=40000

release() {
  local dir=$1 version=$2 when=$3 i
  mkdir -p "$dir/data"
  cp "$DEMOAPP" "$dir/demoapp.exe"
  cp "$CURLDLL" "$dir/libcurl-4.dll"
  printf '%s\r\n' "$version" >"$dir/version.txt"
  for i in $(seq -w 1 $FILES); do
    head -c $FILE_SIZE /dev/urandom >"$dir/data/f$i.bin"
  done
  touch -d "$when" "$dir"/* "$dir"/data/*
}

publish() {
  "$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$1" \
    >"$work/publish.log" 2>&1 || { echo "FAIL publish: $(cat "$work/publish.log")"; exit 1; }
}

# The proxy on the port stamped into the launcher: $1... are its fault options.
start_proxy() {
  [ -n "$proxy" ] && { kill "$proxy" 2>/dev/null; wait "$proxy" 2>/dev/null; }
  : >"$work/progress"
  python3 "$SRC/tests/e2e/faultproxy.py" --listen "${pport:-0}" --upstream "$port" \
    --progress "$work/progress" "$@" >"$work/proxy.out" 2>>"$work/proxy.log" &
  proxy=$!
  local p=
  for _ in $(seq 100); do
    p=$(sed -n 's/^listening //p' "$work/proxy.out")
    [ -n "$p" ] && break
    sleep 0.1
  done
  pport=$p
}

ensure_server() {
  if [ -z "$server" ] || ! kill -0 "$server" 2>/dev/null; then
    [ -n "$server" ] && wait "$server" 2>/dev/null
    local old=${port:-}
    # A server started again takes the port of the one killed.
    "$WEBSETUP" serve --store "$work/store" --port "${old:-0}" --threads 2 >"$work/serve.out" \
      2>>"$work/serve.log" &
    server=$!
    port=$(listening_port "$work/serve.out")
  fi
}

backend() {
  local key='HKLM\Software\Brellik\Internet Settings'
  if [ "$1" = Indy ]; then
    wine_run reg delete "$key" /v lib /f >/dev/null 2>&1
  else
    wine_run reg add "$key" /v lib /d "$1" /f >/dev/null 2>&1
  fi
}

# Every file of the installation: its old or new content ("new" demands the
# new one), no file that neither the release nor a clean installation holds,
# and no temporary file when $2 is "clean".
files_sound() {
  local want=$1 clean=${2:-} f rel bad=0
  while IFS= read -r f; do
    rel=${f#"$inst"/}
    if [ -f "$work/app2/$rel" ] && cmp -s "$f" "$work/app2/$rel"; then continue; fi
    if [ "$want" = old-or-new ] && [ -f "$work/app1/$rel" ] && cmp -s "$f" "$work/app1/$rel"; then
      continue
    fi
    if [ ! -f "$work/app2/$rel" ] && grep -qxF "$rel" "$work/extras"; then continue; fi
    if [ "$clean" != clean ] && [[ "$rel" == *.~ws ]]; then continue; fi
    echo "  $rel: neither $([ "$want" = new ] && echo "the new content" || echo "old nor new")"
    bad=1
  done < <(find "$inst" -type f | sort)
  for f in $(cd "$work/app2" && find . -type f | sed 's|^\./||'); do
    [ -f "$inst/$f" ] || [ "$want" = old-or-new ] || { echo "  $f: missing"; bad=1; }
  done
  return $bad
}

# The launcher's windows: the application of version $1 started, or the error
# box beside the wizard (two windows whose title starts as the wizard's).
app_runs() { xdotool search --onlyvisible --name "^websetup demo - version $1\$" >/dev/null 2>&1; }
error_shown() { [ "$(xdotool search --onlyvisible --name '^Install' 2>/dev/null | wc -l)" -ge 2 ]; }

# Waits up to $1 seconds for the launcher to give up (the error box) or to
# finish (the new version runs); prints which.
outcome() {
  for _ in $(seq $(($1 * 2))); do
    if app_runs 2.0; then echo done; return; fi
    if error_shown; then echo error; return; fi
    sleep 0.5
  done
  echo none
}

# What the proxy saw, and the screen, when the launcher did not end as it should.
tell() {
  echo "  proxy: $(tr '\n' ' ' <"$work/progress")"
  tail -3 "$work/proxy.log" | sed 's/^/  /'
  if [ -n "${WS_FAULT_SHOTS:-}" ]; then
    import -window root "$WS_FAULT_SHOTS/fault-$SECONDS.png" && echo "  screenshot: $WS_FAULT_SHOTS/fault-$SECONDS.png"
  fi
}

fresh_installation() {
  wine_stop
  rm -rf "$inst"
  cp -a "$work/inst1" "$inst"
}

# The next start after a fault: the update completes and version 2.0 runs.
next_start() {
  local what=$1
  ensure_server
  start_proxy
  wine_run "$inst/WebsetupDemo.exe" >/dev/null 2>&1 &
  local o
  o=$(outcome 120)
  check "$what: the next start completes the update ($o)" test "$o" = done
  [ "$o" = done ] || tell
  check "$what: then every file is new and no temporary file is left" files_sound new clean
  wine_stop
}

# One fault in one file's answer, then the next start.
fault_sample() {
  local be=$1 kind=$2 answer=$3 offset=$4 patience=$5
  local what="$be $kind at byte $offset of file answer $answer"
  fresh_installation
  ensure_server
  start_proxy --fault "$kind" --answer "$answer" --offset "$offset" --server-pid "$server"
  local t0=$SECONDS
  wine_run "$inst/WebsetupDemo.exe" >/dev/null 2>&1 &
  local o
  o=$(outcome "$patience")
  check "$what: the launcher fails or completes ($o after $((SECONDS - t0)) s)" test "$o" != none
  [ "$o" = none ] && tell
  check "$what: the fault struck" grep -q '^fired' "$work/progress"
  check "$what: every file is old or new" files_sound old-or-new
  wine_stop
  next_start "$what"
}

launcher_gone() { ! pgrep -f "^$inst/WebsetupDemo.exe" >/dev/null; }

# The launcher's own process killed by the proxy $4 ms after byte $3 of file
# answer $2 reached it (a byte past the answer's end: after all of it).
kill_sample() {
  local be=$1 answer=$2 offset=$3 delay=$4
  local what="$be launcher killed $delay ms after byte $offset of file answer $answer"
  fresh_installation
  ensure_server
  start_proxy --fault client --answer "$answer" --offset "$offset" --delay "$delay" \
    --client-pid-file "$work/launcher.pid"
  # wine-run.sh and wine hand on their process to the program's, so with exec
  # the job's process is the launcher itself; a function in the background
  # would be a shell of its own, and the kill would end only that shell.
  (exec "$SRC/cmake/wine-run.sh" "$BUILD" "$inst/WebsetupDemo.exe" >/dev/null 2>&1) &
  local launcher=$!
  echo "$launcher" >"$work/launcher.pid"
  for _ in $(seq 1200); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.05; done
  wait "$launcher" 2>/dev/null
  local rc=$?
  check "$what: the launcher was killed (status $rc)" grep -q '^fired' "$work/progress"
  check "$what: no launcher runs on" launcher_gone
  check "$what: every file is old or new" files_sound old-or-new
  wine_stop
  next_start "$what"
}

trap cleanup EXIT
backend Indy
mkdir -p "$work/store"
release "$work/app1" 1.0 '2024-01-01 10:00:00'
release "$work/app2" 2.0 '2024-02-01 10:00:00'
cp "$work/app1/demoapp.exe" "$work/app2/demoapp.exe"
cp "$work/app1/libcurl-4.dll" "$work/app2/libcurl-4.dll"
touch -d '2024-01-01 10:00:00' "$work/app2/demoapp.exe" "$work/app2/libcurl-4.dll"
publish "$work/app1"
ensure_server
check "the server listens (port $port)" test -n "$port"
start_proxy
check "the proxy listens (port $pport)" test -n "$pport"

# Release 1 installed through the proxy, and started once so that whatever
# a clean installation keeps beside the release's files is there.
"$WEBSETUP" stamp "$SETUP" "$work/setup.exe" "127.0.0.1:$pport" >/dev/null
inst="$work/inst"
# The launcher copy, its record, and the record of the files it verified.
printf 'WebsetupDemo.exe\nWebsetupDemo.lng\nwebsetup.~wsv\n' >"$work/extras"
wine_run "$INSTALLHELPER" "127.0.0.1:$pport" "$(winpath "$work/setup.exe")" "$(winpath "$inst")" en \
  >/dev/null
check "release 1 is installed" cmp -s "$inst/data/f01.bin" "$work/app1/data/f01.bin"
check "with nothing else" files_sound old-or-new clean
wine_run "$inst/WebsetupDemo.exe" >/dev/null 2>&1 &
for _ in $(seq 120); do app_runs 1.0 && break; sleep 0.5; done
check "release 1 runs" app_runs 1.0
wine_stop
(cd "$inst" && find . -type f | sed 's|^\./||' | sort) >"$work/extras"
cp -a "$inst" "$work/inst1"
publish "$work/app2"

# A client gives up on an answer that trickles within this many seconds
# (its patience, or the head of an answer trickled a byte a second), or fails at once.
PATIENCE=150
for be in $BACKENDS; do
  backend "$be"
  if [ "$SAMPLES" = 0 ]; then
    # The fixed share: every kind on the default back end, the answer's
    # head and body cut; the give-up on the others.
    case $be in
    Indy)
      fault_sample "$be" kill 2 20000 "$PATIENCE"
      fault_sample "$be" reset 1 30 "$PATIENCE"
      fault_sample "$be" truncate 3 39000 "$PATIENCE"
      fault_sample "$be" trickle 1 40 "$PATIENCE"
      kill_sample "$be" 4 25000 0
      kill_sample "$be" 9 99999 4
      ;;
    WinInet)
      fault_sample "$be" trickle 1 200 "$PATIENCE"
      fault_sample "$be" stall 3 26000 "$PATIENCE"
      ;;
    *)
      fault_sample "$be" trickle 2 12000 "$PATIENCE"
      ;;
    esac
    continue
  fi
  for _ in $(seq "$SAMPLES"); do
    for kind in kill reset truncate trickle stall; do
      fault_sample "$be" "$kind" $((RANDOM % FILES + 1)) $((RANDOM * 2 % (FILE_SIZE + 200))) "$PATIENCE"
    done
    kill_sample "$be" $((RANDOM % FILES + 1)) $((RANDOM * 2 % (FILE_SIZE + 20000))) $((RANDOM % 80))
  done
done

finish
