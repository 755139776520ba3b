# shellcheck shell=bash
# start_listening <log> <command...>: starts a server in the background that says where it listens
# ("listening on http://127.0.0.1:PORT/"); sets server_pid and port, or stops the caller with its log.
start_listening() {
  local log=$1
  shift
  port=""
  # Made here: the server's own redirection happens in its process, perhaps after the first look, and a
  # log of an earlier run must not tell an old port.
  : >"$log"
  "$@" >"$log" 2>&1 &
  server_pid=$!
  for _ in $(seq 1000); do
    port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$log")
    [ -n "$port" ] && return 0
    kill -0 "$server_pid" 2>/dev/null || { cat "$log"; echo "FAIL: the server did not start"; exit 1; }
    sleep 0.02
  done
  kill "$server_pid" 2>/dev/null || true
  echo "FAIL: the server did not say where it listens"
  exit 1
}
