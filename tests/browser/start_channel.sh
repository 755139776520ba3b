# shellcheck shell=bash
# start_channel <tundrix-channel> <database> <log> [serve options]: starts the server on a free loopback
# port; sets pid and base (http://127.0.0.1:PORT). The caller stops it with kill -TERM "$pid".
start_channel() {
  local server=$1 db=$2 log=$3 port=""
  shift 3
  "$server" --db "$db" serve --create --listen 127.0.0.1:0 --contact "kanalen@example.se" "$@" >"$log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$log" 2>/dev/null || true)
    [ -n "$port" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$log"; echo "FAIL: the channel server did not start"; exit 1; }
    sleep 0.1
  done
  [ -n "$port" ] || { echo "FAIL: the channel server did not say where it listens"; exit 1; }
  base="http://127.0.0.1:$port"
}
