#!/usr/bin/env bash
# Measures the game's processor use on the play screen under Xvfb: starts the built game, presses Space on
# the title and on the match intro, then reads the process's user + system time over a span (60 s by
# default) and prints it as a share of one core. Also prints the per-frame present cost from bench_present
# when that benchmark is built beside the game.
# Usage: bench/measure_cpu.sh [build dir (default build/release)] [seconds (default 60)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-60}
game="$build/shell/tundrix"

if [ "${MEASURE_INNER:-}" != 1 ]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (apt-get install xvfb xdotool)"; exit 1; }
  done
  [ -x "$game" ] || { echo "$game is not built: cmake --build $build --target tundrix"; exit 1; }
  MEASURE_INNER=1 xvfb-run -n $(( 200 + $$ % 200 )) -s "-screen 0 1024x768x24 -nolock -nolisten unix" \
    bash "$0" "$build" "$seconds"
  if [ -x "$build/bench/bench_present" ]; then
    echo "-- present path per frame (bench_present)"
    "$build/bench/bench_present" --benchmark_min_time=1 2>/dev/null | grep BM_
  fi
  exit 0
fi

tmp=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" MESA_SHADER_CACHE_DIR="$tmp/mesa" SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
mkdir -p "$HOME"
"$game" >"$tmp/log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tundrix Ice-Hockey Cup$' | head -n 1)
xdotool windowfocus --sync "$wid" 2>/dev/null || true
sleep 2.5 # the title takes keys after two seconds
xdotool key space
sleep 1 # the match intro takes keys after ten frames
xdotool key space
sleep 1

ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
c0=$(cpu); t0=$(date +%s%N)
sleep "$seconds"
c1=$(cpu); t1=$(date +%s%N)
kill -0 "$pid" || { echo "the game ended during the measurement"; exit 1; }
awk -v c=$(( c1 - c0 )) -v hz="$ticks" -v ns=$(( t1 - t0 )) 'BEGIN {
  s = c / hz; wall = ns / 1e9
  printf "play screen under Xvfb: %.2f s of CPU in %.1f s = %.1f %% of one core (renderer: default)\n", s, wall, 100 * s / wall }'
