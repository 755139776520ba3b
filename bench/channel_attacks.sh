#!/usr/bin/env bash
# The red team's attacks on a channel server, measured: header floods (the server's peak memory and its
# answer), slow clients (how many it takes to fail a player's post, who posts once a second meanwhile),
# bursts of connects, pipelined requests, and wrong log-ins for a known and an unknown address.
# Usage: bench/channel_attacks.sh [build dir (build/release)] [seconds per slow run (40)] [slow counts]
#   CHANNEL_SERVER  another tundrix-channel (an older build's, to measure what it did)
#   CHANNEL_TARGET  channel (the default) or nginx: the channel behind the shipped nginx site, attacked
#                   on nginx's plain-HTTP port (the game's)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-40}
shift $(( $# > 2 ? 2 : $# ))
counts=${*:-8 24 40 100 300 1000}
bin=${CHANNEL_SERVER:-$build/channel/tundrix-channel}
attack="$build/tests/channel/tundrix_attack"
target=${CHANNEL_TARGET:-channel}
[ -x "$bin" ] && [ -x "$attack" ] || { echo "build first: cmake --build $build --target tundrix-channel tundrix_attack"; exit 1; }
source bench/channel_common.sh
source tools/nginx_front.sh

tmp=$(mktemp -d)
server_pid=""
nginx_pid=""
trap 'stop_nginx; [ -n "$server_pid" ] && kill -9 "$server_pid" 2>/dev/null; rm -rf "$tmp"' EXIT
db="$tmp/channel.db"
printf 'hemligt\n' | "$bin" --db "$db" user add anna@example.se >/dev/null

# start [serve options...]: the server (and nginx in front, for that target); sets to, the port attacked.
start() {
  local proxy=()
  [ "$target" = nginx ] && proxy=(--trusted-proxy 127.0.0.1)
  start_server "$bin" "$db" "$tmp/server.log" "${proxy[@]}" "$@"
  to=$port
  if [ "$target" = nginx ]; then
    start_nginx "$port" "$tmp/nginx"
    to=$nginx_http
  fi
}
stop() {
  stop_nginx
  stop_server
}
peaks() {
  local p="channel $(server_peak_mib) MiB"
  [ "$target" = nginx ] && p="$p, nginx $(nginx_peak_mib) MiB"
  echo "$p"
}
echo "server: $bin ($target)"

for connections in 1 8; do
  start
  result=$("$attack" flood 127.0.0.1 "$to" "$connections" 300)
  echo "header flood, $connections x 300 MiB: $result; peak memory: $(peaks)"
  stop
done

# The player posts every second; with the rate limits on, the old server's per-name limit would refuse
# them by itself.
for n in $counts; do
  start --rate-limits off
  echo "slow clients $n for ${seconds}s: $("$attack" slow 127.0.0.1 "$to" "$n" "$seconds" anna@example.se hemligt)"
  stop
done

start
for n in 200 1000; do
  echo "burst of $n connects: $("$attack" burst 127.0.0.1 "$to" "$n")"
  sleep 1
done
echo "7 pipelined GETs: $("$attack" pipeline 127.0.0.1 "$to" 7)"
echo "wrong log-ins: $("$attack" login-timing 127.0.0.1 "$to" anna@example.se 10)"
stop
