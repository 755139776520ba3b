# Shared by the end-to-end scripts: a virtual X server on a free display, polling, screenshots and pixel
# comparisons. Source it; the caller sets `game` and calls e2e_start_display "$@" first.
# shellcheck source=pictures.sh
. "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

# Re-runs the calling script under Xvfb on a display nobody uses (-nolock leaves no lock file, so a few
# numbers are tried). SCREEN sets the screen size. Returns only inside the virtual display.
e2e_start_display() {
  [ "${E2E_INNER:-}" = 1 ] && return 0
  for tool in xvfb-run xdotool import convert identify compare xwininfo xprop xclip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (bash tools/deps.sh)"; exit 77; }
  done
  [ -x "$game" ] || { echo "FAIL: $game is not built"; exit 1; }
  local base=$(( 100 + ($$ % 300) )) n display marker rc started
  for n in 0 1 2 3 4; do
    display=$(( base + n * 37 ))
    marker=$(mktemp)
    set +e
    E2E_INNER=1 E2E_MARKER="$marker" xvfb-run -n "$display" \
      -s "-screen 0 ${SCREEN:-1024x768}x24 -nolock -nolisten unix" bash "$0" "$@"
    rc=$?
    set -e
    started=$(cat "$marker"); rm -f "$marker"
    [ -n "$started" ] && exit $rc
    echo "display :$display would not start, trying another"
  done
  echo "FAIL: no virtual display could be started"
  exit 1
}

