#!/usr/bin/env bash
# The install procedure under Wine against `websetup serve` on loopback, with
# each HTTP back end, against what a Windows user would do instead: curl.exe
# (built from the same source as the product's libcurl-4.dll) under the same
# Wine, fetching the same stored blobs from nginx on loopback and inflating
# them. Two products: one file of incompressible content, and many small
# files. Native curl is timed too, for reference.
#   install_curl_bench.sh [--smoke] <source-dir> <windows-build-dir> <websetup>
#                    <installbench.exe> <setup.exe> <curl.exe>
# --smoke: small sizes and one round, for the tests. Otherwise
# WS_BENCH_ROUNDS rounds (default 3); each time is the best of its rounds.
#
# A blob is a zlib stream, which is what HTTP calls the "deflate" content
# coding; nginx labels it so and `curl --compressed` inflates it while it
# writes the file, as a user's download would. One curl process fetches every
# file of a product over one kept-alive connection (a config file of url and
# output pairs), as one install process does.
#
# Every time is a whole Wine process, from its start to its end, on a Wine
# server kept running; each prints one `ratio NAME VALUE` line, VALUE being
# curl.exe's time divided by websetup's (higher is better).
set -u
smoke=0
if [ "${1:-}" = --smoke ]; then smoke=1; shift; fi
SRC=$1 BUILD=$2 WEBSETUP=$3 INSTALLBENCH=$4 SETUP=$5 CURL_EXE=$6
. "$SRC/tests/e2e/lib.sh"

if [ $smoke = 1 ]; then
  rounds=1 big_mb=1 small_count=40 small_dirs=4
else
  rounds=${WS_BENCH_ROUNDS:-3} big_mb=100 small_count=2000 small_dirs=20
fi
BACK_ENDS=(Indy WinInet libcurl)

die() { echo "install_curl_bench: $*" >&2; exit 1; }
[ -x /usr/sbin/nginx ] || die "no /usr/sbin/nginx (./run setup installs nginx-light)"
[ -x /usr/bin/curl ] || die "no /usr/bin/curl (./run setup installs curl)"
[ -f "$CURL_EXE" ] || die "no $CURL_EXE (./run setup builds it)"

make_work ws_install_curl_bench
# nginx's workers may be another user.
chmod 755 "$work"

# curl.exe beside the very libcurl-4.dll the "libcurl" back end loads.
mkdir -p "$work/bin"
cp "$CURL_EXE" "$work/bin/curl.exe"
cp "$(dirname "$INSTALLBENCH")/libcurl-4.dll" "$work/bin/" || die "no libcurl-4.dll beside $INSTALLBENCH"

now_ns() { date +%s%N; }

# One product: its folder, store, server, nginx and the lists of its files.
# Sets $port (the server) and $nport (nginx).
prepare() {
  local name=$1 app=$work/$1/app
  mkdir -p "$work/$name"
  cat >"$work/$name/release.ini" <<EOF
[installer]
displayName=Install Bench
appName=InstallBench
appDir=C:\\InstallBench\\
payloadName=app.exe

[masks]
|*
EOF
  "$WEBSETUP" publish --store "$work/$name/store" --description "$work/$name/release.ini" "$app" \
    >"$work/$name/publish.log" 2>&1 || die "publish: $(cat "$work/$name/publish.log")"

  # Each file's content identifier, by its hash in the store's index.
  (cd "$app" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/$name/files"
  (cd "$app" && xargs -d '\n' sha256sum <"$work/$name/files") >"$work/$name/sums"
  awk 'NR == FNR { if (FNR > 1) id[$1] = $2; next }
       !($1 in id) { print "no identifier for " $2 > "/dev/stderr"; exit 1 }
       { print id[$1], $2 }' "$work/$name/store/index" "$work/$name/sums" >"$work/$name/ids" \
    || die "the store's index does not list every file"

  "$WEBSETUP" serve --store "$work/$name/store" --port 0 --quiet \
    >"$work/$name/serve.out" 2>"$work/$name/serve.err" &
  pids+=($!)
  port=$(listening_port "$work/$name/serve.out")
  [ -n "$port" ] || die "websetup serve did not start: $(cat "$work/$name/serve.err")"

  local ng=$work/$name/nginx user=""
  mkdir -p "$ng/temp"
  [ "$(id -u)" = 0 ] && user="user $(id -un) $(id -gn);"
  chmod -R a+rX "$work/$name/store/blobs"
  nport=$(free_port)
  cat >"$ng/nginx.conf" <<EOF
$user
daemon off;
worker_processes 1;
pid $ng/nginx.pid;
error_log $ng/error.log;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  keepalive_requests 1000000;
  client_body_temp_path $ng/temp/body;
  proxy_temp_path $ng/temp/proxy;
  fastcgi_temp_path $ng/temp/fastcgi;
  uwsgi_temp_path $ng/temp/uwsgi;
  scgi_temp_path $ng/temp/scgi;
  types { }
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$nport;
    root $work/$name/store/blobs;
    # A stored blob is a zlib stream: HTTP's "deflate" content coding.
    location / { add_header Content-Encoding deflate; }
  }
}
EOF
  /usr/sbin/nginx -p "$ng" -c "$ng/nginx.conf" -e "$ng/error.log" &
  pids+=($!)
  for _ in $(seq 100); do
    curl -s -o /dev/null "http://127.0.0.1:$nport/" && break
    sleep 0.1
  done

  # The url and output pairs of one curl process, for Wine and for native.
  awk -v base="http://127.0.0.1:$nport/" -v out="Z:$work/$name/curlwine" \
    '{ printf "url = \"%s%s\"\noutput = \"%s/%s\"\n", base, $1, out, $2 }' \
    "$work/$name/ids" >"$work/$name/list-wine"
  awk -v base="http://127.0.0.1:$nport/" -v out="$work/$name/curlnative" \
    '{ printf "url = \"%s%s\"\noutput = \"%s/%s\"\n", base, $1, out, $2 }' \
    "$work/$name/ids" >"$work/$name/list-native"
}

