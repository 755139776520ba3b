#!/usr/bin/env bash
# Load on the channel server over loopback: for each client count, a fresh database, that many members
# posting scores through the game's form for the given time, then a check that every answered post is
# kept exactly once and the database is intact. Prints one table row per client count.
# Usage: bench/channel_load.sh [build dir (build/release)] [seconds (60)] [client counts (1 10 50 200)]
#   CHANNEL_SERVE_OPTIONS adds options to "serve" (e.g. "--credential-cache 0").
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-60}
shift $(( $# > 2 ? 2 : $# ))
counts=${*:-1 10 50 200}
bin="$build/channel/tundrix-channel"
load="$build/bench/channel_load"
[ -x "$bin" ] && [ -x "$load" ] || { echo "build first: cmake --build $build --target tundrix-channel channel_load"; exit 1; }
source bench/channel_common.sh

tmp=$(mktemp -d)
server_pid=""
trap '[ -n "$server_pid" ] && kill -9 "$server_pid" 2>/dev/null; rm -rf "$tmp"' EXIT
read -r -a extra <<<"${CHANNEL_SERVE_OPTIONS:-}"

echo "| clients | posts/s | p50 ms | p99 ms | max ms | server CPU (cores) | peak memory MiB | answered 0/1 | kept | check |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
for n in $counts; do
  db="$tmp/load-$n.db"
  "$load" prepare "$db" "$n"
  # Rate limits off: they would throttle one address posting as fast as it can, which is what is measured.
  start_server "$bin" "$db" "$tmp/server-$n.log" --rate-limits off "${extra[@]}"
  c0=$(server_cpu)
  out=$("$load" post "$port" "$n" "$seconds" 1 "$tmp/posts-$n.log")
  c1=$(server_cpu)
  peak=$(server_peak_mib)
  stop_server
  check=$("$load" verify "$db" "$n" "$tmp/posts-$n.log" | tail -n 1)
  awk -v n="$n" -v s="$seconds" -v c0="$c0" -v c1="$c1" -v peak="$peak" -v out="$out" -v check="$check" 'BEGIN {
    split(out, o, " "); split(check, k, " ")
    for (i = 1; i < length(o); i += 2) v[o[i]] = o[i + 1]
    for (i = 1; i < length(k); i += 2) w[k[i]] = k[i + 1]
    ok = (w["faults"] == 0 && w["integrity"] == "ok") ? "none lost, intact" : "FAILED: " check
    printf "| %d | %.1f | %.1f | %.1f | %.1f | %.2f | %s | %d | %d | %s |\n", n, v["per_second"], v["p50_ms"],
      v["p99_ms"], v["max_ms"], (c1 - c0) / s, peak, w["acknowledged"], w["kept"], ok }'
done
