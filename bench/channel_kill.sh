#!/usr/bin/env bash
# No answered score is lost when the server dies: members post scores while the server is killed with
# SIGKILL at a random moment, again and again; each time it is started again on the same database, which
# must open intact. At the end every post answered 0 or 1 must be kept exactly once.
# Usage: bench/channel_kill.sh [build dir (build/release)] [trials (20)] [clients (10)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
trials=${2:-20}
clients=${3:-10}
bin="$build/channel/tundrix-channel"
load="$build/bench/channel_load"
source bench/channel_common.sh
bench_start "$bin" "$load"
poster=""
on_exit() { [ -z "$poster" ] || kill "$poster" 2>/dev/null; }
db="$tmp/channel.db"
"$load" prepare "$db" "$clients"
logs=()
for trial in $(seq "$trials"); do
  start_server "$bin" "$db" "$tmp/server.log" --rate-limits off
  log="$tmp/posts-$trial.log"
  logs+=("$log")
  # Each trial's scores are its own, so that a score kept twice cannot hide.
  "$load" post "$port" "$clients" 3 $(( trial * 100000 )) "$log" >"$tmp/post.out" &
  poster=$!
  # Somewhere between 0.3 and 2.5 seconds into the load (the first posts wait for their password checks).
  sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 0.3 + 2.2 * r / 32767 }')"
  kill -9 "$server_pid"
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
  wait "$poster"
  poster=""
  acked=$(grep -c '^A' "$log" || true)
  echo "trial $trial: killed after $acked answered posts"
done
# The last start must find the database whole too.
start_server "$bin" "$db" "$tmp/server.log"
stop_server
"$load" verify "$db" "$clients" "${logs[@]}"