# Whether every file of the product arrived whole in directory $2.
complete() {
  local name=$1 dir=$2
  [ -d "$dir" ] && (cd "$dir" && xargs -d '\n' sha256sum <"$work/$name/files" 2>/dev/null) \
    | cmp -s - "$work/$name/sums"
}

# Runs "$@", checks directory $2 afterwards and prints the seconds taken.
timed() {
  local name=$1 dir=$2 log=$3 start end
  shift 3
  rm -rf "$dir"
  start=$(now_ns)
  "$@" >"$log" 2>&1 || { cat "$log" >&2; die "$name: $* failed"; }
  end=$(now_ns)
  complete "$name" "$dir" || die "$name: $* left files missing or different in $dir"
  rm -rf "$dir"
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

ours() {
  local name=$1 back=$2
  timed "$name" "$work/$name/install" "$work/$name/ours.log" \
    wine_run "$INSTALLBENCH" "127.0.0.1:$port" "$back" "$(winpath "$work/$name/install")" \
    "$(winpath "$SETUP")"
}

curl_wine() {
  local name=$1
  timed "$name" "$work/$name/curlwine" "$work/$name/curlwine.log" \
    wine_run "$work/bin/curl.exe" --compressed --create-dirs -s -S -f -K "$(winpath "$work/$name/list-wine")"
}

curl_native() {
  local name=$1
  timed "$name" "$work/$name/curlnative" "$work/$name/curlnative.log" \
    curl --compressed --create-dirs -s -S -f -K "$work/$name/list-native"
}

min() { printf '%s\n' "$@" | LC_ALL=C sort -g | head -1; }

# Every round times each back end, then curl.exe, then native curl; the
# best of each is compared.
bench() {
  local name=$1 what=$2 r b
  declare -A best=()
  local times_curl=() times_native=()
  declare -A times=()
  for r in $(seq "$rounds"); do
    for b in "${BACK_ENDS[@]}"; do
      times[$b]+="$(ours "$name" "$b") " || exit 1
    done
    times_curl+=("$(curl_wine "$name")") || exit 1
    times_native+=("$(curl_native "$name")") || exit 1
  done
  local anchor native
  anchor=$(min "${times_curl[@]}")
  native=$(min "${times_native[@]}")
  echo "install_curl_bench: $what; seconds, best of $rounds"
  for b in "${BACK_ENDS[@]}"; do
    best[$b]=$(min ${times[$b]})
    printf '  websetup, %-8s %8s   (%s)\n' "$b" "${best[$b]}" "${times[$b]% }"
  done
  printf '  curl.exe, Wine     %8s   (%s)\n' "$anchor" "${times_curl[*]}"
  printf '  curl, native       %8s   (%s; for reference)\n' "$native" "${times_native[*]}"
  for b in "${BACK_ENDS[@]}"; do
    echo "ratio install-$name-${b,,} $(awk -v a="$anchor" -v o="${best[$b]}" 'BEGIN { printf "%.3f", a / o }')"
  done
}

# A Wine server that outlives each program, so no run pays for starting one
# (or the services Wine starts with its first program).
wine_stop
WINEPREFIX="$BUILD/wineprefix" WINEARCH=win32 wineserver -p >/dev/null 2>&1
wine_run "$work/bin/curl.exe" -V >/dev/null 2>&1 || die "curl.exe does not start under Wine"

big=${big_mb}mb small=${small_count}x4k
mkdir -p "$work/$big/app" "$work/$small/app"
head -c $((big_mb * 1048576)) /dev/urandom >"$work/$big/app/app.exe"
python3 - "$work/$small/app" "$small_count" "$small_dirs" <<'EOF'
import os, sys
root, count, dirs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(count):
    d = os.path.join(root, "d%02d" % (i % dirs))
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "f%04d.bin" % i), "wb") as f:
        f.write(os.urandom(4096))
EOF

prepare "$big"
bench "$big" "one file of $big_mb MB of incompressible content"
prepare "$small"
bench "$small" "$small_count files of 4 KB of incompressible content in $small_dirs folders"