# Inside the display: a scratch home, and the program's process id in gamepid once started.
e2e_setup() {
  echo started >"$E2E_MARKER"
  tmp=$(mktemp -d)
  gamepid=""
  wmpid=""
  trap e2e_cleanup EXIT
  export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" MESA_SHADER_CACHE_DIR="$tmp/mesa" SDL_AUDIODRIVER=dummy
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/lumora/tundrix"
  settings="$XDG_CONFIG_HOME/lumora/tundrix"
}
e2e_cleanup() {
  [ -n "${E2E_KEEP:-}" ] && mkdir -p "$E2E_KEEP" && { cp "$tmp"/*.png "$tmp"/*.txr "$E2E_KEEP"/ 2>/dev/null || true; }
  if [ -n "$gamepid" ] && kill -0 "$gamepid" 2>/dev/null; then kill "$gamepid"; wait "$gamepid" 2>/dev/null || true; fi
  if [ -n "$wmpid" ] && kill -0 "$wmpid" 2>/dev/null; then kill "$wmpid"; wait "$wmpid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}

fail() {
  echo "FAIL: $*"
  [ -f "$tmp/game.log" ] && tail -n 20 "$tmp/game.log"
  [ -n "${E2E_KEEP:-}" ] && [ -f "$tmp/now.png" ] && cp "$tmp/now.png" "$tmp/failed.png"
  exit 1
}
# A window manager, so full screen and window sizes behave as on a desktop (skipped when none is there).
e2e_start_wm() {
  command -v openbox >/dev/null || { echo "no window manager (openbox): running without one"; return 0; }
  openbox --sm-disable >"$tmp/wm.log" 2>&1 &
  wmpid=$!
  wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  poll 10 wm_up || { cat "$tmp/wm.log"; fail "the window manager did not start"; }
}

# Starts the program and finds its window (wid) and menu bar height (menu) at zoom 1.
e2e_start_game() {
  "$game" >"$tmp/game.log" 2>&1 &
  gamepid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tundrix Ice-Hockey Cup$' | head -n 1) ||
    fail "no window titled Tundrix Ice-Hockey Cup"
}
# Closes the window with Alt-F4; the program must end, with 0, within 10 s.
e2e_quit() {
  xdotool key alt+F4
  poll 10 eval '! kill -0 "$gamepid" 2>/dev/null' || fail "the program did not end after Alt-F4"
  local rc=0
  wait "$gamepid" || rc=$?
  gamepid=""
  [ "$rc" -eq 0 ] || fail "the program exited with $rc"
}
window_size() { xwininfo -id "$wid" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
shot() {
  kill -0 "$gamepid" 2>/dev/null || fail "the program ended early"
  window_shot "$wid" "$1" || fail "no whole picture of the window in five tries"
}
# Positions at 1x in the game's picture with its menu bar: scaled by the zoom z and moved by ox, oy (where
# full screen puts the picture).
z=1
ox=0
oy=0
at() { echo $(( ox + $1 * z )) $(( oy + $2 * z )); }
region() { echo "$(( $1 * z ))x$(( $2 * z ))+$(( ox + $3 * z ))+$(( oy + $4 * z ))"; } # w h x y
sized() { [ "$(window_size)" = "$1" ]; }

# --- Dialogs: a modal dialog dims everything behind it, the menu bar's plain right end included ------
dialog_up() { shot "$tmp/now.png"; [ "$(count_colour "$tmp/now.png" "$(region 20 10 415 4)" 1a2148)" -eq 0 ]; }
no_dialog() { ! dialog_up; }
# The register dialog's two fields are rink white; no other dialog has that much of it.
register_up() { dialog_up && [ "$(count_colour "$tmp/now.png" "$(region 420 200 10 60)" ecf2fa)" -ge $(( 8000 * z * z )) ]; }
other_dialog_up() { dialog_up && [ "$(count_colour "$tmp/now.png" "$(region 420 200 10 60)" ecf2fa)" -lt $(( 8000 * z * z )) ]; }

# --- Play ------------------------------------------------------------------------------------------
# e2e_title_to_play <ms when the title appeared>: Space once the title takes keys, Space on the match
# intro, and play is on the screen (shots title.png, intro.png).
# press_until_shown <check>: Space, and again every two seconds while the check fails, four times at most.
# The title takes keys after its first fifty frames, which a busy machine may not have run yet.
press_until_shown() {
  local try
  for try in 1 2 3 4; do
    xdotool key space
    poll 2 "$1" && return 0
  done
  return 1
}
e2e_title_to_play() {
  local since=$1
  sleep_until_ms $(( since + 2500 ))
  shot "$tmp/title.png"
  moved_on() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/title.png" "$tmp/now.png" "$(region 440 300 0 23)")" -ge 30 ]; }
  press_until_shown moved_on || fail "Space on the title did not lead on"
  sleep 0.6 # the match intro takes no key in its first ten frames
  cp "$tmp/now.png" "$tmp/intro.png"
  xdotool key space
  in_play() { shot "$tmp/now.png"; [ "$(differs_pct "$tmp/intro.png" "$tmp/now.png" "$(region 440 300 0 23)")" -ge 30 ]; }
  poll 5 in_play || fail "Space on the intro did not start play"
}

# e2e_score_a_raid: small raids from the top edge, away from the referee, until the score changes; an
# opponent may cut one, so up to five are tried. How long each key is held is the player's move.
e2e_score_a_raid() {
  local attempt made=0
  convert "$tmp/now.png" -crop "$(region 62 26 368 35)" +repage "$tmp/score0.png"
  scored() {
    shot "$tmp/now.png"
    convert "$tmp/now.png" -crop "$(region 62 26 368 35)" +repage "$tmp/score.png"
    [ "$(differing_pixels "$tmp/score0.png" "$tmp/score.png")" -gt 0 ]
  }
  for attempt in 1 2 3 4 5; do
    # Up to the top, a little along it, then Space while Down points into the ice, Right, and Up back to
    # the edge, which closes it.
    xdotool keydown Up
    sleep 1.5
    xdotool keyup Up keydown Right
    sleep 0.3
    xdotool keyup Right keydown Down keydown space
    sleep 0.4
    xdotool keyup Down keydown Right
    sleep 0.4
    xdotool keyup Right keydown Up
    poll 3 scored && made=1
    xdotool keyup Up keyup space
    [ "$made" = 1 ] && return 0
  done
  fail "no raid made a score in five tries"
}

# Return on the game-over question ("Ja" has the focus) opens the register dialog. A program busy with its
# last frames may miss the key, so while the question is still there the key is pressed again.
e2e_yes_to_register() {
  local try
  for try in 1 2 3; do
    xdotool key Return
    poll 4 register_up && return 0
    other_dialog_up || break
    echo "the question is still there after Return (try $try)"
  done
  fail "Ja did not open the register dialog"
}

# The chance icons in the HUD: the last one goes with the last chance, 2.4 s before the game-over question.
chances_left() {
  shot "$tmp/now.png"
  [ "$(chance_pixels "$tmp/now.png" "$(region 110 30 206 32)")" -ge $(( 30 * z * z )) ]
}
out_of_chances() { ! chances_left; }

# e2e_raid_until_the_end: short raids into the ice in each direction by turns, each left standing there
# for a moment, until the chances are gone, and then the question. A line standing out on the ice is soon
# cut, and a cut costs a chance, so the game ends within a period or two (raids only up and down from the
# side a period starts on would never leave the edge, and the clock alone takes three periods). A raid
# that reaches the other side closes and scores instead, and the next one starts from there. No key is
# held once the last chance is gone: a Left or Right the question met would move its focus from "Ja".
e2e_raid_until_the_end() {
  local i deadline=$(( $(now_ms) + 260000 )) arrows=(Right Down Left Up) arrow
  for (( i = 0; ; i++ )); do
    [ "$(now_ms)" -lt "$deadline" ] || fail "no dialog at the end of the game"
    if out_of_chances; then
      poll 10 dialog_up && return 0
      continue
    fi
    arrow=${arrows[$(( i % 4 ))]}
    xdotool keydown "$arrow" keydown space
    sleep 0.8
    xdotool keyup space keyup "$arrow"
    poll 2 out_of_chances || true
  done
}
