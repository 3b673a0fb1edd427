#!/usr/bin/env bash
# Starts or stops the tests' proxy: Debian's tinyproxy on 127.0.0.1 with basic
# authentication, on a free port that it writes into <dir>/port.
#   tinyproxy.sh start <dir>
#   tinyproxy.sh stop <dir>
# The user name and password are the ones the tests' proxy helper expects.
set -u
action=$1
dir=$2
mkdir -p "$dir"

stop() {
  if [ -f "$dir/tinyproxy.pid" ]; then
    kill "$(cat "$dir/tinyproxy.pid")" 2>/dev/null
    rm -f "$dir/tinyproxy.pid"
  fi
  rm -f "$dir/port"
}

case "$action" in
stop) stop; exit 0 ;;
start) ;;
*) echo "usage: tinyproxy.sh start|stop <dir>" >&2; exit 2 ;;
esac

command -v tinyproxy >/dev/null || { echo "tinyproxy is not installed" >&2; exit 1; }
stop
for attempt in $(seq 20); do
  port=$((20000 + RANDOM % 40000))
  cat >"$dir/tinyproxy.conf" <<CONF
Port $port
Listen 127.0.0.1
Timeout 60
MaxClients 100
Allow 127.0.0.1
BasicAuth wsproxy secret-7
DisableViaHeader Yes
LogLevel Error
LogFile "$dir/tinyproxy.log"
PidFile "$dir/tinyproxy.pid"
CONF
  tinyproxy -c "$dir/tinyproxy.conf" || continue
  # It forks into the background; wait until it answers on its port.
  for _ in $(seq 50); do
    if [ -f "$dir/tinyproxy.pid" ] && (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port" >"$dir/port"
      exit 0
    fi
    sleep 0.1
  done
  stop
done
echo "tinyproxy did not start, see $dir/tinyproxy.log" >&2
exit 1
