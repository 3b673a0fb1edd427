#!/usr/bin/env bash
# Builds the Windows (i686-w64-mingw32, posix thread model) third-party
# libraries from Debian source packages into a cache directory that is never
# committed.  Usage: cmake/thirdparty.sh <cache-dir>
#
# Every step leaves a stamp; a step whose stamp and outputs are present is
# skipped, so running this again is cheap and needs no network.  Remove
# <cache-dir> (or one of its stamps/*) to force a refetch or rebuild, e.g.
# after Debian publishes a new source version.

# Build tools this script relies on; `./run setup` installs them.
THIRDPARTY_APT_PACKAGES=(
  dpkg-dev
  xz-utils
  cmake
  ninja-build
  gcc-mingw-w64-i686-posix
  g++-mingw-w64-i686-posix
  binutils-mingw-w64-i686
  libz-mingw-w64-dev
  make
  autoconf
  automake
  libtool
)

# Allow `source cmake/thirdparty.sh` to read the package list without building.
if [[ "${BASH_SOURCE[0]}" != "$0" ]]; then
  return 0
fi

set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: $0 <cache-dir>" >&2
  exit 2
fi

CACHE=$(realpath -m -- "$1")
SRC=$CACHE/src
DL=$SRC/dl
BUILD=$CACHE/build
LOGS=$CACHE/logs
STAMPS=$CACHE/stamps
PREFIX=$CACHE/mingw
HOST=i686-w64-mingw32
# Debian's mingw-w64 packages (zlib included) install their target files here.
MINGW_SYSROOT=${MINGW_SYSROOT:-/usr/$HOST}
JOBS=$(nproc 2>/dev/null || echo 2)
TOOLCHAIN=$CACHE/toolchain-$HOST.cmake

# Bump a recipe when its build flags change so existing caches rebuild it.
RECIPE_LIBPNG=1
RECIPE_CURL=1
RECIPE_CURL_EXE=1
RECIPE_HTTPLIB=1
RECIPE_SODIUM=1

START=$SECONDS

say() { echo "thirdparty: $*"; }
die() { echo "thirdparty: $*" >&2; exit 1; }

# Runs "$@" with output in a log; on failure names the step and shows the
# log's tail.  set -e is ignored inside anything tested by `||`/`if`, so the
# subshell is run untested and its status collected by hand.
run_step() {
  local what=$1 log=$2
  shift 2
  say "$what ..."
  set +e
  ( set -euo pipefail; "$@" ) >"$log" 2>&1
  local rc=$?
  set -e
  if [[ $rc -ne 0 ]]; then
    echo "----- last lines of $log -----" >&2
    tail -n 25 "$log" >&2 || true
    echo "-----" >&2
    die "$what failed (exit $rc), see $log"
  fi
}

stamp_ok() { [[ -f "$STAMPS/$1" && "$(cat "$STAMPS/$1")" == "$2" ]]; }
stamp_set() { printf '%s\n' "$2" >"$STAMPS/$1"; }

