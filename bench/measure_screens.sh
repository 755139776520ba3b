#!/usr/bin/env bash
# What the game costs the machine on each of its screens under Xvfb: the title, play and the game-over
# question, 30 s each by default, with processor use (share of one core, every thread), the X server's
# processor use beside it and the two together in CPU seconds per 1,000 frames (40 s of the game's 25
# frames a second), with the feedback layer on and off, peak resident
# memory, wake-ups per second (context switches of every thread), the time from exec to the window being
# mapped and to the first game picture, and how many game windows were created and mapped. Measures the
# renderer the game picks for itself and then the accelerated renderer forced on with
# SDL_RENDER_DRIVER=opengl. Asserts nothing. The game-over screen needs a game played to its end with a
# score, which takes a few minutes. Sound goes to SDL's dummy driver (set SDL_AUDIODRIVER to change it).
# Usage: bench/measure_screens.sh [build dir (default build/release)] [seconds per screen (default 30)]
#        [renderers, default "auto opengl"] [feedback, default "on off"]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-30}
renderers=${3:-auto opengl}
feedbacks=${4:-on off}
game=$(realpath -m "$build/shell/tundrix")
here=$(pwd)/bench

if [ -z "${RENDERER:-}" ]; then
  command -v xev >/dev/null || { echo "xev is needed (apt-get install x11-utils)"; exit 1; }
  printf '%-8s %-8s %-9s %8s %8s %9s %9s %10s %8s %9s %8s %5s\n' renderer feedback screen "CPU %" "X CPU %" \
    "s/1000 f" "peak MB" "wakeups/s" "mapped" "picture" "created" "maps"
  for r in $renderers; do
    for f in $feedbacks; do
      RENDERER=$r FEEDBACK=$f bash "$0" "$build" "$seconds" "$r" 2>&1 | grep -E '^(row|FAIL)' | sed 's/^row //' || true
    done
  done
  exit 0
fi
. tests/e2e/lib.sh
e2e_start_display "$@"
e2e_setup
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} TUNDRIX_TIMING=1
[ "$RENDERER" = auto ] || export SDL_RENDER_DRIVER=$RENDERER
[ "${FEEDBACK:-on}" = off ] && echo 0 >"$settings/feedback"
# The X server this run draws on: the Xvfb of our own display.
xpid=$(pgrep -x Xvfb | while read -r p; do
  if tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -q "Xvfb ${DISPLAY} "; then echo "$p"; fi; done | head -n 1)
[ -n "$xpid" ] || fail "the X server of $DISPLAY was not found"

# Every window made and mapped on the screen, with the time it happened (no window manager: the game's
# window is a child of the root window).
# SDL's own 32 x 32 window for asking about OpenGL, made and destroyed unseen, is not counted.
( stdbuf -oL xev -root -event substructure | grep --line-buffered -A1 -E '^(CreateNotify|MapNotify)' |
  while IFS= read -r line; do echo "$(date +%s%N) $line"; done ) >"$tmp/maps" 2>/dev/null &
xevpid=$!
trap 'kill $xevpid 2>/dev/null; pkill -P $xevpid 2>/dev/null; e2e_cleanup' EXIT
sleep 0.5
t0=$(date +%s%N)
e2e_start_game
start=$(now_ms)
xdotool mousemove --window "$wid" $(at 430 310)

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/${1:-$gamepid}/stat"; }
switches() { cat /proc/"$gamepid"/task/*/status 2>/dev/null | awk '/ctxt_switches/ {s += $2} END {print s + 0}'; }
peak_kb() { awk '/VmHWM/ {print $2}' "/proc/$gamepid/status"; }
measure() { # measure <screen name>
  local c0 w0 t0s c1 w1 t1s x0 x1
  c0=$(cpu_ticks); x0=$(cpu_ticks "$xpid"); w0=$(switches); t0s=$(date +%s%N)
  sleep "$seconds"
  kill -0 "$gamepid" 2>/dev/null || fail "the game ended while its $1 screen was measured"
  c1=$(cpu_ticks); x1=$(cpu_ticks "$xpid"); w1=$(switches); t1s=$(date +%s%N)
  local mapped picture maps created
  maps=$(grep -c MapNotify "$tmp/maps" || true)
  created=$(grep -cE 'width [0-9]{3,}' "$tmp/maps" || true)
  mapped=$(awk -v t0="$t0" '/MapNotify/ {printf "%d ms", ($1 - t0) / 1e6; exit}' "$tmp/maps")
  picture=$(awk -v t0="$t0" '/first picture/ {printf "%d ms", ($NF - t0) / 1e6; exit}' "$tmp/game.log")
  awk -v c=$(( c1 - c0 )) -v x=$(( x1 - x0 )) -v hz="$ticks" -v ns=$(( t1s - t0s )) -v w=$(( w1 - w0 )) \
    -v kb="$(peak_kb)" -v r="$RENDERER" -v f="${FEEDBACK:-on}" -v s="$1" -v m="${mapped:-?}" \
    -v p="${picture:-?}" -v n="$maps" -v k="$created" 'BEGIN {
    wall = ns / 1e9
    printf "row %-8s %-8s %-9s %8.2f %8.2f %9.2f %9.1f %10.0f %8s %9s %8d %5d\n", r, f, s, 100 * c / hz / wall,
      100 * x / hz / wall, (c + x) / hz / wall * 40, kb / 1024, w / wall, m, p, k, n }'
}

poll 10 test $(( $(now_ms) - start )) -ge 2500 || true
measure title
e2e_title_to_play "$start"
measure play
e2e_score_a_raid
e2e_raid_until_the_end
other_dialog_up || fail "the game ended without the question to register the score"
measure game-over
