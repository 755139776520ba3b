#!/usr/bin/env bash
# A whole game to its end through the real window, then the score dialogs: raids until a score is made,
# then raids across the middle until the chances are gone, the question to submit appears and "Ja" opens the register dialog; OK with empty
# fields does nothing; the fields take "€" and hold 64 characters; a post in progress shows its state and
# "Avbryt" gives it up at once while the window keeps painting; the play-again question closes with
# Escape; "Registrera high-score" opens the dialog again with the login remembered; an unknown user says
# why, opens the sign-up page and keeps the dialog; a second Enter posts again and a wrong password says
# why and opens the password page; the right password typed over it registers, and "Reg OK" closes it
# all. Every post, the registered one included, carries the game's real score: the one the first post
# took at the end of the game.
# The posts go to a stand-in server on the loopback address, reached as the HTTP proxy.
# Usage: e2e_register.sh <path to tundrix> [zoom]; E2E_KEEP=<dir> keeps the screenshots there.
set -euo pipefail

game=${1:?usage: e2e_register.sh <tundrix> [zoom]}
zoom=${2:-1}
# The channel's replay check, which plays the registered score's game again.
replaycheck=${TUNDRIX_REPLAYCHECK:-$(dirname "$game")/../tools/replaycheck/tundrix-replaycheck}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed"; exit 77; }
e2e_start_display "$@"
e2e_setup
echo "$zoom" >"$settings/zoom"
z=$zoom

mkdir -p "$tmp/bin"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$tmp/urls" >"$tmp/bin/xdg-open"
chmod +x "$tmp/bin/xdg-open"
export PATH="$tmp/bin:$PATH"
touch "$tmp/urls" "$tmp/posts"
# The first post is held for 8 s (it is given up meanwhile), the second finds an unknown user, the third a
# wrong password, the fourth is registered.
python3 "$here/channel_standin.py" "$tmp/port" "$tmp/posts" 2@8 2 3 0 &
serverpid=$!
clippid=""
trap 'kill $serverpid $clippid 2>/dev/null; e2e_cleanup' EXIT
poll 10 test -s "$tmp/port" || fail "the stand-in server did not start"
export http_proxy="http://127.0.0.1:$(cat "$tmp/port")" no_proxy=""

# The euro sign on a key of its own (AltGr+E), as on a European keyboard: without it xdotool lends the
# sign a spare key only for an instant, which a busy program may read after it is gone.
command -v setxkbmap >/dev/null && setxkbmap -layout us -option lv3:ralt_switch -option eurosign:e

e2e_start_game
start=$(now_ms)
xdotool windowfocus --sync "$wid" 2>/dev/null || true
poll 5 sized "$(( 440 * z ))x$(( 323 * z ))" || fail "the window is $(window_size) at zoom $z"
away() { xdotool mousemove --window "$wid" $(at 430 310); }
away

buttons() { region 420 70 10 200; }

# --- Play ------------------------------------------------------------------------------------------
e2e_title_to_play "$start"
e2e_score_a_raid
echo "a raid scored; now long raids across the middle until the chances are gone"
e2e_raid_until_the_end
echo "the game ended after $(( ($(now_ms) - start) / 1000 )) s"

