# shellcheck shell=bash
# start_channel <tundrix-channel> <database> <log> [serve options]: starts the server on a free loopback
# port; sets pid and base (http://127.0.0.1:PORT). The caller stops it with kill -TERM "$pid".
# shellcheck source=../../tools/start_listening.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/start_listening.sh"
start_channel() {
  local server=$1 db=$2 log=$3
  shift 3
  start_listening "$log" "$server" --db "$db" serve --create --listen 127.0.0.1:0 --contact "kanalen@example.se" "$@"
  pid=$server_pid
  base="http://127.0.0.1:$port"
}
