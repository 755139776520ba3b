#!/usr/bin/env bash
# Score posts with verification on: each member has played whole games first (the load client plays them
# with the game's own code), then posts each game's score and, once it is answered, the game's recording,
# as the game does after a registration. One table row per client count: score posts per second, the
# recordings played again and verified per second, the server's processor time and memory.
# The games are shared out among the members, so every row posts the same number of games; a row ends when
# they are all posted or the time is up.
# Usage: bench/channel_verified.sh [build dir (build/release)] [seconds (60)] [games (600)] [client counts (1 10 50)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-60}
games=${3:-600}
shift $(( $# > 3 ? 3 : $# ))
counts=${*:-1 10 50}
bin="$build/channel/tundrix-channel"
load="$build/bench/channel_load"
source bench/channel_common.sh
bench_start "$bin" "$load"

# How many recordings the database holds with each result (0 verified, 1 still waiting).
results() {
  python3 -c 'import sqlite3, sys
db = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
print(" ".join("%d:%d" % r for r in db.execute("SELECT result, count(*) FROM replays GROUP BY result")))' "$1"
}
waiting() { results "$1" | grep -q '\b1:'; }

echo "| clients | games posted | score posts/s | verified/s | score p50 / p99 ms | recording p50 / p99 ms | answers (code:count) | all checked after | kept (result:count) | server CPU (cores) | peak MiB |"
echo "|---:|---:|---:|---:|---:|---:|---|---:|---|---:|---:|"
for n in $counts; do
  db="$tmp/verified-$n.db"
  "$load" prepare "$db" "$n"
  start_server "$bin" "$db" "$tmp/server-$n.log" --rate-limits off
  c0=$(server_cpu)
  out=$("$load" verified "$port" "$n" "$seconds" $(( games / n )) | tail -n 1)
  # The recordings answered "queued" are played once the checker has room.
  t0=$(date +%s%N)
  for _ in $(seq 600); do waiting "$db" || break; sleep 0.1; done
  drained=$(( ($(date +%s%N) - t0) / 1000000 ))
  kept=$(results "$db")
  c1=$(server_cpu)
  peak=$(server_peak_mib)
  stop_server
  awk -v n="$n" -v drained="$drained" -v kept="$kept" -v c0="$c0" -v c1="$c1" -v peak="$peak" -v out="$out" 'BEGIN {
    k = split(out, o, " ")
    for (i = 1; i < k; i += 2) v[o[i]] = o[i + 1]
    for (i = 1; i <= k; i++) if (o[i] == "answers") { a = ""; for (j = i + 1; j <= k; j++) a = a " " o[j] }
    printf "| %d | %d | %.1f | %.1f | %.1f / %.1f | %.1f / %.1f | %s | %d ms | %s | %.2f | %s |\n", n, v["scores"],
      v["per_second"], v["verified_per_second"], v["score_p50_ms"], v["score_p99_ms"], v["replay_p50_ms"],
      v["replay_p99_ms"], a, drained, kept, (c1 - c0) / v["seconds"], peak }'
done
