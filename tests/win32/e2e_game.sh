#!/usr/bin/env bash
# The real Windows program under Wine, a whole game end to end: a raid that scores, raids until the chances
# are gone, the question and the register dialog posting to a stand-in channel on the loopback address
# (OK with empty fields does nothing; the fields take "€" and hold 64 characters; a post under way shows
# "Skickar..." and Cancel gives it up at once; an unknown user says why, opens the sign-up page and keeps
# the dialog; the next post shows "Reg OK"), and the play time: written once a minute by each of two copies
# running at once, one of them killed, and by the other when it quits.
# Usage: e2e_game.sh <tundrix.exe> <tundrix_window_probe.exe> <channel_standin.py>
set -euo pipefail
game=${1:?usage: e2e_game.sh EXE PROBE STANDIN}
probe=${2:?usage: e2e_game.sh EXE PROBE STANDIN}
standin=${3:?usage: e2e_game.sh EXE PROBE STANDIN}
SCREEN=1024x768
. "$(cd "$(dirname "$0")" && pwd)/e2e_lib.sh"
command -v xclip >/dev/null || { echo "SKIP: xclip is not installed (bash tools/deps.sh)"; exit 77; }
e2e_win_start

# The first post is held for 8 s (it is given up meanwhile), the second finds an unknown user, the third
# is registered.
touch "$tmp/posts"
python3 "$standin" "$tmp/port" "$tmp/posts" 2@8 2 0 &
serverpid=$!
trap 'kill $serverpid 2>/dev/null; e2e_win_cleanup' EXIT
poll 10 test -s "$tmp/port" || fail "the stand-in channel did not start"
export TUNDRIX_CHANNEL="127.0.0.1:$(cat "$tmp/port")"
# A sound device that writes what Wine mixes to a file: this game plays through DirectSound.
printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$tmp/mixed.raw" >"$tmp/alsa.conf"
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$tmp/alsa.conf"
registry_time() {
  local t
  t=$("$wine" reg query 'HKCU\SOFTWARE\lumora\tundrix' /v time 2>/dev/null | tr -d '\r' | awk '$1 == "time" {print $3}')
  echo $(( ${t:-0} ))
}

# A second copy first, which will be killed after its first minute; then the one that is played.
otherlaunched=$(now_ms)
"$wine" "$game" >"$tmp/other.log" 2>&1 &
otherpid=$!
other=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tundrix Ice-Hockey Cup$' | head -n 1) ||
  fail "the second copy showed no window"
# The game reads its keys whether or not its window has the focus, so the second copy is paused (P, which
# only the window with the focus gets) or it would play along with every key meant for the played copy,
# and is moved out of that copy's way.
# The pause sign's gold says the P arrived; a copy whose window was not yet ready for the keyboard is given
# it again (only while no sign shows, since P also ends a pause).
gold() { window_shot "$other" "$tmp/other.png" && count_colour "$tmp/other.png" 2000x2000+0+0 FFC828; }
sleep 1
gold_before=$(gold) || fail "no picture of the second copy"
other_paused() { [ "$(gold)" -gt $(( gold_before + 300 )) ]; }
wid=$other
for try in 1 2 3 4 5; do
  focus
  xdotool key p
  poll 3 other_paused && break
  [ "$try" -lt 5 ] || fail "P did not pause the second copy"
  echo "the second copy showed no pause sign after P (try $try)"
done
xdotool windowmove "$other" 560 40
otherstart=$(now_ms)
launched=$(now_ms)
"$wine" "$game" >"$tmp/game.log" 2>&1 &
gamepid=$!
find_played() { wid=$(xdotool search --all --onlyvisible --pid "$gamepid" --name '^Tundrix Ice-Hockey Cup$' | head -n 1); [ -n "$wid" ]; }
poll 30 find_played || fail "no window of the played copy"
started=$(now_ms)
focus
menu=$(menu_height)
at_y() { echo $(( menu + $1 )); }

# --- Play: the title, the match intro, a raid that scores -----------------------------------------
sleep 2.5
shot "$tmp/title.png"
picture="440x300+0+$menu"
keep_focus
xdotool key space
moved_on() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/title.png" "$tmp/now.png" "$picture")" -ge 30 ]; }
poll 5 moved_on || fail "Space on the title did not lead on"
sleep 0.6
cp "$tmp/now.png" "$tmp/intro.png"
keep_focus
xdotool key space
in_play() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/intro.png" "$tmp/now.png" "$picture")" -ge 30 ]; }
poll 5 in_play || fail "Space on the intro did not start play"
score_region="62x26+368+$(at_y 12)"
convert "$tmp/now.png" -crop "$score_region" +repage "$tmp/score0.png"
scored() {
  shot "$tmp/now.png"
  convert "$tmp/now.png" -crop "$score_region" +repage "$tmp/score.png"
  [ "$(compare -metric AE "$tmp/score0.png" "$tmp/score.png" null: 2>&1 | sed 's/[^0-9].*//')" -gt 0 ]
}
made=0
for attempt in 1 2 3 4 5; do
  keep_focus
  xdotool keydown Up; sleep 1.5
  xdotool keyup Up keydown Right; sleep 0.3
  xdotool keyup Right keydown Down keydown space; sleep 0.4
  xdotool keyup Down keydown Right; sleep 0.4
  xdotool keyup Right keydown Up
  poll 3 scored && made=1
  xdotool keyup Up keyup space
  [ "$made" = 1 ] && break
