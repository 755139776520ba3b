#!/usr/bin/env bash
# Two copies of the real program at once under Xvfb, sharing one settings folder: a minute into the
# second, the play-time file already holds a minute of each; then the second is killed and the first
# quits with Alt-F4. The total holds the whole run of the copy that quit and all but at most the last
# minute of the one that was killed.
# Usage: e2e_play_time.sh <path to tundrix>
set -euo pipefail

game=${1:?usage: e2e_play_time.sh <tundrix>}
. "$(dirname "$0")/lib.sh"
e2e_start_display "$@"
e2e_setup
timefile="$settings/time"
echo 100000 >"$timefile"
stored() { tr -d '[:space:]' <"$timefile"; }
second=""
trap '[ -n "$second" ] && kill -9 "$second" 2>/dev/null; e2e_cleanup' EXIT

startA=$(now_ms)
e2e_start_game
first=$gamepid
startB=$(now_ms)
"$game" >"$tmp/second.log" 2>&1 &
second=$!
other_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Tundrix Ice-Hockey Cup$' 2>/dev/null); do
    [ "$w" != "$wid" ] && return 0
  done
  return 1
}
poll 20 other_window || fail "the second copy opened no window"
echo "two copies running; waiting for each one's first minute"

# Both copies add their first minute to the total as it stands: neither overwrites the other.
both_minutes() { [ "$(stored)" -ge $(( 100000 + 2 * 60000 )) ]; }
poll 75 both_minutes || fail "a minute into both copies the file holds $(stored) ms"
echo "a minute into both: $(stored) ms stored"
sleep 3 # past the minute, so the kill loses time that was never written

kill -9 "$second"
killed=$(now_ms)
{ wait "$second"; } 2>/dev/null || true
second=""
xdotool windowfocus --sync "$wid" 2>/dev/null || true
e2e_quit # the first copy's
finish=$(now_ms)

added=$(( $(stored) - 100000 ))
runA=$(( finish - startA ))
runB=$(( killed - startB ))
echo "play time grew by $added ms: the first copy ran $runA ms and quit, the second ran $runB ms and was killed"
# Each copy's clock starts a little after its launch; the killed copy loses what it ran after its last
# minute, and never more than a minute.
[ "$added" -le $(( runA + runB )) ] || fail "play time grew by $added ms, more than the $(( runA + runB )) ms run"
[ "$added" -ge $(( runA - 3000 + runB - 60000 - 3000 )) ] || fail "play time grew by only $added ms"
echo "PASS"
