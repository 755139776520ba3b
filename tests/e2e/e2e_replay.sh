#!/usr/bin/env bash
# Replays through the real window: "Play back the last game" is greyed before any game was played; during
# play it asks before it ends the game, then shows the game again with its tag, picture after picture, and
# Escape stops it at a fresh title; "Save the last game" writes last-game.txr beside the settings and says
# where; "Open replay…" takes a typed path: a damaged file is refused with a message, the saved one plays
# and Escape stops it again; the game plays on afterwards and Alt-F4 ends it.
# Usage: e2e_replay.sh <path to tundrix>; E2E_KEEP=<dir> keeps the screenshots there.
set -euo pipefail

game=${1:?usage: e2e_replay.sh <tundrix>}
. "$(dirname "$0")/lib.sh"
e2e_start_display "$@"
e2e_setup

e2e_start_game
start=$(now_ms)
xdotool windowfocus --sync "$wid" 2>/dev/null || true
poll 5 sized 440x323 || fail "the window is $(window_size)"
away() { xdotool mousemove --window "$wid" $(at 430 310); }
away

# The "Tävling" menu at 1x: its title, and its rows (a separator after the second).
title_x=88
row_y() { local y=$(( 38 + $1 * 23 )); [ "$1" -gt 2 ] && y=$(( y - 16 )); echo $y; }
PLAY_LAST=3 SAVE_LAST=4 OPEN=5
gold_in() { shot "$tmp/now.png"; count_colour "$tmp/now.png" "$1" ffc820; }
menu_lit() { [ "$(gold_in "$(region 120 20 $(( title_x - 20 )) 28)")" -ge 1000 ]; }
menu_gone() { ! menu_lit; }
# The tag in the picture's bottom left corner while a replay is shown.
tag_area() { region 130 26 0 297; }
tagged() { [ "$(gold_in "$(tag_area)")" -ge 150 ]; }
untagged() { [ "$(gold_in "$(tag_area)")" -lt 20 ]; }
picture() { region 440 300 0 23; }
open_menu() {
  xdotool mousemove --window "$wid" $(at $title_x 11) click 1
  poll 5 menu_lit || fail "the Tävling menu did not open"
}
choose() { # row name
  open_menu
  cp "$tmp/now.png" "$tmp/menu-$2.png"
  xdotool mousemove --window "$wid" $(at $(( title_x + 40 )) "$(row_y "$1")") click 1
  away
}
# Frames of a replay keep coming: three shots in a row, each tagged, each differ from the one before.
moving() {
  local i
  shot "$tmp/a.png"
  for i in 1 2 3; do
    sleep 0.3
    shot "$tmp/b.png"
    [ "$(count_colour "$tmp/b.png" "$(tag_area)" ffc820)" -ge 150 ] || return 1
    [ "$(differing_pixels "$tmp/a.png" "$tmp/b.png")" -gt 0 ] || return 1
    cp "$tmp/b.png" "$tmp/a.png"
  done
}

# --- Nothing played yet: the two last-game items are greyed and do nothing ----------------------------
choose $PLAY_LAST greyed
sleep 0.5
menu_lit || fail "a click on the greyed item closed the menu as if it had been chosen"
xdotool key Escape
poll 5 menu_gone || fail "Escape did not close the menu"
no_dialog || fail "the greyed item opened something"

# --- A little play, then the replay of the game in progress after a confirmation ----------------------
e2e_title_to_play "$start"
e2e_score_a_raid
# Some seconds more of play, so the replay has play to show for a while.
sleep 8
echo "a raid scored; the game in progress is played back"
choose $PLAY_LAST play
poll 5 dialog_up || fail "no confirmation before the game in progress ended"
cp "$tmp/now.png" "$tmp/confirm.png"
xdotool key Return
poll 5 tagged || fail "no REPRIS / REPLAY tag after Ja"
cp "$tmp/now.png" "$tmp/playback-title.png"
# The recorded Space on the title and on the intro: the replay goes on into play by itself.
# The scoreboard across the top of play is nothing like the sky over the title.
hud() { region 300 35 0 25; }
in_play() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/title.png" "$tmp/now.png" "$(hud)")" -ge 40 ] && tagged; }
poll 40 in_play || fail "the replay did not go on from its title into play"
poll 10 moving || fail "the replay's pictures do not change"
cp "$tmp/b.png" "$tmp/playback.png"
echo "the replay plays"
xdotool key Escape
poll 5 untagged || fail "Escape did not stop the replay"
# A fresh game at its title, which plays for a few seconds: long enough that its replay, opened below,
# still runs when a busy machine gets round to looking at it.
e2e_title_to_play "$(now_ms)"
cp "$tmp/now.png" "$tmp/after.png"
sleep 6

# --- Save the last game: written beside the settings, and the player is told where ----------------------
choose $SAVE_LAST save
poll 5 dialog_up || fail "saving said nothing"
cp "$tmp/now.png" "$tmp/saved.png"
[ -s "$settings/last-game.txr" ] || fail "no last-game.txr in the settings folder"
head -c 4 "$settings/last-game.txr" | grep -q TXR1 || fail "last-game.txr is no replay file"
cp "$settings/last-game.txr" "$tmp/saved.txr"
xdotool key Return
poll 5 no_dialog || fail "the saved message did not close"
echo "saved $(stat -c %s "$settings/last-game.txr") bytes"

# --- Open replay…: a damaged file is refused, the saved one plays ------------------------------------
head -c 40 "$tmp/saved.txr" >"$tmp/damaged.txr"
open_path() { # path name
  choose $OPEN "open-$2"
  poll 5 dialog_up || fail "Öppna repris… opened no dialog"
  cp "$tmp/now.png" "$tmp/open-dialog-$2.png"
  xdotool type --delay 20 "$1"
  xdotool key Return
}
open_path "$tmp/damaged.txr" damaged
refused() { dialog_up && ! cmp -s "$tmp/now.png" "$tmp/open-dialog-damaged.png"; }
sleep 1
poll 5 refused || fail "a damaged file left no message"
cp "$tmp/now.png" "$tmp/refused.png"
xdotool key Return
poll 5 no_dialog || fail "the refusal did not close"
untagged || fail "a damaged file was played"

# The game in progress is asked about first, then the file plays.
open_path "$tmp/saved.txr" saved
poll 5 dialog_up || fail "no confirmation before the game in progress ended"
xdotool key Return
poll 5 tagged || fail "the saved replay did not start"
poll 15 moving || fail "the saved replay's pictures do not change"
cp "$tmp/b.png" "$tmp/playback-file.png"
xdotool key Escape
poll 5 untagged || fail "Escape did not stop the saved replay"
grep -i "error\|assert" "$tmp/game.log" && fail "the program complained"

e2e_quit
echo "PASS"
