# Shared helpers of the end-to-end tests: run Windows programs under Wine in
# the build folder's prefix, Windows paths for Unix ones, checks that count.
# Callers set BUILD (the Windows build folder) and SRC (the source tree).

wine_run() { "$SRC/cmake/wine-run.sh" "$BUILD" "$@"; }

# Z: is the Unix root in every Wine prefix.
winpath() { local p; p=$(readlink -m "$1"); echo "Z:${p//\//\\}"; }

PASSED=0
FAILED=0
check() {
  local what=$1; shift
  if "$@"; then
    PASSED=$((PASSED + 1)); echo "ok   $what"
  else
    FAILED=$((FAILED + 1)); echo "FAIL $what"
  fi
}

finish() {
  echo "$PASSED passed, $FAILED failed"
  [ "$FAILED" = 0 ]
}

# The title of the first visible top-level window whose name starts with $1,
# waiting up to $2 seconds.
window_title() {
  local prefix=$1 wait=${2:-20} id
  for _ in $(seq $((wait * 5))); do
    id=$(xdotool search --onlyvisible --name "^$prefix" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      xdotool getwindowname "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Ends every Wine process of the prefix and waits until its server is gone,
# so the next start does not meet a server on its way out.
wine_stop() {
  WINEPREFIX="$BUILD/wineprefix" wineserver -k >/dev/null 2>&1
  WINEPREFIX="$BUILD/wineprefix" wineserver -w >/dev/null 2>&1
  return 0
}

# The page the wizard shows, as the probe (wizprobe.exe, in $PROBE) sees it
# from outside: waits up to $1 seconds (default 20) for the wizard's window.
wizard_page() {
  wine_run "$PROBE" Install "${1:-20}" 2>/dev/null | tr -d '\r' | sed -n 's/^page //p' | head -1
}

# Starts "$WEBSETUP" serve on store $1 on a free loopback port, its log in $2
# (the access log included); sets `server` (its process) and `port` (empty
# when it did not come up).
start_server() {
  "$WEBSETUP" serve --store "$1" --port 0 --threads 2 >"$2" 2>&1 &
  server=$!
  port=$(listening_port "$2")
}

# A temporary folder $work for the script: at its exit every process in
# $pids is ended, the prefix's Wine processes too, and the folder removed.
make_work() {
  work=$(mktemp -d "/tmp/$1.XXXXXX")
  pids=()
  trap remove_work EXIT
}

remove_work() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wine_stop
  rm -rf "$work"
}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# The port that `websetup serve` names in its output file $1, waiting up to
# ten seconds for it; empty when it names none.
listening_port() {
  local port=
  for _ in $(seq 100); do
    port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$1" 2>/dev/null)
    [ -n "$port" ] && break
    sleep 0.1
  done
  echo "$port"
}

# --- The wizard as a person sees and uses it (callers set PROBE) ---

# What the probe sees of the wizard's window (the block with a page).
wizard() { wine_run "$PROBE" Install 20 2>/dev/null | tr -d '\r' | awk -v RS= '/(^|\n)page /'; }
# The first value of item $1 in the probe's text on stdin.
item() { sed -n "s/^$1 //p" | head -1; }
page() { wizard | item page; }
# Waits until the wizard shows page $1 (for up to $2 probes, default 30).
wait_page() {
  local want=$1 now
  for _ in $(seq "${2:-30}"); do
    now=$(page)
    [ "$now" = "$want" ] && return 0
    sleep 0.3
  done
  echo "  (the wizard shows \"$now\", not \"$want\")"
  return 1
}
# A click at (x, y) of the wizard's client area.
click() {
  local at
  at=$(wizard | item client)
  [ -n "$at" ] || return 1
  xdotool mousemove $(( ${at% *} + $1 )) $(( ${at#* } + $2 )) click 1
  sleep 0.7
}
next() { click 431 314; }     # Next or Finish, at (384, 304), 94 x 20
previous() { click 331 314; } # Previous, at (284, 304)

# The string value $2 of registry key $1 ("" when there is none).
reg_value() {
  wine_run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
# The Unix path of a path on the prefix's drive C:.
unix_path() {
  local p=${1#[Cc]:}
  echo "$BUILD/wineprefix/drive_c${p//\\//}"
}
# True when registry key $1 does not exist.
no_key() { ! wine_run reg query "$1" >/dev/null 2>&1; }
# Every file of the release folder $1 is in directory $2, whole.
has_files() {
  local f
  while IFS= read -r f; do
    cmp -s "$1/$f" "$2/$f" || { echo "  ($f differs or is missing)"; return 1; }
  done < <(cd "$1" && find . -type f)
}
