#!/usr/bin/env bash
# The launcher road through nginx (the site deploy-example writes) in front of
# two `websetup serve` processes that share one secret file. One process is
# killed in the middle of an update; the next start completes it through the
# other one.
#   deploy_test.sh <source-dir> <windows-build-dir> <websetup> <setup.exe> <demoapp.exe> <installhelper.exe> <wizprobe.exe>
#
# The update is run by the install helper, with the same manifest update and
# connection the Update page uses, so that the test can catch the moment to
# kill a process; the launcher copy checks the server at each start before
# and after, and its own update is cut short when the test stops it.
set -u
SRC=$1 BUILD=$2 WEBSETUP=$3 SETUP=$4 DEMOAPP=$5 INSTALLHELPER=$6 PROBE=$7
. "$SRC/tests/e2e/lib.sh"

make_work ws_deploy

if [ ! -x /usr/sbin/nginx ]; then
  echo "FAIL no /usr/sbin/nginx (./run setup installs nginx-light)"
  exit 1
fi

# Starts `websetup serve` with the shared secret; sets $port and $pid.
serve() {
  local log=$1
  "$WEBSETUP" serve --store "$work/store" --port 0 --threads 1 --secret-file "$work/secret" \
    >"$log.out" 2>"$log" &
  pid=$!
  pids+=("$pid")
  port=$(listening_port "$log.out")
}

publish() {
  "$WEBSETUP" publish --store "$work/store" --description "$SRC/demo/release/demo.ini" "$work/app" \
    >"$work/publish.log" 2>&1 || { echo "FAIL publish: $(cat "$work/publish.log")"; exit 1; }
}

# The process that is sending a large answer: some connection of its port
# has had megabytes acknowledged. Empty while there is none.
sending() {
  local p
  for p in "$port1" "$port2"; do
    ss -tni state established "( sport = :$p )" 2>/dev/null \
      | grep -oE 'bytes_acked:[0-9]+' | cut -d: -f2 \
      | awk -v p="$p" '$1 > 4194304 { print p; exit }'
  done | head -1
}

# Release 1 of the demo product.
mkdir -p "$work/app"
cp "$DEMOAPP" "$work/app/demoapp.exe"
printf '1.0\r\n' >"$work/app/version.txt"
touch -d '2024-01-01 10:00:00' "$work/app/"*
publish
(umask 077; od -An -tx1 -N32 /dev/urandom | tr -d ' \n' >"$work/secret")

serve "$work/serve1.log"; port1=$port pid1=$pid
serve "$work/serve2.log"; port2=$port pid2=$pid
check "two servers listen ($port1, $port2)" test -n "$port1" -a -n "$port2"

# nginx with the generated site, as an unprivileged child with its own prefix.
"$WEBSETUP" deploy-example --out "$work/deploy" --tool "$(readlink -f "$WEBSETUP")" \
  --store "$work/store" --ports "$port1,$port2" --admin-ports 0 \
  --listen "127.0.0.1:$(free_port)" >/dev/null
nport=$(sed -n 's/^ *listen 127\.0\.0\.1:\([0-9]*\);$/\1/p' "$work/deploy/websetup-nginx.conf")
mkdir -p "$work/nginx/temp"
user=
[ "$(id -u)" = 0 ] && user="user $(id -un) $(id -gn);"
cat >"$work/nginx/nginx.conf" <<CONF
$user
daemon off;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log info;
events { worker_connections 256; }
http {
  access_log $work/nginx/access.log;
  client_body_temp_path $work/nginx/temp/body;
  proxy_temp_path $work/nginx/temp/proxy;
  fastcgi_temp_path $work/nginx/temp/fastcgi;
  uwsgi_temp_path $work/nginx/temp/uwsgi;
  scgi_temp_path $work/nginx/temp/scgi;
  include $work/deploy/websetup-nginx.conf;
}
CONF
/usr/sbin/nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/error.log" &
pids+=("$!")
for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$nport") 2>/dev/null && break; sleep 0.1; done
check "nginx listens on $nport" bash -c "exec 3<>/dev/tcp/127.0.0.1/$nport"

"$WEBSETUP" stamp "$SETUP" "$work/setup.exe" "127.0.0.1:$nport" >/dev/null
inst="$work/inst"
wine_run "$INSTALLHELPER" "127.0.0.1:$nport" "$(winpath "$work/setup.exe")" "$(winpath "$inst")" en
check "installed through nginx" cmp -s "$inst/demoapp.exe" "$work/app/demoapp.exe"
check "both processes served the installation" \
  bash -c "grep -q admin:getFile '$work/serve1.log' && grep -q admin:getFile '$work/serve2.log'"

# Release 2 brings a large file: its answer is under way long enough to cut.
printf '2.0\r\n' >"$work/app/version.txt"
head -c $((48 * 1024 * 1024)) /dev/urandom >"$work/app/data.bin"
touch -d '2024-02-01 10:00:00' "$work/app/version.txt" "$work/app/data.bin"
publish
wine_run "$inst/WebsetupDemo.exe" &
launcher=$!
page=$(wizard_page 120)
check "the launcher reports the update through nginx ($page)" test "$page" = Update
wine_stop
wait $launcher

# The update; the process sending the large file dies midway.
wine_run "$INSTALLHELPER" "127.0.0.1:$nport" "$(winpath "$work/setup.exe")" "$(winpath "$inst")" en \
  >"$work/update1.log" 2>&1 &
helper=$!
victim=
for _ in $(seq 1200); do
  victim=$(sending)
  [ -n "$victim" ] && break
  kill -0 "$helper" 2>/dev/null || break
  sleep 0.05
done
check "a process was caught sending the large file" test -n "$victim"
if [ "$victim" = "$port1" ]; then kill -9 "$pid1"; else kill -9 "$pid2"; fi
wait "$helper"
rc=$?
echo "the interrupted update ended with $rc: $(tail -1 "$work/update1.log")"
check "the interrupted update failed" test "$rc" != 0
check "no partial file was left" bash -c "[ ! -e '$inst/data.bin' ] || cmp -s '$inst/data.bin' '$work/app/data.bin'"
wine_stop

# The next start: the update completes through the process still alive, and
# the launcher then starts the new version without a window.
wine_run "$INSTALLHELPER" "127.0.0.1:$nport" "$(winpath "$work/setup.exe")" "$(winpath "$inst")" en
check "the next update completes" cmp -s "$inst/data.bin" "$work/app/data.bin"
check "the version file is new" cmp -s "$inst/version.txt" "$work/app/version.txt"
timeout 60 "$SRC/cmake/wine-run.sh" "$BUILD" "$inst/WebsetupDemo.exe"
title=$(window_title "websetup demo" 30)
check "the launcher starts version 2.0 ($title)" test "$title" = "websetup demo - version 2.0"
check "no installer window is shown" test -z "$(xdotool search --onlyvisible --name '^Install' 2>/dev/null)"
wine_stop

finish
