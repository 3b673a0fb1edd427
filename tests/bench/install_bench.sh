#!/usr/bin/env bash
# Installing large and many small files, per back end: the 32-bit client
# under Wine against `websetup serve` on loopback, against curl fetching the
# same zlib streams from nginx and inflating them natively (the anchor).
# Three products: one file of 100 MB, one of 2 GB (about half of each
# compresses), 2,000 files of 4 KB. For each back end and product: the time of
# the update and the client's peak memory, and one line
#   ratio update-<product>-<back end>-vs-native-curl <anchor's time / client's time>
# (install_curl_bench.sh measures the whole install against curl.exe under
# Wine as install-<product>-<back end>)
#
#   install_bench.sh <build root>     (with build/linux and build/windows)
#
# Everything it writes lives in one temporary folder, removed at the end, also
# when the benchmark is interrupted. The 2 GB product needs some 8 GB free
# (WS_BENCH_NO_2GB=1 leaves it out).
set -uo pipefail
root=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
websetup=$root/linux/tools/websetup/websetup
# WS_BENCH_CLIENT: another build of the client, for figures from before a change.
client=${WS_BENCH_CLIENT:-$root/windows/tests/bench/install_client.exe}
winerun=$here/../../cmake/wine-run.sh
backends=(WinInet libcurl Indy)

