#!/usr/bin/env bash
# Every menu item of both languages through the real window, first by mouse at 1x, then by keys at 2x:
# each information text opens at its top and closes with OK or Enter but not Escape, the web pages open,
# "register" does nothing before a game is over, pause shows its sign and P, Pause or Escape resumes,
# zoom 1x/2x/3x and full screen scale the very same picture by whole pixels, an open menu freezes the
# game, a pause leaves the period clock where it stood, the volume item, the mute item and the M key change the
# remembered volume, and quitting from the menu ends the program.
# With "small" as second argument: a saved zoom that does not fit a 640x480 screen is lowered at start and
# the zooms that do not fit cannot be chosen.
# Usage: e2e_menus.sh <path to tundrix> [small]; E2E_KEEP=<dir> keeps the screenshots there.
set -euo pipefail

game=${1:?usage: e2e_menus.sh <tundrix> [small]}
mode=${2:-full}
if [ "$mode" = small ]; then export SCREEN=640x480; else export SCREEN=1600x1200; fi

. "$(dirname "$0")/lib.sh"
e2e_start_display "$@"
e2e_setup
e2e_start_wm
# Web pages go to a stand-in browser that writes down what it was asked to open.
mkdir -p "$tmp/bin"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$tmp/urls" >"$tmp/bin/xdg-open"
chmod +x "$tmp/bin/xdg-open"
export PATH="$tmp/bin:$PATH"
touch "$tmp/urls"

if [ "$mode" = small ]; then
  echo 3 >"$settings/zoom"
  e2e_start_game
  [ "$(window_size)" = 440x323 ] || fail "a saved 3x on a 640x480 screen gave a window of $(window_size)"
  xdotool windowactivate --sync "$wid" 2>/dev/null || true
  # Förstoring 2 x does not fit: a click on it does nothing, and the keys pass over it to Helskärm.
  xdotool mousemove --window "$wid" 33 11 click 1
  sleep 0.3
  xdotool mousemove --window "$wid" 53 $(( 38 + 6 * 23 - 16 )) click 1
  sleep 0.5
  [ "$(window_size)" = 440x323 ] || fail "a zoom that does not fit could be chosen: $(window_size)"
  xdotool key Escape F10 Down Down Down Down Down Return
  poll 5 sized 640x480 || fail "the keys did not reach Helskärm past the zooms that do not fit: $(window_size)"
  e2e_quit
  echo "PASS (saved zoom lowered to fit 640x480; 2x cannot be chosen there)"
  exit 0
fi

e2e_start_game
start=$(now_ms)
xdotool windowactivate --sync "$wid" 2>/dev/null || true
[ "$(window_size)" = 440x323 ] || fail "the window is $(window_size), not 440x323"

# Where things are, at 1x: the menu titles' middles, the rows of an open menu, the dialog's text box.
title_x() { case $1 in 0) echo 33 ;; 1) echo 88 ;; 2) echo 166 ;; 5) echo 293 ;; esac; }
separator_of() { case $1 in 0) echo 3 ;; 5) echo 5 ;; *) echo 99 ;; esac; }
item_y() { local y=$(( 38 + $2 * 23 )); [ "$2" -gt "$(separator_of "$1")" ] && y=$(( y - 16 )); echo $y; }
away() { xdotool mousemove --window "$wid" $(at 430 310); }
text_box() { region 300 120 70 103; }
sign_area() { region 300 50 70 148; }