done
[ "$made" = 1 ] || fail "no raid made a score in five tries"
cp "$tmp/now.png" "$tmp/raid.png"
echo "a raid scored $(( ($(now_ms) - started) / 1000 )) s into the game"

# --- Raids until the chances are gone and the question comes ------------------------------------------
# Short raids into the ice in each direction by turns, each line left standing for a moment, soon cut (as
# the Linux runs do); the HUD's chance icons say when the last chance is gone, and then no key is held.
chances_left() { shot "$tmp/now.png"; [ "$(chance_pixels "$tmp/now.png" "110x30+206+$(at_y 9)")" -ge 30 ]; }
deadline=$(( $(now_ms) + 260000 ))
arrows=(Right Down Left Up)
for (( i = 0; ; i++ )); do
  [ "$(now_ms)" -lt "$deadline" ] || fail "no question at the end of the game"
  if ! chances_left; then
    poll 15 dialog_up "Registrera / Register" && break
    continue
  fi
  arrow=${arrows[$(( i % 4 ))]}
  keep_focus
  xdotool keydown "$arrow" keydown space
  sleep 0.8
  xdotool keyup space keyup "$arrow"
  poll 2 eval '! chances_left' || true
done
echo "the game ended after $(( ($(now_ms) - started) / 1000 )) s"
shot_root "$tmp/question.png"
dialog_says "Registrera / Register" 1000 "Vill du skicka din highscore till Internet? Would You like to submit your highscore to the Internet?" ||
  fail "the question says: $(dialog_text "Registrera / Register" 1000)"
[ -s "$tmp/mixed.raw" ] || fail "no sound came out of the DirectSound device"

# --- The register dialog ------------------------------------------------------------------------
# Return on "Ja"; a dialog Wine has only just made may miss the key, so while the question stays it is
# given the key again.
register=$'Registrera din po\xc3\xa4ng / Register your score ('
for try in 1 2 3 4; do
  [ "$try" -lt 4 ] || fail "Ja did not open the register dialog"
  focus_dialog "Registrera / Register"
  xdotool key Return
  poll 6 dialog_up "$register" && break
  dialog_up "Registrera / Register" || fail "Ja did not open the register dialog"
  echo "the question is still there after Return (try $try)"
done
shot_root "$tmp/register.png"
focus_dialog "Registrera din po"
caption=$(dialog_line "$register" | cut -f 2)
[ "${caption%)}" != "$caption" ] && [ "${caption##*(}" != "0)" ] || fail "the caption does not show the score: $caption"
xdotool key Return
sleep 1
dialog_up "$register" || fail "OK with empty fields closed the dialog"
[ ! -s "$tmp/posts" ] || fail "OK with empty fields posted"
# 80 characters, "€" among them: the field keeps 64; typed, then pasted from the clipboard. The window
# manager may have taken the keyboard away while the dialog stood still; it is given back first.
focus_dialog "Registrera din po"
xdotool type --delay 30 "abcdefgh"
printf '€%s' "$(printf 'x%.0s' $(seq 71))" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
clippid=$!
sleep 0.3
xdotool key ctrl+v
pasted() { user=$(dialog_text "$register" 1003); [ "${#user}" -eq 64 ] && [ "${user:8:1}" = "€" ]; }
poll 5 pasted || fail "the user name field holds ${#user} characters: $user"
kill "$clippid" 2>/dev/null || true
focus_dialog "Registrera din po"
xdotool key Tab
xdotool type --delay 30 "hemligt"
xdotool key Return
poll 5 eval '[ "$(dialog_text "$register" 1)" = "Skickar..." ]' || fail "OK did not show the post under way"
shot_root "$tmp/sending.png"
sleep 0.5
posting=$(now_ms)
xdotool key Escape # Avbryt while the post is still under way
# Each look at the dialogs starts a Wine process of its own, which a busy machine makes slow.
poll 6 eval '! dialog_up "$register"' || fail "Avbryt did not close the dialog while the post was under way"
echo "Avbryt closed the dialog $(( $(now_ms) - posting )) ms into the post"
poll 5 dialog_up "Spela Igen" || fail "no play-again question after the register dialog"
dialog_says "Spela Igen" 1000 "Vill du spela igen? / Would you like to play again?" ||
  fail "the play-again question says: $(dialog_text "Spela Igen" 1000)"
