#!/usr/bin/env bash
# The channel behind the nginx site the repository ships (Debian's nginx, as an ordinary user, on
# loopback ports, with a self-signed certificate made now): HTTPS with HTTP/2 and the channel's
# secure cookies and HSTS, the game's post over plain HTTP, the client address nginx passes on (and
# only that), then the slow-client, header-flood and burst attacks, bounded, while a player posts.
# Usage: nginx_test.sh <tundrix-channel> <tundrix_attack> <tundrix_post_score>
set -euo pipefail
server=${1:?usage: nginx_test.sh <tundrix-channel> <tundrix_attack> <tundrix_post_score>}
attack=${2:?}
poster=${3:?}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../tools/nginx_front.sh
. "$here/../../tools/nginx_front.sh"
# shellcheck source=../../tools/start_listening.sh
. "$here/../../tools/start_listening.sh"
command -v curl >/dev/null || { echo "SKIP: curl is not installed"; exit 77; }

tmp=$(mktemp -d)
pid=""
cleanup() {
  stop_nginx
  if [ -n "$pid" ]; then kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$tmp/channel.log" ] && { echo "-- channel log"; tail -n 15 "$tmp/channel.log"; }
  [ -f "$tmp/nginx/error.log" ] && { echo "-- nginx log"; tail -n 15 "$tmp/nginx/error.log"; }
  exit 1
}
for proxy in http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY; do unset "$proxy"; done

printf 'hemligt\n' | "$server" --db "$tmp/channel.db" user add anna@example.se --nickname Anna >/dev/null
# The public address nginx gives it; its port is only known once nginx runs, but the scheme is what counts.
start_listening "$tmp/channel.log" "$server" --db "$tmp/channel.db" serve --listen 127.0.0.1:0 \
  --trusted-proxy 127.0.0.1 --public-url https://localhost --contact kanalen@example.se
pid=$server_pid
start_nginx "$port" "$tmp/nginx"
echo "channel on $port, nginx on $nginx_http (HTTP) and $nginx_https (HTTPS)"

# Browsers: HTTP/2 over TLS, the channel's secure cookies and HSTS; plain HTTP pages move to HTTPS.
got=$(curl -sk --http2 -o /dev/null -w '%{http_version} %{http_code}' "https://127.0.0.1:$nginx_https/logga-in/")
[ "$got" = "2 200" ] || fail "HTTPS with HTTP/2 answered '$got'"
headers=$(curl -sk -D - -o /dev/null "https://127.0.0.1:$nginx_https/logga-in/")
grep -qi '^strict-transport-security: max-age=31536000' <<<"$headers" || fail "no HSTS behind nginx"
grep -qi '^set-cookie: __Host-tundrix_form=.*; Secure' <<<"$headers" || fail "the form cookie is not __Host- and Secure"
got=$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' "http://127.0.0.1:$nginx_http/registrera/?ref=x")
[ "$got" = "301 https://127.0.0.1/registrera/?ref=x" ] || fail "plain HTTP page answered '$got'"

# A password reset link's key never reaches nginx's access log, though the request does.
curl -sk -o /dev/null "https://127.0.0.1:$nginx_https/nytt-losenord/?t=k3yN0b0dyM4yR34d"
grep -q '"GET /nytt-losenord/ HTTP/2.0" ' "$tmp/nginx/tundrix-channel.access.log" ||
  fail "nginx did not log the reset page: $(tail -n 2 "$tmp/nginx/tundrix-channel.access.log")"
! grep -q 'k3yN0b0dyM4yR34d' "$tmp/nginx/tundrix-channel.access.log" || fail "a reset link's key is in nginx's log"

# The game posts over plain HTTP as it always has; a claimed client address counts for nothing.
answer=$("$poster" "http://127.0.0.1:$nginx_http" anna@example.se hemligt 900 3000)
[ "${answer%% *}" = 0 ] || fail "the game's post through nginx was answered $answer"
curl -s -o /dev/null -H 'X-Forwarded-For: 203.0.113.66' -H 'X-Real-IP: 203.0.113.66' \
  --data 'f1=00' "http://127.0.0.1:$nginx_http/r0003.asp"
# The channel writes its log in batches from a thread of its own: the line comes soon, not at once.
logged() { grep -q ' 127\.0\.0\.1 POST /r0003\.asp 400 ' "$tmp/channel.log"; }
for _ in $(seq 50); do logged && break; sleep 0.1; done
logged || fail "the channel did not log the client nginx saw"
! grep -q '203\.0\.113\.66' "$tmp/channel.log" || fail "a client's own X-Forwarded-For reached the channel"

# Slow clients from many addresses for 15 s, a byte every 5 s: nginx ends each within its 10 s for a
# header, and the player's post every second is answered.
slow=$("$attack" slow 127.0.0.1 "$nginx_http" 300 15 anna@example.se hemligt)
echo "$slow"
read -r -a s <<<"$slow"
[ "${s[11]}" = 0 ] || fail "posts failed under slow clients: $slow"
[ "${s[5]}" -ge 250 ] || fail "nginx did not end the slow clients: $slow"

# Header floods: each refused within nginx's header buffers; nginx and the channel stay small.
flood=$("$attack" flood 127.0.0.1 "$nginx_http" 4 16)
echo "$flood"
grep -q 'statuses 400c 400c 400c 400c$' <<<"$flood" || fail "the floods were not refused: $flood"
echo "nginx peak memory: $(nginx_peak_mib) MiB"
[ "$(nginx_peak_mib)" -lt 64 ] || fail "nginx grew to $(nginx_peak_mib) MiB"

# Bursts of connects, and pipelined requests.
burst=$("$attack" burst 127.0.0.1 "$nginx_http" 500)
echo "$burst"
grep -q '^burst 500 answered 500 failed 0 ' <<<"$burst" || fail "the burst was not all answered: $burst"
pipeline=$("$attack" pipeline 127.0.0.1 "$nginx_http" 7)
[ "$pipeline" = "pipeline 7 answered 7" ] || fail "$pipeline"

answer=$("$poster" "http://127.0.0.1:$nginx_http" anna@example.se hemligt 950 3000)
[ "${answer%% *}" = 0 ] || fail "the game's post after the attacks was answered $answer"
echo "PASS"