white_pct() { shot "$tmp/now.png"; echo $(( $(count_colour "$tmp/now.png" "$(text_box)" ffffff) * 100 / (36000 * z * z) )); }
info_open() { [ "$(white_pct)" -ge 50 ]; }
info_closed() { [ "$(white_pct)" -lt 50 ]; }
gold_in() { shot "$tmp/now.png"; count_colour "$tmp/now.png" "$1" ffc820; }
# An open menu lights its first item that can be chosen: in "Koppla upp" the second, since registering
# is greyed until a game is over.
lit_row() { if [ "$1" = 2 ]; then echo 1; else echo 0; fi; }
menu_lit() { [ "$(gold_in "$(region 120 20 $(( $(title_x "$1") - 20 )) $(( 28 + 23 * $(lit_row "$1") )))")" -ge $(( 1000 * z * z )) ]; }
menu_gone() { ! menu_lit "$1"; }
paused_sign() { [ "$(gold_in "$(sign_area)")" -ge $(( 1500 * z * z )) ]; }
no_sign() { [ "$(gold_in "$(sign_area)")" -lt $(( 300 * z * z )) ]; }
url_opened() { grep -qx "$1" "$tmp/urls"; }

# choose_by_mouse <menu> <item>: clicks the title, sees the menu open, clicks the item, sees it close.
choose_by_mouse() {
  xdotool mousemove --window "$wid" $(at "$(title_x "$1")" 11) click 1
  poll 5 menu_lit "$1" || fail "menu $1 did not open on a click"
  cp "$tmp/now.png" "$tmp/menu-$1-${z}x.png"
  xdotool mousemove --window "$wid" $(at $(( $(title_x "$1") + 20 )) "$(item_y "$1" "$2")") click 1
  away
  poll 5 menu_gone "$1" || fail "menu $1 stayed open after item $2 was clicked"
}
# choose_by_keys <menu> <item> [opening key]: F10 (or Alt), Right to the menu, Down to the item, Enter.
choose_by_keys() {
  local rights=$(( $1 == 5 ? 3 : $1 )) downs=$(( $2 - $(lit_row "$1") )) i
  [ "$2" -gt "$(separator_of "$1")" ] && downs=$(( downs - 1 ))
  # The keys pass over the greyed register items and the zoom that does not fit (3x fits this screen).
  [ "$1" = 5 ] && [ "$2" -gt 3 ] && downs=$(( downs - 1 ))
  xdotool key "${3:-F10}"
  for (( i = 0; i < rights; i++ )); do xdotool key Right; done
  poll 5 menu_lit "$1" || fail "menu $1 did not open from the keys"
  for (( i = 0; i < downs; i++ )); do xdotool key Down; done
  shot "$tmp/menu-$1-item-$2-${z}x.png"
  xdotool key Return
  poll 5 menu_gone "$1" || fail "menu $1 stayed open after Enter"
}
choose() { if [ "$how" = mouse ]; then choose_by_mouse "$@"; else choose_by_keys "$@"; fi; }

# The frozen picture, for "nothing changed" and whole-pixel comparisons.
still() { shot "$tmp/still.png"; }
unchanged() { shot "$tmp/now.png"; [ "$(differing_pixels "$tmp/still.png" "$tmp/now.png")" -eq 0 ]; }

