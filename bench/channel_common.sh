# shellcheck shell=bash
# Shared by the channel's load and kill scripts: start the server on a free loopback port, read its
# processor time and peak memory, stop it.

# start_server <tundrix-channel> <database> <log> [serve options...]: sets server_pid and port.
start_server() {
  local bin=$1 db=$2 log=$3
  shift 3
  port=""
  : >"$log" # a log of an earlier run must not tell an old port
  "$bin" --db "$db" serve --listen 127.0.0.1:0 "$@" >"$log" 2>&1 &
  server_pid=$!
  for _ in $(seq 200); do
    port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$log")
    [ -n "$port" ] && return 0
    kill -0 "$server_pid" 2>/dev/null || { cat "$log"; echo "the channel server did not start"; exit 1; }
    sleep 0.02
  done
  echo "the channel server did not say where it listens"; exit 1
}

# Processor seconds (user + system) the server has used so far.
server_cpu() {
  awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$server_pid/stat"
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
