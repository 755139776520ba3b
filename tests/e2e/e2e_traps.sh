#!/usr/bin/env bash
# The traps a new player met, through the real window: a menu opened by F10 under a resting pointer lights
# its first item, not the one under the pointer; the best games and the channel's top ten from the menu;
# "Registrera high-score" greyed while there is nothing to send; quitting in the middle of a game asks
# (Escape keeps playing); after the game-over questions a hint says how to start again and Enter does;
# "Avsluta" on the title quits at once.
# Usage: e2e_traps.sh <path to tundrix> [zoom]; E2E_KEEP=<dir> keeps the screenshots there.
set -euo pipefail

game=${1:?usage: e2e_traps.sh <tundrix> [zoom]}
zoom=${2:-1}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed"; exit 77; }
e2e_start_display "$@"
e2e_setup
echo "$zoom" >"$settings/zoom"
z=$zoom
printf '3 1 2026-12-01 vessa original\n2 1 2026-12-02 brum easier\n1 1 2026-12-03 vessa original\n' >"$settings/best"

touch "$tmp/posts"
python3 "$here/channel_standin.py" "$tmp/port" "$tmp/posts" &
serverpid=$!
trap 'kill $serverpid 2>/dev/null || true; e2e_cleanup' EXIT
poll 10 test -s "$tmp/port" || fail "the stand-in channel did not start"
export http_proxy="http://127.0.0.1:$(cat "$tmp/port")" no_proxy="" TUNDRIX_CHANNEL=scores.example

e2e_start_game
start=$(now_ms)
xdotool windowfocus --sync "$wid" 2>/dev/null || true
poll 5 sized "$(( 440 * z ))x$(( 323 * z ))" || fail "the window is $(window_size) at zoom $z"
alive() { kill -0 "$gamepid" 2>/dev/null; }
# The rows of the open "Spel" menu, at 1x.
row() { echo $(( 38 + $1 * 23 )); }

# --- F10 under a pointer resting on "Avsluta" lights "Starta nytt spel" ---------------------------
xdotool mousemove --window "$wid" $(at 33 11) click 1
sleep 0.5
xdotool mousemove --window "$wid" $(at 60 "$(row 2)")
sleep 0.3
xdotool key Escape
sleep 0.5
xdotool key F10
sleep 0.5
shot "$tmp/menu-by-key-${z}x.png"
xdotool key Return
sleep 1.5
alive || fail "Enter on a menu opened by F10 chose the item under the pointer: the game quit"
echo "F10 under a resting pointer lit the first item"
xdotool mousemove --window "$wid" $(at 430 310)

# --- Koppla upp: register greyed before a game is over --------------------------------------------
xdotool key F10 Right Right
sleep 0.5
shot "$tmp/register-greyed-${z}x.png"
xdotool key Escape
sleep 0.3

# --- The best games and the channel's top ten, by keys: up from the first wraps to the last ----------
xdotool key F10 Right Up Up Up Return
poll 5 dialog_up || fail "Bästa resultat opened no dialog"
# The channel's list comes on a thread of its own; give it a moment.
sleep 1.5
shot "$tmp/best-games-${z}x.png"
xdotool key Return
poll 5 no_dialog || fail "Enter did not close the best games"

# --- Quitting mid-game asks; Escape keeps playing ---------------------------------------------------
start=$(now_ms)
e2e_title_to_play "$start"
xdotool key F10 Down Down Return
poll 5 dialog_up || fail "Avsluta in the middle of a game asked nothing"
shot "$tmp/quit-question-${z}x.png"
xdotool key Escape
poll 5 no_dialog || fail "Escape did not put the quit question away"
alive || fail "Escape on the quit question quit"
echo "quitting mid-game asked, and Escape kept playing"

# --- To the end of the game: the questions, the table, then the hint and Enter ----------------------
e2e_score_a_raid
e2e_raid_until_the_end
xdotool key Escape # no to sending the score
sleep 0.8
poll 5 dialog_up || fail "no table of best games after the game"
shot "$tmp/best-games-entered-${z}x.png"
grep -c . "$settings/best" | grep -qx 4 || fail "the game did not enter the table: $(cat "$settings/best")"
xdotool key Return
sleep 0.8
poll 5 dialog_up || fail "no play-again question"
xdotool key Escape
poll 5 no_dialog || fail "Escape did not put the play-again question away"
sleep 0.5
shot "$tmp/game-over-hint-${z}x.png"
xdotool key F10 Right Right
sleep 0.5
shot "$tmp/register-after-${z}x.png"
xdotool key Escape
sleep 0.3
cp "$tmp/now.png" "$tmp/over.png"
xdotool key Return
new_game() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/over.png" "$tmp/now.png" "$(region 440 300 0 23)")" -ge 30 ]; }
poll 5 new_game || fail "Enter after the game-over questions did not start a new game"
echo "after the game-over questions Enter started a new game"

# --- On the title, Avsluta quits at once ------------------------------------------------------------
xdotool key F10 Down Down Return
poll 10 eval '! alive' || fail "Avsluta on the title did not quit"
gamepid=""
echo "all traps closed"