for need in "$websetup" "$client"; do
  [ -e "$need" ] || { echo "install_bench: $need is missing (./run build)"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/ws_install_bench.XXXXXX")
# nginx's workers run as another user and must read the blobs.
chmod 755 "$work"
children=()
cleanup() {
  local p
  for p in "${children[@]}"; do
    kill "$p" 2>/dev/null && wait "$p" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Content of which about half compresses: blocks of random bytes and of text.
make_file() { # path size
  python3 - "$1" "$2" <<'EOF'
import os, sys
path, size = sys.argv[1], int(sys.argv[2])
text = (b"websetup install benchmark line with some words that repeat\r\n" * 20000)
with open(path, "wb") as out:
    left, n = size, 0
    while left > 0:
        block = min(left, 1 << 20)
        out.write(os.urandom(block) if n % 2 == 0 else text[:block])
        left -= block
        n += 1
EOF
}

make_small_files() { # dir count size
  python3 - "$1" "$2" "$3" <<'EOF'
import os, sys
folder, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(count):
    sub = os.path.join(folder, "d%02d" % (i % 20))
    os.makedirs(sub, exist_ok=True)
    with open(os.path.join(sub, "f%04d.dat" % i), "wb") as out:
        out.write(os.urandom(size // 2) + (b"text %d " % i) * (size // 16))
EOF
}

# Publishes the folder app/ of a product and serves it; sets port.
publish_and_serve() { # product
  local dir=$work/$1
  cat >"$dir/release.ini" <<EOF
[installer]
displayName=Install benchmark
appName=InstallBench
appDir=C:\\InstallBench\\
payloadName=none.exe

[masks]
|*
EOF
  "$websetup" publish --store "$dir/store" --description "$dir/release.ini" "$dir/app" >"$dir/publish.log" 2>&1 \
    || { echo "install_bench: publishing $1 failed"; cat "$dir/publish.log"; return 1; }
  rm -rf "$dir/app" # the blobs are what is served; the source is not needed again
  "$websetup" serve --store "$dir/store" --port 0 --threads 2 >"$dir/serve.log" 2>&1 &
  children+=($!)
  port=
  for _ in $(seq 100); do
    port=$(grep -oE '127\.0\.0\.1:[0-9]+' "$dir/serve.log" | head -1 | cut -d: -f2)
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "install_bench: the server did not start"; return 1; }
}

# nginx serving a product's blobs as static files; sets nginx_port.
start_nginx() { # product
  local dir=$work/$1
  nginx_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  mkdir -p "$dir/nginx/logs"
  cat >"$dir/nginx/nginx.conf" <<EOF
daemon off;
worker_processes 1;
error_log $dir/nginx/logs/error.log;
pid $dir/nginx/nginx.pid;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  keepalive_requests 100000;
  server {
    listen 127.0.0.1:$nginx_port;
    root $dir/store/blobs;
  }
}
EOF
  nginx -p "$dir/nginx" -c "$dir/nginx/nginx.conf" &
  children+=($!)
  for _ in $(seq 50); do
    curl -s -o /dev/null "http://127.0.0.1:$nginx_port/" && return 0
    sleep 0.1
  done
  echo "install_bench: nginx did not start"
  return 1
}

inflate_py='
import sys, zlib
for name in sys.argv[1:]:
    d = zlib.decompressobj()
    with open(name, "rb") as src, open(name + ".out", "wb") as out:
        while True:
            block = src.read(1 << 20)
            if not block:
                break
            out.write(d.decompress(block))
        out.write(d.flush())
'

# The anchor: curl fetches every blob over one kept-alive connection, then
# they are inflated; seconds on stdout.
anchor_seconds() { # product
  local dir=$work/$1 start end
  mkdir -p "$dir/anchor"
  : >"$dir/anchor/urls"
  for blob in "$dir"/store/blobs/*; do
    printf 'url = "http://127.0.0.1:%s/%s"\noutput = "%s/anchor/%s"\n' \
      "$nginx_port" "$(basename "$blob")" "$dir" "$(basename "$blob")" >>"$dir/anchor/urls"
  done
  start=$(date +%s.%N)
  curl -s --fail -K "$dir/anchor/urls" && (cd "$dir/anchor" && python3 -c "$inflate_py" $(ls | grep -v urls))
  end=$(date +%s.%N)
  rm -rf "$dir/anchor"
  awk "BEGIN { print $end - $start }"
}

run_product() { # product label
  local product=$1 label=$2 anchor best
  publish_and_serve "$product" || return 1
  start_nginx "$product" || return 1
  anchor=$(anchor_seconds "$product")
  best=$(anchor_seconds "$product")
  anchor=$(awk "BEGIN { print ($best < $anchor) ? $best : $anchor }")
  printf '  %-10s %-8s %8.2f s   (curl + nginx + inflate, natively)\n' "$label" anchor "$anchor"
  local backend out seconds peak before
  for backend in "${backends[@]}"; do
    rm -rf "$work/$product/install"
    mkdir -p "$work/$product/install"
    out=$(bash "$winerun" "$root/windows" "$client" "127.0.0.1:$port" \
      "Z:${work//\//\\}\\$product\\install\\" "$backend" 2>/dev/null | tr -d '\r' | tail -1)
    rm -rf "$work/$product/install"
    if [[ $out != seconds* ]]; then
      printf '  %-10s %-8s failed: %s\n' "$label" "$backend" "$out"
      continue
    fi
    read -r _ seconds _ peak _ before <<<"$out"
    printf '  %-10s %-8s %8.2f s   peak %7.1f MB (%.1f MB before the update)\n' \
      "$label" "$backend" "$seconds" "$peak" "$before"
    printf 'ratio update-%s-%s-vs-native-curl %.2f\n' "$label" "$(echo "$backend" | tr 'A-Z' 'a-z')" \
      "$(awk "BEGIN { print $anchor / $seconds }")"
  done
  # The server and nginx of this product go, and its files with them.
  local p
  for p in "${children[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  children=()
  rm -rf "${work:?}/$product"
}

echo "install benchmark: the 32-bit client under Wine against websetup serve on loopback"
mkdir -p "$work/p100/app"
make_file "$work/p100/app/big.bin" $((100 * 1024 * 1024))
run_product p100 100mb

mkdir -p "$work/small/app"
make_small_files "$work/small/app" 2000 4096
run_product small 2000x4kb

free_kb=$(df -Pk "$work" | awk 'NR == 2 { print $4 }')
if [ -n "${WS_BENCH_NO_2GB:-}" ]; then
  echo "  2gb        skipped: WS_BENCH_NO_2GB is set"
elif [ "$free_kb" -lt $((8 * 1024 * 1024)) ]; then
  echo "  2gb        skipped: less than 8 GB free in $work"
else
  mkdir -p "$work/p2g/app"
  make_file "$work/p2g/app/big.bin" 2000000000
  run_product p2g 2gb
fi
