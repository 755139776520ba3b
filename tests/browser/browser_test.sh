#!/usr/bin/env bash
# Starts the channel's server on a free port with a fresh database, posts a score the way the game does,
# and has Chromium sign up, log out and in, open the challenge page and read the leaderboard.
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
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; wait "$pid" || true; fi
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
# The operator releases the build that posts (the poster stands for the game): its CRC-32 and length.
crc=$(python3 -c 'import sys, zlib; print(zlib.crc32(open(sys.argv[1], "rb").read()))' "$poster")
"$server" --db "$tmp/channel.db" release add 3 "$crc" "$(stat -c %s "$poster")" >/dev/null
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
echo "PASS"
