#!/usr/bin/env bash
# The whole path a player takes: the channel's server on a free port with a fresh database, a member
# signed up through the page in Chromium, the real game under Xvfb pointed at the server with
# TUNDRIX_CHANNEL, a game played to a score above 0 and to its end (one capture, then the period clock
# runs out three times), the score sent from the register dialog, "Reg OK", and the score on the
# leaderboard in the browser.
# Usage: whole_system.sh <tundrix> <tundrix-channel> <folder for node_modules>
# SHOTS=<dir> keeps the game's screenshots.
set -euo pipefail
game=${1:?usage: whole_system.sh <tundrix> <tundrix-channel> <node dir>}
server=${2:?}
nodedir=${3:?}
here=$(cd "$(dirname "$0")" && pwd)

if [ "${WHOLE_INNER:-}" != 1 ]; then
  for tool in xvfb-run xdotool import convert node npm; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  [ -x /usr/bin/chromium ] || { echo "SKIP: /usr/bin/chromium is not installed"; exit 77; }
  mkdir -p "$nodedir"
  if ! cmp -s "$here/package-lock.json" "$nodedir/package-lock.json" || [ ! -d "$nodedir/node_modules" ]; then
    cp "$here/package.json" "$here/package-lock.json" "$nodedir/"
    (cd "$nodedir" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
  fi
  # A display nobody uses: -nolock leaves no lock file, so try a few and keep the one that starts.
  base=$(( 130 + ($$ % 300) ))
  for n in 0 1 2 3 4; do
    display=$(( base + n * 41 ))
    marker=$(mktemp)
    set +e
    WHOLE_INNER=1 WHOLE_MARKER="$marker" xvfb-run -n "$display" -s "-screen 0 1024x768x24 -nolock -nolisten unix" \
      bash "$0" "$@"
    rc=$?
    set -e
    started=$(cat "$marker"); rm -f "$marker"
    [ -n "$started" ] && exit $rc
    echo "display :$display would not start, trying another"
  done
  echo "FAIL: no virtual display could be started"
  exit 1
fi

echo started >"$WHOLE_MARKER"
tmp=$(mktemp -d)
pid=""
gamepid=""
cleanup() {
  [ -n "${SHOTS:-}" ] && mkdir -p "$SHOTS" && cp "$tmp"/game-*.png "$SHOTS"/ 2>/dev/null
  if [ -n "$gamepid" ] && kill -0 "$gamepid" 2>/dev/null; then kill "$gamepid"; wait "$gamepid" || true; fi
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; wait "$pid" || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" MESA_SHADER_CACHE_DIR="$tmp/mesa" SDL_AUDIODRIVER=dummy
mkdir -p "$HOME" "$XDG_CONFIG_HOME/lumora/tundrix"

fail() {
  echo "FAIL: $*"
  [ -f "$tmp/server.log" ] && { echo "-- server log"; tail -n 20 "$tmp/server.log"; }
  [ -f "$tmp/game.log" ] && { echo "-- game log"; tail -n 20 "$tmp/game.log"; }
  exit 1
}
now_ms() { date +%s%3N; }
poll() {
  local limit=$1; shift
  local end=$(( $(now_ms) + limit * 1000 ))
  until "$@"; do
    [ "$(now_ms)" -lt "$end" ] || return 1
    sleep 0.2
  done
}
flow() { NODE_PATH="$nodedir/node_modules" node "$here/channel_flow.cjs" "$base" "$tmp/profile" "" "$@"; }

# shellcheck source=start_channel.sh
. "$here/start_channel.sh"
start_channel "$server" "$tmp/channel.db" "$tmp/server.log"
echo "channel at $base"
flow join "spelare@example.se" "Spelaren" "isbana7" || fail "signing up through the page"

# The game, pointed at the channel. Should it post anywhere else, the proxy setting still keeps the
# traffic on this machine: every other host is sent to the channel's server, which answers 404.
port=${base##*:}
TUNDRIX_CHANNEL="127.0.0.1:$port" http_proxy="http://127.0.0.1:$port" https_proxy="http://127.0.0.1:$port" \
  no_proxy="127.0.0.1" NO_PROXY="127.0.0.1" "$game" >"$tmp/game.log" 2>&1 &
gamepid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tundrix Ice-Hockey Cup$' | head -n 1) ||
  fail "no game window"
eval "$(xwininfo -id "$wid" | awk '/Width:/ {print "width=" $2} /Height:/ {print "height=" $2}')"
menu=$(( height - 300 ))
xdotool mousemove --window "$wid" 400 $(( menu + 250 ))
xdotool windowfocus --sync "$wid" 2>/dev/null || true
shot() {
  kill -0 "$gamepid" 2>/dev/null || fail "the game ended early"
  timeout 10 import -window "$wid" "png:$1"
}
# The title bar of the dialog in front, as "WxH+X+Y", or "none" when no dialog is open. Dear ImGui's light
# style draws it in #D1D1D1; the opening drops the thin lines of the dimmed picture behind it.
dialog() {
  shot "$tmp/now.png"
  local box
  box=$(convert "$tmp/now.png" -crop "440x300+0+$menu" +repage -fill black +opaque "#D1D1D1" -fill white \
    -opaque "#D1D1D1" -morphology Open Rectangle:9x9 -trim -format "%wx%h%X%Y" info: 2>/dev/null)
  case "$box" in 1x1*|"") echo none ;; *) echo "$box" ;; esac
}
no_dialog() { [ "$(dialog)" = none ]; }
a_dialog() { [ "$(dialog)" != none ]; }

# Title, match intro, play.
sleep 2.5
shot "$tmp/game-title.png"
xdotool key space
sleep 1
xdotool key space
sleep 1
shot "$tmp/game-play.png"
# One small capture in the top-left corner: up the left edge, then a raid right and up to the top edge.
xdotool keydown Up; sleep 1.2; xdotool keyup Up; sleep 0.2
xdotool keydown Right keydown space; sleep 0.3; xdotool keyup Right keydown Up; sleep 0.6; xdotool keyup Up keyup space
sleep 0.5
shot "$tmp/game-capture.png"
echo "captured a corner; now the period clock runs out three times"
# Game over brings the question whether to send the best score: it comes only for a score above 0.
poll 300 a_dialog || fail "no question at the end of the game (score 0, or the game did not end)"
shot "$tmp/game-question.png"
echo "question: $(dialog)"
question=$(dialog)

# Yes: the register dialog, with the focus in the user name.
xdotool key Return
register_open() { local d; d=$(dialog); [ "$d" != none ] && [ "$d" != "$question" ]; }
poll 10 register_open || fail "Enter on the question did not open the register dialog"
register=$(dialog)
shot "$tmp/game-register.png"
echo "register dialog: $register"
xdotool type --delay 40 "spelare@example.se"
xdotool key Tab
xdotool type --delay 40 "isbana7"
shot "$tmp/game-register-filled.png"
xdotool key Return
# "Skickar..." while the score travels (the processor count takes 3 to 4 s), then the server's verdict.
posted() { grep -q 'r0003\.asp' "$tmp/server.log"; }
poll 40 posted || fail "no score reached the channel's server"
line=$(grep 'r0003\.asp' "$tmp/server.log" | tail -n 1)
echo "server: $line"
case "$line" in
  *" POST /r0003.asp 200 "*"personal best"*) ;;
  *"POST http"*) fail "the game posted to its built-in host, not to TUNDRIX_CHANNEL" ;;
  *) fail "the server did not register the score" ;;
esac
score=$(echo "$line" | sed -n 's/.*score \([0-9]*\) personal best.*/\1/p')
[ -n "$score" ] && [ "$score" -gt 0 ] || fail "the registered score is not above 0"
reg_ok() { local d; d=$(dialog); [ "$d" != none ] && [ "$d" != "$register" ]; }
poll 30 reg_ok || fail "no Reg OK message after the score was registered"
shot "$tmp/game-reg-ok.png"
message=$(dialog)
echo "message box: $message"
xdotool key Return
# OK closes the message and the register dialog (the game may go on to ask about another game).
ok_closed() { local d; d=$(dialog); [ "$d" != "$message" ] && [ "$d" != "$register" ]; }
poll 5 ok_closed || fail "OK did not close the message box"
shot "$tmp/game-after-ok.png"

flow leaderboard "Spelaren" "$score" || fail "the score is not on the leaderboard"
echo "PASS: score $score registered from the game and shown on the leaderboard"