# --- The end of the game: question, register dialog, a post given up -------------------------------
other_dialog_up || fail "the first dialog at the end is not the question"
cp "$tmp/now.png" "$tmp/question-${z}x.png"
e2e_yes_to_register
cp "$tmp/now.png" "$tmp/register-${z}x.png"
xdotool key Return
sleep 1 # OK with empty fields must do nothing: give a post time to (wrongly) start
register_up || fail "OK with empty fields closed the dialog"
[ ! -s "$tmp/posts" ] || fail "OK with empty fields posted"
# 80 characters, "€" among them: the field keeps 64, and the euro sign goes as the code page's 0x80.
# Typed, then pasted: the euro sign and 71 more characters come from the clipboard with Ctrl+V, the way a
# player pastes an address; xdotool's typing of a sign off the keyboard map is not reliable on a busy
# machine.
shot "$tmp/typed-${z}x.png"
settled() { sleep 0.3; shot "$tmp/now.png"; local n; n=$(differing_pixels "$tmp/typed-${z}x.png" "$tmp/now.png"); cp "$tmp/now.png" "$tmp/typed-${z}x.png"; [ "$n" -le $(( 30 * z * z )) ]; } # the cursor blinks
xdotool type --delay 20 "abcdefgh"
poll 20 settled || fail "the dialog did not settle after typing"
# xclip owns the clipboard until the end of the test, so the game finds the text whenever it gets to the
# paste, however busy the machine; the paste waits until xclip really answers with it.
pasted="€$(printf 'x%.0s' $(seq 71))"
printf '%s' "$pasted" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
clippid=$!
offered() { [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$pasted" ]; }
poll 20 offered || fail "xclip did not offer the text to paste"
xdotool key ctrl+v
poll 20 settled || fail "the dialog did not settle after the paste"
xdotool key Tab
xdotool type --delay 20 "hemligt"
# The dialog works through the typed keys at its own pace: wait until its picture stops changing.
poll 20 settled || fail "the dialog did not settle after typing"
convert "$tmp/typed-${z}x.png" -crop "$(buttons)" +repage "$tmp/buttons-idle.png"
xdotool key Return
sending() { shot "$tmp/now.png"; convert "$tmp/now.png" -crop "$(buttons)" +repage "$tmp/b.png"; [ "$(differing_pixels "$tmp/buttons-idle.png" "$tmp/b.png")" -gt 0 ]; }
poll 5 sending || fail "OK did not show the post under way"
cp "$tmp/now.png" "$tmp/sending-${z}x.png"
sleep 0.5
posting=$(now_ms)
xdotool key Escape # Avbryt while the post is still under way
poll 3 eval '! register_up' || fail "Avbryt did not close the dialog while the post was under way"
echo "Avbryt closed the dialog $(( $(now_ms) - posting )) ms into the post"

# The game is the first in the player's own table, which shows it before the play-again question.
poll 5 other_dialog_up || fail "no table of best games after the register dialog"
cp "$tmp/now.png" "$tmp/best-games-entered-${z}x.png"
grep -q " original$" "$settings/best" || fail "the game is not in the table's file: $(cat "$settings/best" 2>/dev/null)"
xdotool key Return
sleep 0.5
# The play-again question comes next; Escape puts it away.
poll 5 other_dialog_up || fail "no play-again question after the register dialog"
cp "$tmp/now.png" "$tmp/play-again-${z}x.png"
xdotool key Escape
poll 5 no_dialog || fail "Escape did not put the play-again question away"

# --- Registrera high-score from the menu: an unknown user, then a second Enter ----------------------
xdotool mousemove --window "$wid" $(at 166 11) click 1
sleep 0.3
xdotool mousemove --window "$wid" $(at 186 38) click 1
away
poll 5 register_up || fail "Registrera high-score did not open the dialog after the game"
xdotool key Return # the remembered login
poll 20 grep -qx "http://www.lumora.se/registrera/" "$tmp/urls" || fail "an unknown user did not open the sign-up page"
# The reason, in pale gold above the buttons (which now offer "Försök igen").
# Its letters are anti-aliased over the navy dialog, so every shade of that gold over navy counts (the gold
# buttons and the white fields have other proportions of red, green and blue), in the band between the
# password field and the buttons.
pale_gold() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- | awk -F'[(),]' 'NR > 1 {
    r = $3; g = $4; b = $5
    if (r >= 120 && g >= 0.80 * r && g <= 0.95 * r && b >= 0.40 * r && b <= 0.65 * r) n++ }
    END { print n + 0 }'
}
why_shown() { register_up && [ "$(pale_gold "$tmp/now.png" "$(region 420 30 10 190)")" -ge $(( 25 * z * z )) ]; }
poll 5 why_shown || fail "the dialog did not say why the attempt failed"
cp "$tmp/now.png" "$tmp/register-failed-${z}x.png"
shot "$tmp/before-wrong-${z}x.png"
xdotool key Return # again: the dialog still takes Enter, and this time the password is wrong
poll 20 grep -q "^http://www.lumora.se/getpass.asp?mail=" "$tmp/urls" || fail "a wrong password did not open the password page"
# The reason changes from the unknown user to the wrong password.
reason_changed() { why_shown && [ "$(differs_pct "$tmp/before-wrong-${z}x.png" "$tmp/now.png" "$(region 420 30 10 190)")" -ge 1 ]; }
poll 10 reason_changed || fail "the dialog did not say the password was wrong"
cp "$tmp/now.png" "$tmp/register-wrong-password-${z}x.png"
# The focus is back in the password field: the right one replaces it, and Enter posts it.
xdotool key ctrl+a
xdotool type --delay 20 "isbana7"
poll 20 settled || fail "the dialog did not settle after typing the password"
xdotool key Return
regok() { other_dialog_up; }
poll 20 regok || fail "the right password did not post again and show Reg OK"
cp "$tmp/now.png" "$tmp/reg-ok-${z}x.png"
xdotool key Return
poll 5 no_dialog || fail "Reg OK did not close with the register dialog"

