#!/usr/bin/env bash
# Starts the channel's server on a free port with a fresh database, posts a score the way the game does,
# and has Chromium sign up, log out and in, open the challenge page, read the leaderboard, and reset a
# forgotten password from a mailed link.
# Usage: browser_test.sh <tundrix-channel> <tundrix_post_score> <folder for node_modules>
# SHOTS=<dir> keeps screenshots of every page at desktop and phone widths.
set -euo pipefail
server=${1:?usage: browser_test.sh <tundrix-channel> <post_score> <node dir>}
poster=${2:?}
nodedir=${3:?}
here=$(cd "$(dirname "$0")" && pwd)

for tool in node npm; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x /usr/bin/chromium ] || { echo "SKIP: /usr/bin/chromium is not installed"; exit 77; }

# Playwright from the lock file, installed beside the build; it never downloads a browser.
mkdir -p "$nodedir"
if ! cmp -s "$here/package-lock.json" "$nodedir/package-lock.json" || [ ! -d "$nodedir/node_modules" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$nodedir/"
  (cd "$nodedir" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

tmp=$(mktemp -d)
pid=""
sink=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; wait "$pid" || true; fi
  if [ -n "$sink" ]; then kill -TERM "$sink"; wait "$sink" || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config"
mkdir -p "$HOME"

# shellcheck source=start_channel.sh
. "$here/start_channel.sh"
start_channel "$server" "$tmp/channel.db" "$tmp/server.log"
echo "channel at $base"

# A member who has posted a score, so the leaderboard has a rival on it.
printf 'hemligt\n' | "$server" --db "$tmp/channel.db" user add rival@example.se --nickname "Rival <3" >/dev/null
# The operator releases the build that posts (the poster stands for the game), measured as the game does.
"$server" --db "$tmp/channel.db" release add 3 --from "$poster" >/dev/null
answer=$("$poster" "$base" rival@example.se hemligt 1234)
[ "${answer%% *}" = 0 ] || { echo "FAIL: the game's post was answered $answer"; exit 1; }
# The longest nickname there may be, with a long score, on every board (after a long game).
printf 'hemligt\n' | "$server" --db "$tmp/channel.db" user add long@example.se --nickname WWWWWWWWWWWWWWWWWWWWWWWW >/dev/null
answer=$("$poster" "$base" long@example.se hemligt 99999 900000)
[ "${answer%% *}" = 0 ] || { echo "FAIL: the long game's post was answered $answer"; exit 1; }

NODE_PATH="$nodedir/node_modules" node "$here/channel_flow.cjs" "$base" "$tmp/profile" "${SHOTS:-}" signup
# The member the browser signed up posts from the game too, and the leaderboard shows it.
answer=$("$poster" "$base" "elsa@example.se" $'sn\xc3\xb6boll' 2345)
echo "post for the browser's member answered: $answer"
[ "${answer%% *}" = 0 ] || { echo "FAIL: expected 0, got $answer"; exit 1; }
NODE_PATH="$nodedir/node_modules" node "$here/channel_flow.cjs" "$base" "$tmp/profile" "" leaderboard Elsa 2345

# The operator's competitions: a daily one drawn by lot among the three best, a recruiting one, one
# ended, an announcement; a member level with the rival, and the day's draw published.
ch() { "$server" --db "$tmp/channel.db" "$@" >/dev/null; }
printf 'hemligt\n' | ch user add tie@example.se --nickname Jämn
answer=$("$poster" "$base" tie@example.se hemligt 1234)
[ "${answer%% *}" = 0 ] || { echo "FAIL: the tying post was answered $answer"; exit 1; }
today=$(date +%F)
ch competition add --kind daily --name-sv "Klassens dagspris" --name-en "The class's daily prize" --to "$today" \
  --winners 2 --draw-among 3 --prizes-sv Biobiljett --prizes-en "A cinema ticket" \
  --rules-sv "Endast klass 7B." --rules-en "Class 7B only."
ch competition add --kind recruiting --name-sv "Värva flest" --name-en "Recruit the most" --to "$today"
ch competition add --kind period --name-sv "Gammal tävling" --to "$today"
ch competition end 3
ch announce "Finalen spelas på fredag!" --until "$today"
"$server" --db "$tmp/channel.db" winners --competition 1 --day "$today" --unverified --seed draw-seed --publish --early \
  >/dev/null 2>&1 || { echo "FAIL: the draw was not published"; exit 1; }
NODE_PATH="$nodedir/node_modules" node "$here/competition_flow.cjs" "$base" "$tmp/profile" "${SHOTS:-}"

# A hundred and one members above Elsa, so that her page finds her beyond the boards' first hundred.
posts=()
for n in $(seq 101); do
  printf 'hemligt\n' | ch user add "p$n@example.se" --nickname "Spelare $n"
  "$poster" "$base" "p$n@example.se" hemligt $((3000 + n)) 900000 >/dev/null &
  posts+=($!)
done
for job in "${posts[@]}"; do wait "$job"; done
NODE_PATH="$nodedir/node_modules" node "$here/guide_flow.cjs" "$base" "${SHOTS:-}"
NODE_PATH="$nodedir/node_modules" node "$here/member_flow.cjs" "$base" "${SHOTS:-}" elsa@example.se $'sn\xc3\xb6boll'

# The channel again on the same database, now with an SMTP relay (the tests' own, when Debian's aiosmtpd is
# there): a forgotten password, reset from the mailed link; and a banned member's log-in.
ch member ban long@example.se
kill -TERM "$pid" && wait "$pid" || true
if /usr/bin/python3 -c 'import aiosmtpd' 2>/dev/null; then
  mkdir -p "$tmp/mail"
  /usr/bin/python3 "$here/../channel/smtp_sink.py" "$tmp/mail" >"$tmp/smtp.port" &
  sink=$!
  for _ in $(seq 100); do [ -s "$tmp/smtp.port" ] && break; sleep 0.05; done
  start_channel "$server" "$tmp/channel.db" "$tmp/server.log" --public-url http://kanalen.test \
    --smtp-host 127.0.0.1 --smtp-port "$(cat "$tmp/smtp.port")" --smtp-tls off --mail-from kanalen@example.se
  NODE_PATH="$nodedir/node_modules" node "$here/channel_flow.cjs" "$base" "$tmp/profile" "${SHOTS:-}" reset \
    elsa@example.se "$tmp/mail"
else
  echo "SKIP (reset by mail): /usr/bin/python3 has no aiosmtpd"
  start_channel "$server" "$tmp/channel.db" "$tmp/server.log"
fi
NODE_PATH="$nodedir/node_modules" node "$here/channel_flow.cjs" "$base" "$tmp/profile" "${SHOTS:-}" banned \
  long@example.se hemligt
echo "PASS"
