# shellcheck shell=bash
# Shared by the channel's benchmark scripts: start a server on a free loopback port, read its processor
# time and peak memory, stop it.

# start_listening <log> <command...>: starts a program that says where it listens
# ("listening on http://127.0.0.1:PORT/"); sets server_pid and port.
start_listening() {
  local log=$1
  shift
  port=""
  : >"$log" # a log of an earlier run must not tell an old port
  "$@" >"$log" 2>&1 &
  server_pid=$!
  for _ in $(seq 1000); do
    port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$log")
    [ -n "$port" ] && return 0
    kill -0 "$server_pid" 2>/dev/null || { cat "$log"; echo "the server did not start"; exit 1; }
    sleep 0.02
  done
  echo "the server did not say where it listens"; exit 1
}

# start_server <tundrix-channel> <database> <log> [serve options...]: sets server_pid and port.
start_server() {
  local bin=$1 db=$2 log=$3
  shift 3
  start_listening "$log" "$bin" --db "$db" serve --listen 127.0.0.1:0 "$@"
}

# Processor seconds (user + system) a process has used so far (the server's unless told).
server_cpu() {
  awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/${1:-$server_pid}/stat"
}

# Peak resident memory of the server, in MiB.
server_peak_mib() {
  awk '/^VmHWM/ { printf "%.0f", $2 / 1024 }' "/proc/$server_pid/status"
}

stop_server() {
  kill -TERM "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
}