info_item() { # menu item name
  choose "$1" "$2"
  poll 5 info_open || fail "$3 did not open"
  cp "$tmp/now.png" "$tmp/info-$3-${z}x.png"
  xdotool key Escape
  sleep 0.8 # Escape must leave the text open: give it time to (wrongly) close
  info_open || fail "Escape closed $3"
  xdotool key Return
  poll 5 info_closed || fail "Enter did not close $3"
}
page_item() { # menu item url
  choose "$1" "$2"
  poll 5 url_opened "$3" || fail "$3 was not opened (opened: $(tr '\n' ' ' <"$tmp/urls"))"
}
greyed_item() { # menu item what: a click on it leaves the menu open and nothing happens
  still
  xdotool mousemove --window "$wid" $(at "$(title_x "$1")" 11) click 1
  poll 5 menu_lit "$1" || fail "menu $1 did not open on a click"
  xdotool mousemove --window "$wid" $(at $(( $(title_x "$1") + 20 )) "$(item_y "$1" "$2")") click 1
  sleep 0.5 # a menu that should stay open would have closed by now
  menu_lit "$1" || fail "a click on $3 closed the menu as if it had been chosen"
  xdotool key Escape
  away
  poll 5 menu_gone "$1" || fail "Escape did not close menu $1"
  poll 5 unchanged || fail "$3 changed the picture"
}
nothing_item() { # menu item what
  still
  choose "$1" "$2"
  sleep 0.8 # a dialog that should not come would be there by now
  unchanged || fail "$3 changed the picture"
}
zoom_item() { # menu item factor
  choose "$1" "$2"
  z=$3
  poll 5 sized "$(( 440 * z ))x$(( 323 * z ))" || fail "zoom $z gave a window of $(window_size)"
  away
  whole_pixels "$tmp/zoom-${z}x.png" 0 0
}
# whole_pixels <shot> <x> <y>: the picture at x,y in the window is the 1x picture scaled by z, pixel for pixel.
scaled_shot=""; scaled_at=""; scaled_off=0
same_picture() {
  shot "$scaled_shot"
  convert "$scaled_shot" -crop "$scaled_at" +repage -sample 440x323! "$tmp/down.png"
  scaled_off=$(differing_pixels "$tmp/picture-1x.png" "$tmp/down.png")
  [ "$scaled_off" -eq 0 ]
}
whole_pixels() {
  scaled_shot=$1
  scaled_at="$(( 440 * z ))x$(( 323 * z ))+$2+$3"
  poll 5 same_picture || fail "at ${z}x the picture is not the 1x picture in whole pixels ($scaled_off pixels differ)"
  # Every z x z block is one colour: scaling back up gives the shot again.
  convert "$tmp/down.png" -sample "$(( 440 * z ))x$(( 323 * z ))!" "$tmp/up.png"
  convert "$1" -crop "$scaled_at" +repage "$tmp/crop.png"
  [ "$(differing_pixels "$tmp/up.png" "$tmp/crop.png")" -eq 0 ] || fail "at ${z}x some pixel blocks are not whole"
  echo "${z}x: the same picture in whole ${z}x${z} pixel blocks"
}

scroll_resets() { # menu-item pairs: the long text to scroll, the text to compare
  choose "$1" "$2"
  poll 5 info_open || fail "the text did not open"
  convert "$tmp/now.png" -crop "$(text_box)" +repage "$tmp/top.png"
  xdotool mousemove --window "$wid" $(at 220 150)
  for _ in 1 2 3 4 5 6 7 8 9 10; do xdotool click 5; done
  scrolled() { shot "$tmp/now.png"; convert "$tmp/now.png" -crop "$(text_box)" +repage "$tmp/scrolled.png"; [ "$(differing_pixels "$tmp/top.png" "$tmp/scrolled.png")" -gt 0 ]; }
  poll 5 scrolled || fail "the text did not scroll"
  # OK by mouse.
  xdotool mousemove --window "$wid" $(at 220 297) click 1
  away
  poll 5 info_closed || fail "OK did not close the text"
  choose "$1" "$2"
  poll 5 info_open || fail "the text did not open again"
  convert "$tmp/now.png" -crop "$(text_box)" +repage "$tmp/again.png"
  [ "$(differing_pixels "$tmp/top.png" "$tmp/again.png")" -eq 0 ] || fail "the text opened where the last reading left it"
  xdotool key Return
  poll 5 info_closed || fail "Enter did not close the text"
  echo "a text opens at its top"
}

pause_items() {
  no_sign || fail "a pause sign before pausing"
  choose 0 4
  poll 5 paused_sign || fail "Paus (P) showed no sign"
  cp "$tmp/now.png" "$tmp/paused-${z}x.png"
  xdotool key p
  poll 5 no_sign || fail "P did not resume"
  choose 5 6
  poll 5 paused_sign || fail "Pause (P) showed no sign"
  xdotool key Escape
  poll 5 no_sign || fail "Escape did not resume"
  xdotool key Pause
  poll 5 paused_sign || fail "the Pause key did not pause"
}