check_tools() {
  local missing=() t
  for t in apt-get apt-cache dpkg dpkg-source cmake ninja xz make autoreconf \
           "$HOST-gcc-posix" "$HOST-g++-posix" "$HOST-objdump" "$HOST-windres" "$HOST-strip"; do
    command -v "$t" >/dev/null 2>&1 || missing+=("$t")
  done
  [[ -f "$MINGW_SYSROOT/include/zlib.h" && -f "$MINGW_SYSROOT/lib/libz.a" ]] \
    || missing+=("$MINGW_SYSROOT/lib/libz.a")
  if [[ ${#missing[@]} -gt 0 ]]; then
    die "missing: ${missing[*]}; install with: apt-get install ${THIRDPARTY_APT_PACKAGES[*]}"
  fi
}

write_toolchain() {
  local tmp=$TOOLCHAIN.tmp
  cat >"$tmp" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER $HOST-gcc-posix)
set(CMAKE_CXX_COMPILER $HOST-g++-posix)
set(CMAKE_RC_COMPILER $HOST-windres)
set(CMAKE_FIND_ROOT_PATH "$MINGW_SYSROOT" "$PREFIX")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  if [[ -f "$TOOLCHAIN" ]] && cmp -s "$tmp" "$TOOLCHAIN"; then
    rm -f "$tmp"
  else
    mv "$tmp" "$TOOLCHAIN"
  fi
}

# Source versions known to apt, newest first.
source_versions() {
  local pkg=$1 v sorted=() i inserted
  while read -r v; do
    inserted=0
    for i in "${!sorted[@]}"; do
      if dpkg --compare-versions "$v" gt "${sorted[$i]}"; then
        sorted=("${sorted[@]:0:$i}" "$v" "${sorted[@]:$i}")
        inserted=1
        break
      fi
    done
    [[ $inserted -eq 1 ]] || sorted+=("$v")
  done < <(apt-cache showsrc "$pkg" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -u)
  [[ ${#sorted[@]} -eq 0 ]] || printf '%s\n' "${sorted[@]}"
}

# Downloads and unpacks one source package; the stamp holds "version dir".
# A mirror may list a newer version than it can serve (e.g. a security
# update whose files are not mirrored yet), so older versions are tried next.
do_fetch() {
  local pkg=$1 versions v got="" dsc dir
  mapfile -t versions < <(source_versions "$pkg")
  if [[ ${#versions[@]} -eq 0 ]]; then
    echo "apt knows no source package '$pkg': enable deb-src entries and run apt-get update"
    return 1
  fi
  echo "candidate versions: ${versions[*]}"
  mkdir -p "$DL"
  for v in "${versions[@]}"; do
    echo "== apt-get source --download-only $pkg=$v"
    # Root downloads into a directory _apt cannot read; skip the sandbox
    # instead of warning about it.
    if (cd "$DL" && apt-get source --download-only -o APT::Sandbox::User=root "$pkg=$v"); then
      got=$v
      break
    fi
  done
  [[ -n "$got" ]] || { echo "no version of $pkg could be downloaded"; return 1; }
  dsc=$DL/${pkg}_${got#*:}.dsc
  dir=$SRC/$pkg-${got#*:}
  rm -rf "$dir"
  dpkg-source -x "$dsc" "$dir"
  printf '%s %s\n' "$got" "$dir" >"$STAMPS/src-$pkg"
}

# Sets SRC_VERSION and SRC_DIR for a package, fetching it when needed.
fetch_source() {
  local pkg=$1
  local log=$LOGS/fetch-$pkg.log
  if [[ -f "$STAMPS/src-$pkg" ]]; then
    read -r SRC_VERSION SRC_DIR <"$STAMPS/src-$pkg"
    if [[ -f "$SRC_DIR/debian/changelog" ]]; then
      say "source $pkg $SRC_VERSION present, skipping"
      return 0
    fi
    rm -f "$STAMPS/src-$pkg"
  fi
  run_step "fetching Debian source $pkg" "$log" do_fetch "$pkg"
  read -r SRC_VERSION SRC_DIR <"$STAMPS/src-$pkg"
  say "source $pkg $SRC_VERSION unpacked in $SRC_DIR"
}

install_license() {
  local name=$1 dir=$2
  mkdir -p "$PREFIX/share/licenses/$name"
  cp "$dir/debian/copyright" "$PREFIX/share/licenses/$name/copyright"
}

build_libpng() {
  local dir=$1 bdir=$BUILD/libpng
  rm -rf "$bdir"
  cmake -S "$dir" -B "$bdir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
    -DZLIB_INCLUDE_DIR="$MINGW_SYSROOT/include" \
    -DZLIB_LIBRARY="$MINGW_SYSROOT/lib/libz.a"
  cmake --build "$bdir" -j "$JOBS"
  cmake --install "$bdir"
  # The install makes libpng.a a symlink; a real file survives copying the
  # cache elsewhere (and to filesystems without symlinks).
  local lib=$PREFIX/lib/libpng16.a
  [[ -f "$lib" ]] || { echo "libpng16.a was not installed"; return 1; }
  rm -f "$PREFIX/lib/libpng.a"
  cp "$lib" "$PREFIX/lib/libpng.a"
  install_license libpng1.6 "$dir"
}

# Any import outside this list means a DLL the installer would have to ship.
SYSTEM_DLL_RE='^(kernel32|user32|advapi32|ws2_32|crypt32|secur32|bcrypt|ncrypt|normaliz|iphlpapi|wldap32|shell32|ole32|msvcrt|api-ms-win-[a-z0-9-]+)\.dll$'

# check_dll_imports <file> [allowed DLL...]
check_dll_imports() {
  local dll=$1 bad=() name
  shift
  local allowed=" ${*,,} "
  while read -r name; do
    [[ "${name,,}" =~ $SYSTEM_DLL_RE || "$allowed" == *" ${name,,} "* ]] || bad+=("$name")
  done < <("$HOST-objdump" -p "$dll" | awk '/DLL Name:/ {print $3}')
  if [[ ${#bad[@]} -gt 0 ]]; then
    echo "$dll imports non-system DLLs: ${bad[*]}"
    return 1
  fi
}

# The configuration of every curl build here: Schannel, zlib, nothing that
# would need a DLL beside the program.
curl_cmake_options() {
  CURL_OPTIONS=(
    -G Ninja
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN"
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$PREFIX"
    -DBUILD_SHARED_LIBS=ON
    -DLIBCURL_OUTPUT_NAME=libcurl-4
    -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF
    -DCURL_ENABLE_SSL=ON -DCURL_USE_SCHANNEL=ON -DCURL_WINDOWS_SSPI=ON
    -DCURL_USE_OPENSSL=OFF -DCURL_USE_MBEDTLS=OFF -DCURL_USE_BEARSSL=OFF
    -DCURL_USE_NSS=OFF -DCURL_USE_WOLFSSL=OFF
    -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none
    -DCURL_ZLIB=ON
    -DZLIB_INCLUDE_DIR="$MINGW_SYSROOT/include"
    -DZLIB_LIBRARY="$MINGW_SYSROOT/lib/libz.a"
    -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF
    -DUSE_NGHTTP2=OFF -DUSE_NGTCP2=OFF -DUSE_QUICHE=OFF -DUSE_MSH3=OFF
    -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF
    -DCURL_USE_LIBPSL=OFF
    -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF -DCURL_USE_GSSAPI=OFF
    -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON
    -DENABLE_ARES=OFF -DENABLE_THREADED_RESOLVER=ON
    -DCMAKE_SHARED_LINKER_FLAGS="-static-libgcc"
  )
  # Keep the host's pkg-config files out of the cross build.
  export PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig" PKG_CONFIG_PATH=""
}

build_curl() {
  local dir=$1 bdir=$BUILD/curl
  rm -rf "$bdir"
  curl_cmake_options
  # Debian's 90_gnutls/99_nss patches rename the autotools library target;
  # the CMake build is untouched by them and names the DLL as asked.
  cmake -S "$dir" -B "$bdir" "${CURL_OPTIONS[@]}" -DBUILD_CURL_EXE=OFF
  cmake --build "$bdir" -j "$JOBS"
  cmake --install "$bdir" --strip
  local dll=$PREFIX/bin/libcurl-4.dll
  [[ -f "$dll" ]] || { echo "$dll was not installed"; return 1; }
  check_dll_imports "$dll"
  # The import library keeps the DLL's name; a second name lets `-lcurl` work.
  if [[ -f "$PREFIX/lib/libcurl-4.dll.a" ]]; then
    cp "$PREFIX/lib/libcurl-4.dll.a" "$PREFIX/lib/libcurl.dll.a"
  fi
  install_license curl "$dir"
}

# curl.exe, what a Windows user fetches files with, from the same source and
# configuration as the DLL above, for the benchmarks. Built apart so that the
# DLL the product loads stays as it was; the program imports libcurl-4.dll
# by that name and runs beside it.
build_curl_exe() {
  local dir=$1 bdir=$BUILD/curl-exe
  rm -rf "$bdir"
  curl_cmake_options
  cmake -S "$dir" -B "$bdir" "${CURL_OPTIONS[@]}" -DBUILD_CURL_EXE=ON \
    -DCMAKE_EXE_LINKER_FLAGS="-static-libgcc -static"
  cmake --build "$bdir" -j "$JOBS" --target curl
  local exe=$bdir/src/curl.exe
  [[ -f "$exe" ]] || { echo "$exe was not built"; return 1; }
  mkdir -p "$PREFIX/bin"
  "$HOST-strip" -o "$PREFIX/bin/curl.exe" "$exe"
  check_dll_imports "$PREFIX/bin/curl.exe" libcurl-4.dll
}

# libsodium's own autotools build, static, for the signatures of releases.
# SODIUM_STATIC is what its headers need to hear at every use (websetup.cmake
# sets it on the imported target), or they ask for a DLL's imports.
build_libsodium() {
  local dir=$1 bdir=$BUILD/libsodium
  rm -rf "$bdir"
  cp -a "$dir" "$bdir"
  cd "$bdir"
  # Debian's source is the project's repository: configure is made here,
  # as debian/rules does with dh-autoreconf.
  autoreconf -fi
  # The stack protector would need libssp beside setup.exe.
  ./configure --host="$HOST" --prefix="$PREFIX" \
    CC="$HOST-gcc-posix" \
    --enable-static --disable-shared --disable-ssp --disable-pie \
    --disable-dependency-tracking --without-pthreads
  make -j "$JOBS"
  make install
  [[ -f "$PREFIX/lib/libsodium.a" ]] || { echo "libsodium.a was not installed"; return 1; }
  install_license libsodium "$dir"
}

install_httplib() {
  local dir=$1 hdr=$1/httplib.h
  [[ -f "$hdr" ]] || { echo "$hdr not found"; return 1; }
  # split.py turns the single header into httplib.h + httplib.cc; only the
  # single form (declarations and inline definitions together) works as-is.
  if ! grep -q '^#define CPPHTTPLIB_VERSION' "$hdr" \
     || ! grep -q '^inline Server::Server()' "$hdr"; then
    echo "$hdr is not the complete single-file header"
    return 1
  fi
  mkdir -p "$PREFIX/include"
  cp "$hdr" "$PREFIX/include/httplib.h"
  install_license cpp-httplib "$dir"
}

# Runs `<step> <source-dir>` unless the stamp holds the key and every output
# (below the prefix) is there; stamps it afterwards.
#   ensure_built <name> <key> <step> <source-dir> <output>...
ensure_built() {
  local name=$1 key=$2 step=$3 dir=$4 f present=1
  shift 4
  for f in "$@"; do
    [[ -f "$PREFIX/$f" ]] || present=0
  done
  if [[ $present == 1 ]] && stamp_ok "$name" "$key"; then
    say "$name ($key) is up to date, skipping"
    return 0
  fi
  rm -f "$STAMPS/$name"
  run_step "building $name" "$LOGS/$name.log" "$step" "$dir"
  stamp_set "$name" "$key"
}

summary() {
  local f
  say "cache $CACHE ($((SECONDS - START))s)"
  echo "  Debian sources:"
  sed 's/^/    /' "$CACHE/VERSIONS"
  echo "  outputs:"
  for f in include/sodium.h lib/libsodium.a include/png.h include/pngconf.h include/pnglibconf.h \
           lib/libpng16.a lib/libpng.a \
           include/curl/curl.h bin/libcurl-4.dll lib/libcurl-4.dll.a lib/libcurl.dll.a bin/curl.exe \
           include/httplib.h; do
    [[ -e "$PREFIX/$f" ]] && printf '    %-26s %8s bytes\n' "mingw/$f" "$(stat -c %s "$PREFIX/$f")"
  done
  echo "  libcurl-4.dll imports: $("$HOST-objdump" -p "$PREFIX/bin/libcurl-4.dll" \
        | awk '/DLL Name:/ {printf "%s ", $3}')"
}

main() {
  mkdir -p "$CACHE" "$SRC" "$BUILD" "$LOGS" "$STAMPS" "$PREFIX"
  # Keeps git quiet about the cache wherever it lives inside a work tree.
  [[ -f "$CACHE/.gitignore" ]] || echo '*' >"$CACHE/.gitignore"
  check_tools
  write_toolchain

  local png_v png_dir curl_v curl_dir http_v http_dir sodium_v sodium_dir
  fetch_source libpng1.6;  png_v=$SRC_VERSION;  png_dir=$SRC_DIR
  fetch_source curl;       curl_v=$SRC_VERSION; curl_dir=$SRC_DIR
  fetch_source cpp-httplib; http_v=$SRC_VERSION; http_dir=$SRC_DIR
  fetch_source libsodium;  sodium_v=$SRC_VERSION; sodium_dir=$SRC_DIR

  {
    echo "libpng1.6 $png_v"
    echo "curl $curl_v"
    echo "cpp-httplib $http_v"
    echo "libsodium $sodium_v"
  } >"$CACHE/VERSIONS"

  ensure_built libpng "$png_v recipe $RECIPE_LIBPNG" build_libpng "$png_dir" \
    include/png.h include/pnglibconf.h lib/libpng.a
  ensure_built curl "$curl_v recipe $RECIPE_CURL" build_curl "$curl_dir" \
    include/curl/curl.h bin/libcurl-4.dll
  ensure_built curl-exe "$curl_v recipe $RECIPE_CURL_EXE" build_curl_exe "$curl_dir" \
    bin/curl.exe
  ensure_built httplib "$http_v recipe $RECIPE_HTTPLIB" install_httplib "$http_dir" \
    include/httplib.h
  ensure_built libsodium "$sodium_v recipe $RECIPE_SODIUM" build_libsodium "$sodium_dir" \
    include/sodium.h lib/libsodium.a

  summary
}

main
