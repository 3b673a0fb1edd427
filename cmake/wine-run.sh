#!/usr/bin/env bash
# Runs a Windows program under Wine: CTest's cross-compiling emulator and the
# helper of the end-to-end tests.
#   wine-run.sh <build-dir> <program.exe> [arguments...]
# One Wine prefix per build folder, created once; a virtual display when none
# is set; the program's exit status is passed through.
set -u
build=$(cd "$1" && pwd) || exit 125
shift

export WINEPREFIX="$build/wineprefix"
export WINEARCH=win32
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEDEBUG="${WINEDEBUG:--all}"

ensure_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >"$build/wineprefix.log" 2>&1 && wineserver -w
    fi
  ) 9>"$build/wineprefix.lock"
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-run: creating the Wine prefix failed, see $build/wineprefix.log" >&2; exit 125; }
}
ensure_prefix

# Wine links the user's Desktop, Documents and the like to the host's home
# directory, which every prefix on the machine then shares: a link that one
# build's test saves on the desktop would show up in another's. Each prefix
# gets folders of its own.
private_folders() {
  local d
  for d in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos,Templates}; do
    if [ -L "$d" ]; then rm -f "$d"; mkdir -p "$d"; fi
  done
}
private_folders

# WS_WINE_UNMANAGED=1: the program's windows are left to Wine instead of to a
# window manager. Under the virtual display there is none, and Wine waits two
# seconds for one each time a managed window (any shown form) is hidden or
# destroyed. Set once per program in the prefix, as Wine reads it at start.
ensure_unmanaged() {
  local exe
  exe=$(basename "$1")
  # user.reg doubles each backslash of a key's name.
  grep -qiF "[Software\\\\Wine\\\\AppDefaults\\\\$exe\\\\X11 Driver]" "$WINEPREFIX/user.reg" 2>/dev/null && return 0
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
}
[ -n "${WS_WINE_UNMANAGED:-}" ] && [ $# -gt 0 ] && ensure_unmanaged "$1"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