volume_is() { [ "$(tr -d '\n' <"$settings/volume" 2>/dev/null)" = "$1" ]; }
sound_item() { # menu item remembered-volume
  choose "$1" "$2"
  poll 5 volume_is "$3" || fail "menu $1 item $2 left the volume file at '$(cat "$settings/volume" 2>/dev/null)', not '$3'"
}
sound_items() { # the steps the two volume items lead to
  sound_item 0 9 "$1"
  sound_item 5 11 "$2"
  sound_item 0 10 "$2 mute"
  sound_item 5 12 "$2"
  xdotool key m
  poll 5 volume_is "$2 mute" || fail "M did not mute"
  xdotool key m
  poll 5 volume_is "$2" || fail "M did not unmute"
  echo "$how: volume steps, mute and M remembered"
}

every_item() {
  pause_items # and stays paused: the picture holds still for the checks below
  info_item 0 1 spelregler
  info_item 1 0 tavlingsregler
  info_item 1 1 om-lumora
  info_item 5 1 how-to-play
  info_item 5 2 about-lumora
  page_item 2 1 "http://www.lumora.se/useradm/challenge/"
  page_item 2 2 "http://www.lumora.se/"
  page_item 2 3 "http://www.tundrix.se/"
  : >"$tmp/urls"
  page_item 5 4 "http://www.lumora.se/"
  greyed_item 2 0 "Registrera high-score before the game is over"
  greyed_item 5 3 "Register high-score before the game is over"
  nothing_item 0 0 "Starta nytt spel while paused"
  nothing_item 5 0 "New Game while paused"
  echo "$how: texts, pages, register and new game as they should be"
}

# --- By mouse at 1x --------------------------------------------------------------------------------
how=mouse
[ ! -e "$settings/volume" ] || fail "a volume file before any choice"
every_item
sound_items 1 2
scroll_resets 1 0
away
shot "$tmp/picture-1x.png"
zoom_item 0 6 2
zoom_item 5 9 3
zoom_item 0 5 1
choose 0 8 # Helskärm
poll 5 sized 1600x1200 || fail "full screen gave a window of $(window_size)"
z=3
whole_pixels "$tmp/fullscreen.png" 140 115
[ "$(count_colour "$tmp/fullscreen.png" 140x1200+0+0 000000)" -eq $(( 140 * 1200 )) ] || fail "no black border in full screen"
# The menu in full screen, where the picture sits at 3x.
ox=140 oy=115
choose 5 10
z=1 ox=0 oy=0
poll 5 sized 440x323 || fail "Full screen (F11) did not leave full screen: $(window_size)"
echo "mouse: every item of both menus did its work"

# --- By keys at 2x --------------------------------------------------------------------------------
how=keys
xdotool key p
poll 5 no_sign || fail "P did not resume"
choose 0 6 # Förstoring 2 x
z=2
poll 5 sized 880x646 || fail "zoom 2 by keys gave $(window_size)"
every_item
sound_items 3 0
xdotool key F11
poll 5 sized 1600x1200 || fail "F11 did not go full screen"
xdotool key F11
poll 5 sized 880x646 || fail "F11 did not come back to 2x"
choose 5 7 # Zoom 1 x
z=1
poll 5 sized 440x323 || fail "zoom 1 by keys gave $(window_size)"
choose 0 8 alt # Helskärm, the bar opened with Alt alone
poll 5 sized 1600x1200 || fail "Helskärm by keys did not go full screen"
z=3 ox=140 oy=115
choose 5 10
z=1 ox=0 oy=0
poll 5 sized 440x323 || fail "Full screen by keys did not come back"
choose 0 6
z=2
poll 5 sized 880x646 || fail "zoom 2 by keys gave $(window_size)"
echo "keys: every item of both menus did its work"