# What reached the server: four posts, every one with the game's score as the first took it, which is
# above 0; the last with the right password. The user name went as 64 single bytes, with the euro sign as
# 0x80.
field() { sed -n "${1}p" "$tmp/posts" | python3 "$here/channel_standin.py" --field "$2"; }
[ "$(wc -l <"$tmp/posts")" -eq 4 ] || fail "$(wc -l <"$tmp/posts") posts reached the server, not 4"
score=$(field 1 f4)
[ "$score" -gt 0 ] || fail "the game's score went as $score"
for n in 2 3 4; do
  [ "$(field "$n" f4)" = "$score" ] || fail "post $n sent the score $(field "$n" f4), not the game's $score"
done
[ "$(field 3 f3)" = "hemligt" ] && [ "$(field 4 f3)" = "isbana7" ] || fail "the passwords went as $(field 3 f3), $(field 4 f3)"
f1=$(sed -n 4p "$tmp/posts" | tr '&' '\n' | sed -n 's/^f1=//p')
[ "${#f1}" -eq 128 ] || fail "the user name went as $(( ${#f1} / 2 )) bytes, not 64"
# Read back in the code page: the euro sign is there only if it went as 0x80.
[ "$(field 4 f1)" = "abcdefgh€$(printf 'x%.0s' $(seq 55))" ] || fail "the user name went as $(field 4 f1)"
echo "registered: the game's score $score after a wrong password, with a 64-character user name (the euro sign as 0x80)"
# The registered score's game followed it, once, with the same login and score.
[ "$(wc -l <"$tmp/posts.replays" 2>/dev/null)" = 1 ] || fail "the registered score's game was not posted once"
replayed() { python3 "$here/channel_standin.py" --field "$1" <"$tmp/posts.replays"; }
[ "$(replayed f4)" = "$score" ] && [ "$(replayed f3)" = "isbana7" ] || fail "the replay went with $(replayed f4), $(replayed f3)"
grep -q "&replay=[A-Za-z0-9_-]\{40,\}" "$tmp/posts.replays" || fail "the replay post holds no recording"
sed 's/.*&replay=//' "$tmp/posts.replays" >"$tmp/replay.b64"
python3 -c 'import base64, sys; t = sys.stdin.read().strip(); sys.stdout.buffer.write(base64.urlsafe_b64decode(t + "=" * (-len(t) % 4)))' <"$tmp/replay.b64" >"$tmp/replay.txr"
echo "the game that made the score went along: $(wc -c <"$tmp/replay.txr") bytes"
# Played again the way the channel plays it, the real window's game reaches the score it registered.
"$replaycheck" "$tmp/replay.txr" "$score" "$(replayed f5)" || fail "the game's own recording does not reach its score"

kill "$clippid" 2>/dev/null || true
e2e_quit
echo "PASS"
