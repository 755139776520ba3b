#!/usr/bin/env bash
# The real Windows program under Wine, end to end: the window (class, title, style, the 440 x 300 client
# area under the menu bar), every item of both languages' menus by keys (and the menus by mouse), each
# doing what it should: the information texts, the register item before a game is over, the web pages,
# pause, zoom 1x to 3x, full screen, the volume and mute with their keys, a new game, and quitting, after
# which the play time is in the registry.
# Usage: e2e_menus.sh <tundrix.exe> <tundrix_window_probe.exe>; E2E_KEEP=<dir> keeps the screenshots.
set -euo pipefail
game=${1:?usage: e2e_menus.sh EXE PROBE}
probe=${2:?usage: e2e_menus.sh EXE PROBE}
. "$(cd "$(dirname "$0")" && pwd)/e2e_lib.sh"
e2e_win_start
start_game

# --- The window -----------------------------------------------------------------------------------------
poll 10 eval '[ "$(game_fact client)" = 440x300 ]' || fail "the client area is $(game_fact client), not 440x300"
facts=$(probe game)
echo "window: $facts"
for fact in "title	Tundrix Ice-Hockey Cup" "caption	1" "sysmenu	1" "minimize	1" "maximize	0" "sizing	0" "menu	1"; do
  echo "$facts" | grep -qF "$fact" || fail "the window is not as it should be ($fact): $facts"
done
menu=$(menu_height)
[ "$menu" -ge 15 ] && [ "$menu" -le 40 ] || fail "the menu bar is $menu pixels high"
xprop -id "$wid" _NET_WM_ICON | grep -q 'Icon (' || fail "the window shows no icon"
sleep 2.5 # the title takes keys after two seconds
shot "$tmp/title-1x.png"
region_title_panel="57x200+383+$(( menu + 100 ))"

# The menus by mouse: a click on "Spel" opens it, Escape closes it.
xdotool mousemove --window "$wid" 14 $(( menu / 2 )) click 1
poll 5 eval 'probe dialogs | grep -q "^menu"' || fail "a click on Spel opened no menu"
shot_root "$tmp/menu-spel-1x.png"
xdotool key Escape Escape
poll 5 eval '! probe dialogs | grep -q "^menu"' || fail "Escape did not close the menu"

# --- The information texts, Swedish and English: OK closes them, Escape does not ------------------------
info() { # <menu> <item> <the text's start>
  pick "$1" "$2"
  poll 10 dialog_up Information || fail "menu $1 item $2 opened no information dialog"
  local text
  text=$(dialog_text Information 1000)
  [ "${text#"$3"}" != "$text" ] || fail "menu $1 item $2 shows: ${text:0:60}"
}
info 0 1 "Tundrix Ice-Hockey Cup Tundrix maskotar"
shot_root "$tmp/information-1x.png"
xdotool key Escape
sleep 0.5
dialog_up Information || fail "Escape closed the information dialog"
xdotool key Return
poll 5 no_dialog || fail "OK did not close the information dialog"
for case in "1 0 TÄVLINGSREGLER" "1 1 OM Lumora" "4 1 Tundrix Ice-Hockey Cup Tundrix's mascots" "4 2 ABOUT Lumora"; do
  read -r m i text <<<"$case"
  info "$m" "$i" "$text"
  xdotool key Return
  poll 5 no_dialog || fail "OK did not close the information dialog"
done
echo "the five information texts open and close"

# --- Registering before a game is over does nothing; the web pages -----------------------------------
for item in "2 0" "4 3"; do
  pick $item
  sleep 1
  no_dialog || fail "Registrera high-score opened a dialog before the game was over"
done
pick 2 1
pick 2 2
pick 2 3
pick 4 4
poll 10 eval '[ "$(wc -l <"$tmp/urls")" -ge 4 ]' || fail "the web pages did not all open: $(cat "$tmp/urls")"
expected="http://www.lumora.se/useradm/challenge/ http://www.lumora.se/ http://www.tundrix.se/ http://www.lumora.se/ "
[ "$(tr '\n' ' ' <"$tmp/urls")" = "$expected" ] || fail "the pages opened were: $(cat "$tmp/urls")"
echo "the web pages opened: $(tr '\n' ' ' <"$tmp/urls")"

# --- Pause: the menu items, P, Pause and Escape ------------------------------------------------------
sign() { shot "$tmp/now.png"; [ "$(count_colour "$tmp/now.png" "200x50+120+$(( menu + 125 ))" ffc828)" -ge 300 ]; }
no_sign() { ! sign; }
pick 0 3
poll 5 sign || fail "Paus showed no sign"
cp "$tmp/now.png" "$tmp/pause-1x.png"
xdotool key p
poll 5 no_sign || fail "P did not resume"
xdotool key Pause
poll 5 sign || fail "Pause did not pause"
xdotool key Escape
poll 5 no_sign || fail "Escape did not resume"
pick 4 5
poll 5 sign || fail "Pause (P) showed no sign"
pick 4 5
poll 5 no_sign || fail "Pause (P) did not resume"