# --- Play: an open menu and a pause freeze the game; the clock resumes where it stood --------------
xdotool key p
poll 5 no_sign || fail "P did not resume"
# The new game chosen while paused starts now; its title takes keys after two seconds.
start=$(now_ms)
# Left of the English menu: the clock and most of the rink.
playfield() { region 240 290 0 30; }
e2e_title_to_play "$start"
sleep 0.5
xdotool key F10 Left
poll 5 menu_lit 5 || fail "F10 in play did not open the menu"
shot "$tmp/frozen-a.png"
sleep 1 # the test is that a second passes without any change
shot "$tmp/frozen-b.png"
convert "$tmp/frozen-a.png" -crop "$(playfield)" +repage "$tmp/fa.png"
convert "$tmp/frozen-b.png" -crop "$(playfield)" +repage "$tmp/fb.png"
[ "$(differing_pixels "$tmp/fa.png" "$tmp/fb.png")" -eq 0 ] || fail "the game ran on under the open menu"
cp "$tmp/frozen-a.png" "$tmp/menu-in-play-2x.png"
xdotool key Escape
poll 5 menu_gone 5 || fail "Escape did not close the menu"
running() { shot "$tmp/now.png"; convert "$tmp/now.png" -crop "$(playfield)" +repage "$tmp/fc.png"; [ "$(differing_pixels "$tmp/fb.png" "$tmp/fc.png")" -gt 0 ]; }
poll 5 running || fail "the game did not go on after the menu closed"
echo "an open menu held the game still for a second"

# The clock's minutes (two digits at x 26..61, y 12..37 of the picture) change every 3 s of play. Pause
# right after they change, stay paused for 4 s, resume: they must still show the same minute.
minutes() { region 40 26 24 35; }
minutes_now() { shot "$tmp/now.png"; convert "$tmp/now.png" -crop "$(minutes)" +repage "$1"; }
minutes_now "$tmp/m0.png"
ticked() { minutes_now "$tmp/m1.png"; [ "$(differing_pixels "$tmp/m0.png" "$tmp/m1.png")" -gt 0 ]; }
poll 8 ticked || fail "the clock's minutes did not change in play"
xdotool key p
poll 5 paused_sign || fail "P in play did not pause"
cp "$tmp/now.png" "$tmp/paused-in-play-2x.png"
convert "$tmp/now.png" -crop "$(minutes)" +repage "$tmp/m-paused.png"
sleep 4 # the pause itself is what is tested
xdotool key p
poll 5 no_sign || fail "P did not resume play"
convert "$tmp/now.png" -crop "$(minutes)" +repage "$tmp/m-resumed.png"
[ "$(differing_pixels "$tmp/m-paused.png" "$tmp/m-resumed.png")" -eq 0 ] ||
  fail "the period clock ran on during a 4 s pause"
echo "the clock resumed where it stood after a 4 s pause"

# --- Avsluta from the menu ends the program once Enter answers its mid-game question; the zoom is kept -
how=mouse
xdotool mousemove --window "$wid" $(at 33 11) click 1
poll 5 menu_lit 0 || fail "Spel did not open"
xdotool mousemove --window "$wid" $(at 53 "$(item_y 0 2)") click 1
poll 5 dialog_up || fail "Avsluta in the middle of a game asked nothing"
xdotool key Return
poll 10 eval '! kill -0 "$gamepid" 2>/dev/null' || fail "Avsluta did not end the program"
set +e
wait "$gamepid"
rc=$?
set -e
gamepid=""
[ "$rc" -eq 0 ] || fail "the program exited with $rc"
[ "$(tr -d '[:space:]' <"$settings/zoom")" = 2 ] || fail "the zoom was not remembered"
[ -s "$settings/time" ] || fail "no play time written"
volume_is 0 || fail "the volume was not remembered"
echo "PASS"