shot_root "$tmp/play-again.png"
# The window manager may leave the keyboard with the game's window when one dialog follows another: the
# question is given it again until Escape reaches it (an Escape for the game's window does no harm).
put_away() { focus_dialog "Spela Igen"; xdotool key Escape; sleep 0.5; no_dialog; }
poll 10 put_away || fail "Escape did not put the play-again question away"
game_running || fail "Escape at the play-again question ended the program"

# Registrera high-score from the menu: the login is remembered; an unknown user, then Reg OK.
pick 2 0
poll 5 dialog_up "$register" || fail "Registrera high-score did not open the dialog after the game"
focus_dialog "Registrera din po"
dialog_says "$register" 1003 "$user" || fail "the user name was not remembered: $(dialog_text "$register" 1003)"
xdotool key Return
poll 20 grep -qx "http://$TUNDRIX_CHANNEL/registrera/" "$tmp/urls" || fail "an unknown user did not open the sign-up page"
poll 5 eval '[ "$(dialog_text "Registrera / Register" 65535)" != "" ]' || fail "no word on why the attempt failed"
why=$(dialog_text "Registrera / Register" 65535)
[ "${why#Okänd användare}" != "$why" ] || fail "the reason given is: $why"
shot_root "$tmp/register-failed.png"
focus_dialog "Registrera / Register"
xdotool key Return
poll 5 eval '[ "$(dialog_text "$register" 1)" = "Försök igen" ]' || fail "the button does not offer another try"
focus_dialog "Registrera din po"
xdotool key Return # again
poll 20 dialog_up "Reg OK" || fail "a second OK did not post again and show Reg OK"
dialog_says "Reg OK" 65535 "Din poäng har registrerats / Your score has been registred" ||
  fail "Reg OK says: $(dialog_text "Reg OK" 65535)"
shot_root "$tmp/reg-ok.png"
focus_dialog "Reg OK"
xdotool key Return
poll 5 no_dialog || fail "Reg OK did not close with the register dialog"

# What reached the server: the user name as 64 single bytes, with the euro sign as 0x80.
last=$(tail -n 1 "$tmp/posts")
f1=$(echo "$last" | tr '&' '\n' | sed -n 's/^f1=//p')
[ "${#f1}" -eq 128 ] || fail "the user name went as $(( ${#f1} / 2 )) bytes, not 64"
[ $(( 0x${f1:0:2} ^ 0x${f1:16:2} )) -eq $(( 0x61 ^ 0x80 )) ] || fail "the euro sign did not go as 0x80"
echo "posted $(wc -l <"$tmp/posts") times: a 64-character user name with the euro sign as 0x80"

# --- Both copies' minute, the second one killed, and quitting: this copy's time on top of that minute -----
until [ $(( $(now_ms) - otherstart )) -ge 64000 ] && [ $(( $(now_ms) - started )) -ge 62000 ]; do sleep 0.5; done
minute=$(registry_time)
[ "$minute" -ge 120000 ] || fail "after a minute of two copies the registry holds $minute ms"
kill -9 "$otherpid"
wait "$otherpid" 2>/dev/null || true
# The killed copy keeps what it added by its first minute; what it played since is lost. Its clock starts
# before its window shows, and a busy machine can hold its first addition back, so that addition is at
# least a minute and at most its whole run.
other_ran_at_most=$(( $(now_ms) - otherlaunched ))
echo "both copies wrote their minutes: $minute ms in the registry; the second copy killed after at most $other_ran_at_most ms"
ran=$(( $(now_ms) - started ))
focus
xdotool key alt+F4
poll 10 eval '! game_running' || fail "Alt-F4 did not end the program"
set +e
wait "$gamepid"
rc=$?
set -e
# This copy's clock started somewhere between its launch and its window, and ran until it ended.
ran_at_most=$(( $(now_ms) - launched ))
gamepid=""
[ "$rc" -eq 0 ] || fail "the program exited with $rc"
total=$(registry_time)
[ "$total" -ge $(( ran + 60000 - 2000 )) ] && [ "$total" -le $(( ran_at_most + other_ran_at_most + 2000 )) ] ||
  fail "the registry holds $total ms after $ran to $ran_at_most ms of this copy and 60000 to $other_ran_at_most ms of the killed one"
[ "$total" -gt "$minute" ] || fail "quitting added nothing to $minute ms"
echo "play time in the registry: $total ms ($ran to $ran_at_most ms of this copy, the killed one's first addition)"
echo "PASS"
