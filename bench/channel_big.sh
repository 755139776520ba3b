#!/usr/bin/env bash
# The channel on a big database: fills one with a million scores (10 000 members, a year of posts), then
# measures how long the server takes from its start to its first answer, and how long the leaderboard
# page (today's, this week's and all-time top 100) takes to come back.
# Usage: bench/channel_big.sh [build dir (build/release)] [scores (1000000)] [members (10000)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
scores=${2:-1000000}
members=${3:-10000}
bin="$build/channel/tundrix-channel"
load="$build/bench/channel_load"
command -v curl >/dev/null || { echo "curl is needed"; exit 1; }
source bench/channel_common.sh
bench_start "$bin" "$load"
db="$tmp/big.db"
t0=$(date +%s.%N)
"$load" fill "$db" "$members" "$scores"
t1=$(date +%s.%N)
echo "filled $scores scores of $members members in $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }') s ($(du -m "$db" | cut -f1) MiB)"

for run in 1 2 3; do
  t0=$(date +%s%N)
  start_server "$bin" "$db" "$tmp/server.log"
  until curl -s -o /dev/null "http://127.0.0.1:$port/style.css"; do sleep 0.005; done
  t1=$(date +%s%N)
  echo "start $run: first answer after $(( (t1 - t0) / 1000000 )) ms"
  [ "$run" = 3 ] || stop_server
done
for run in 1 2 3 4 5; do
  curl -s -o /dev/null -w "leaderboard page $run: %{time_total} s, status %{http_code}, %{size_download} bytes\n" \
    "http://127.0.0.1:$port/"
done
stop_server
