# shellcheck shell=bash
# Shared by the channel's benchmark scripts: start a server on a free loopback port, read its processor
# time and peak memory, stop it.

# start_listening <log> <command...>: sets server_pid and port.
# shellcheck source=../tools/start_listening.sh
. "$(dirname "${BASH_SOURCE[0]}")/../tools/start_listening.sh"

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

# bench_start <program...>: each one built (or says which targets to build), then a scratch folder in tmp
# that goes at exit, with the server and nginx (when tools/nginx_front.sh is sourced) stopped; a script
# with more to stop defines on_exit.
bench_start() {
  local p missing=()
  for p in "$@"; do [ -x "$p" ] || missing+=("$(basename "$p")"); done
  [ ${#missing[@]} -eq 0 ] || { echo "build first: cmake --build ${build:-build/release} --target ${missing[*]}"; exit 1; }
  tmp=$(mktemp -d)
  server_pid=""
  nginx_pid=""
  trap bench_cleanup EXIT
}
bench_cleanup() {
  if declare -F on_exit >/dev/null; then on_exit || true; fi
  if declare -F stop_nginx >/dev/null; then stop_nginx || true; fi
  if [ -n "$server_pid" ]; then kill -9 "$server_pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
