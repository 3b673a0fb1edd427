#!/usr/bin/env bash
# Runs one fuzz target for a while and prints one line: its name, the inputs
# it ran and the findings (crashes, leaks, time-outs, memory blow-ups).
#   fuzz.sh <target> <seed corpus> <work folder> <seconds> [fresh]
# The seed corpus is only read; what the fuzzer learns goes to the work
# folder's corpus, findings to its findings/ folder. "fresh" starts from the
# seeds alone (the short runs of the tests). A finding stops libFuzzer, so the
# run is started again for the time left; the exit status is 1 when anything
# was found.
set -uo pipefail
target=$1 seeds=$2 work=$3 seconds=$4 fresh=${5:-}
name=$(basename "$target" _fuzz)
[ "$fresh" = fresh ] && rm -rf "$work"
# The short runs of the tests mutate from a fixed seed, so that a check that
# passed here passes again; the long runs explore with a new seed each time.
seed=()
[ "$fresh" = fresh ] && seed=(-seed=1)
mkdir -p "$work/corpus" "$work/findings"
rm -f "$work"/findings/*

runs=0 starts=0
end=$(( $(date +%s) + seconds ))
while :; do
  left=$(( end - $(date +%s) ))
  [ "$left" -gt 0 ] || break
  [ "$starts" -lt 20 ] || break
  starts=$((starts + 1))
  "$target" "${seed[@]}" -max_total_time="$left" -print_final_stats=1 -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$work/findings/" "$work/corpus" "$seeds" >"$work/log.$starts" 2>&1
  rc=$?
  n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.$starts" | tail -1)
  runs=$((runs + ${n:-0}))
  [ "$rc" = 0 ] && break
  # A crash before the first input ran (a seed that still fails) would only
  # repeat: stop there.
  [ "${n:-0}" -gt 0 ] || break
done

findings=$(find "$work/findings" -type f | wc -l)
printf '%-10s %12s runs %4s findings\n' "$name" "$runs" "$findings"
if [ "$findings" != 0 ] || [ "${rc:-0}" != 0 ]; then
  for f in "$work"/findings/*; do [ -f "$f" ] && echo "  finding: $f"; done
  grep -h -m1 -E 'ERROR: |runtime error|SUMMARY' "$work"/log.* | sort -u | head -5 | sed 's/^/  /'
  exit 1
fi
exit 0