# --- Zoom and full screen --------------------------------------------------------------------------
zoomed() { [ "$(game_fact client)" = "$1" ] && [ "$(cat "$settings/zoom" 2>/dev/null)" = "$2" ]; }
pick 0 5
poll 5 zoomed 880x600 2 || fail "Förstoring 2 × made the client area $(game_fact client)"
sleep 0.5
shot "$tmp/title-2x.png"
focus
xdotool key F10 Down
sleep 0.5
shot_root "$tmp/menu-spel-2x.png"
xdotool key Escape Escape
info 0 1 "Tundrix Ice-Hockey Cup"
shot_root "$tmp/information-2x.png"
xdotool key Return
poll 5 no_dialog || fail "OK did not close the information dialog at 2x"
pick 4 8
poll 5 zoomed 1320x900 3 || fail "Zoom 3 × made the client area $(game_fact client)"
pick 0 4
poll 5 zoomed 440x300 1 || fail "Förstoring 1 × made the client area $(game_fact client)"
pick 4 7
poll 5 zoomed 880x600 2 || fail "Zoom 2 × made the client area $(game_fact client)"
pick 0 6
poll 5 zoomed 1320x900 3 || fail "Förstoring 3 × made the client area $(game_fact client)"
pick 4 6
poll 5 zoomed 440x300 1 || fail "Zoom 1 × made the client area $(game_fact client)"
full() { [ "$(game_fact outer)" = "${SCREEN:-1600x1200}" ] && [ "$(cat "$settings/fullscreen")" = "$1" ]; }
windowed() { [ "$(game_fact client)" = 440x300 ] && [ "$(cat "$settings/fullscreen")" = 0 ]; }
pick 0 7
poll 5 full 1 || fail "Helskärm did not fill the screen: $(game_fact outer)"
sleep 0.5
shot_root "$tmp/full-screen.png"
focus
xdotool key F11
poll 5 windowed || fail "F11 did not leave full screen: $(game_fact client)"
pick 4 9
poll 5 full 1 || fail "Full screen did not fill the screen"
pick 4 9
poll 5 windowed || fail "Full screen did not leave full screen"
echo "zoom 1x, 2x and 3x and full screen by both languages' menus and F11"

# --- The volume and mute -----------------------------------------------------------------------------
volume() { [ "$(cat "$settings/volume" 2>/dev/null)" = "$1" ]; }
pick 0 8
poll 5 volume 1 || fail "Ljud did not step the volume"
pick 4 10
poll 5 volume 2 || fail "Sound did not step the volume"
focus
xdotool key F10 Down
sleep 0.5
shot_root "$tmp/menu-spel-volume.png"
xdotool key Escape Escape
pick 0 9
poll 5 volume "2 mute" || fail "Tyst did not mute"
pick 4 11
poll 5 volume 2 || fail "Mute did not unmute"
focus
xdotool key m
poll 5 volume "2 mute" || fail "M did not mute"
xdotool key m
poll 5 volume 2 || fail "M did not unmute"

# --- A new game from both languages' menus -------------------------------------------------------------
titled() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/title-1x.png" "$tmp/now.png" "$region_title_panel")" -le 5 ]; }
in_play() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/title-1x.png" "$tmp/now.png" "$region_title_panel")" -ge 30 ]; }
# The period clock stands still while a menu is open or the game is paused, and runs on afterwards (a
# minute on it is three seconds).
clock_region() { echo "80x26+14+$(( menu + 10 ))"; }
clock_shot() { shot "$tmp/now.png"; convert "$tmp/now.png" -crop "$(clock_region)" +repage "$1"; }
same_clock() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | sed 's/[^0-9].*//')" -eq 0 ]; }
held_clock() {
  focus
  xdotool key F10 Right Right Right Right Down # "In English", clear of the clock
  sleep 0.5
  clock_shot "$tmp/clock-a.png"
  sleep 3.5
  clock_shot "$tmp/clock-b.png"
  same_clock "$tmp/clock-a.png" "$tmp/clock-b.png" || fail "the period clock ran while a menu was open"
  xdotool key Escape Escape
  sleep 4
  clock_shot "$tmp/clock-c.png"
  same_clock "$tmp/clock-b.png" "$tmp/clock-c.png" && fail "the period clock did not run on after the menu"
  xdotool key p
  poll 5 sign || fail "P showed no sign"
  clock_shot "$tmp/clock-a.png"
  sleep 3.5
  clock_shot "$tmp/clock-b.png"
  same_clock "$tmp/clock-a.png" "$tmp/clock-b.png" || fail "the period clock ran while the game was paused"
  xdotool key p
  poll 5 no_sign || fail "P did not resume"
  echo "the period clock stands still in an open menu and in a pause"
}
for item in "0 0" "4 0"; do
  poll 10 titled || fail "no title screen"
  sleep 2.5
  focus
  xdotool key space
  sleep 1
  xdotool key space
  poll 5 in_play || fail "Space did not lead into play"
  cp "$tmp/now.png" "$tmp/play-1x.png"
  [ "$item" = "0 0" ] && held_clock
  pick $item
  poll 5 titled || fail "menu ${item% *} item ${item#* } did not start a new game"
done
echo "a new game from both menus"

# --- Quitting: the play time is in the registry ---------------------------------------------------
ran=$(( $(now_ms) - started ))
pick 0 2
poll 10 eval '! game_running' || fail "Avsluta did not end the program"
set +e
wait "$gamepid"
rc=$?
set -e
gamepid=""
[ "$rc" -eq 0 ] || fail "the program exited with $rc"
time=$("$wine" reg query 'HKCU\SOFTWARE\lumora\tundrix' /v time 2>/dev/null | tr -d '\r' | awk '$1 == "time" {print $3}')
[ -n "$time" ] || fail "no play time in the registry"
ms=$(( time ))
[ "$ms" -ge $(( ran - 2000 )) ] && [ "$ms" -le $(( ran + 10000 )) ] || fail "the play time is $ms ms after $ran ms of play"
echo "play time in the registry after quitting: $time ($ms ms after about $ran ms)"
echo "PASS"
