#!/usr/bin/env bash
# Load on the channel server over loopback: for each client count, a fresh database, that many members
# posting scores through the game's form for the given time, then a check that every answered post is
# kept exactly once and the database is intact. Prints one table row per client count.
# Usage: bench/channel_load.sh [build dir (build/release)] [seconds (60)] [client counts (1 10 50 200)]
#   CHANNEL_TARGET  channel (the default), nginx (the channel behind the shipped nginx site, posting to
#                   its plain-HTTP port), or bare-mhd / bare-httplib: an HTTP server that answers "0" to
#                   everything, on the channel's HTTP layer or on cpp-httplib, the ceiling of the HTTP alone
#   CHANNEL_SERVE_OPTIONS  more options of "serve" (e.g. "--credential-cache 0")
#   CHANNEL_SERVER, CHANNEL_PREPARE  another tundrix-channel, and another channel_load to sign the members
#                   up with (an older build's, to measure it with the same load client)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-60}
shift $(( $# > 2 ? 2 : $# ))
counts=${*:-1 10 50 200}
target=${CHANNEL_TARGET:-channel}
bin=${CHANNEL_SERVER:-$build/channel/tundrix-channel}
load="$build/bench/channel_load"
prepare=${CHANNEL_PREPARE:-$load}
[ -x "$bin" ] && [ -x "$load" ] || { echo "build first: cmake --build $build --target tundrix-channel channel_load"; exit 1; }
source bench/channel_common.sh
source tools/nginx_front.sh

tmp=$(mktemp -d)
server_pid=""
nginx_pid=""
trap 'stop_nginx; [ -n "$server_pid" ] && kill -9 "$server_pid" 2>/dev/null; rm -rf "$tmp"' EXIT
read -r -a extra <<<"${CHANNEL_SERVE_OPTIONS:-}"

echo "target: $target"
echo "| clients | posts/s | p50 ms | p99 ms | max ms | server CPU (cores) | peak memory MiB | answered 0/1 | kept | check |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
for n in $counts; do
  db="$tmp/load-$n.db"
  case "$target" in
    bare-mhd | bare-httplib) start_listening "$tmp/server-$n.log" "$load" bare "${target#bare-}" ;;
    *)
      "$prepare" prepare "$db" "$n"
      # Rate limits off: they would throttle one member posting as fast as it can, which is what is measured.
      proxy=()
      [ "$target" = nginx ] && proxy=(--trusted-proxy 127.0.0.1)
      start_server "$bin" "$db" "$tmp/server-$n.log" --rate-limits off "${proxy[@]}" "${extra[@]}" ;;
  esac
  to=$port
  if [ "$target" = nginx ]; then
    start_nginx "$port" "$tmp/nginx-$n"
    to=$nginx_http
  fi
  c0=$(server_cpu)
  out=$("$load" post "$to" "$n" "$seconds" 1 "$tmp/posts-$n.log")
  c1=$(server_cpu)
  peak=$(server_peak_mib)
  stop_nginx
  stop_server
  check="- - kept - faults 0 integrity -"
  case "$target" in bare-*) ;; *) check=$("$load" verify "$db" "$n" "$tmp/posts-$n.log" | tail -n 1) ;; esac
  awk -v n="$n" -v s="$seconds" -v c0="$c0" -v c1="$c1" -v peak="$peak" -v out="$out" -v check="$check" 'BEGIN {
    split(out, o, " "); split(check, k, " ")
    for (i = 1; i < length(o); i += 2) v[o[i]] = o[i + 1]
    for (i = 1; i < length(k); i += 2) w[k[i]] = k[i + 1]
    ok = w["integrity"] == "-" ? "-" : (w["faults"] == 0 && w["integrity"] == "ok") ? "none lost, intact" : "FAILED: " check
    printf "| %d | %.1f | %.1f | %.1f | %.1f | %.2f | %s | %d | %s | %s |\n", n, v["per_second"], v["p50_ms"],
      v["p99_ms"], v["max_ms"], (c1 - c0) / s, peak, v["acknowledged"], w["kept"], ok }'
done
