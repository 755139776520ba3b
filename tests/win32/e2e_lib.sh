# Shared by the Windows end-to-end scripts: a virtual display of their own with a window manager, a Wine
# prefix of their own, the game under Wine, what Windows says of its windows (the probe), the keys and the
# screenshots. Source it after setting game and probe; call e2e_win_start first.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine_prefix_copy.sh"
# shellcheck source=../e2e/pictures.sh
. "$here/../e2e/pictures.sh"
wine=/usr/lib/wine/wine64

fail() {
  echo "FAIL: $*"
  [ -f "$tmp/game.log" ] && tail -n 20 "$tmp/game.log"
  [ -n "${E2E_KEEP:-}" ] && shot_root "$tmp/failed.png" 2>/dev/null
  exit 1
}
# A display of SCREEN (1600x1200 unless set) with openbox, a prefix copied from the fixture's, a scratch
# folder in tmp, and a stand-in browser that writes every page it is asked to open to $tmp/urls.
e2e_win_start() {
  for tool in Xvfb xdotool import convert identify compare xwininfo xprop openbox python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (bash tools/deps.sh)"; exit 77; }
  done
  [ -f "$game" ] || { echo "FAIL: $game is not built"; exit 1; }
  tmp=$(mktemp -d)
  gamepid="" xvfbpid="" wmpid=""
  trap e2e_win_cleanup EXIT
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 "${SCREEN:-1600x1200}x24" -nolisten tcp -nolock </dev/null >"$tmp/xvfb.log" 2>&1 &
  xvfbpid=$!
  local display
  read -r -t 20 display <&3 || fail "Xvfb did not start"
  exec 3<&-
  export DISPLAY=":$display"
  # A window manager that gave up on a busy machine is started again, twice at the most.
  wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  local try
  for try in 1 2 3; do
    openbox --sm-disable </dev/null >>"$tmp/wm.log" 2>&1 &
    wmpid=$!
    poll 20 wm_up && break
    kill "$wmpid" 2>/dev/null || true
    wait "$wmpid" 2>/dev/null || true
    wmpid=""
    echo "the window manager did not start (try $try): $(tail -n 3 "$tmp/wm.log")"
  done
  [ -n "$wmpid" ] || fail "the window manager did not start"
  wine_prefix_copy "$tmp"
  mkdir -p "$tmp/bin"
  printf '#!/bin/sh\necho "$@" >>"%s"\n' "$tmp/urls" >"$tmp/bin/xdg-open"
  chmod +x "$tmp/bin/xdg-open"
  export PATH="$tmp/bin:$PATH"
  touch "$tmp/urls"
  user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
  settings="$user_dir/AppData/Roaming/lumora/tundrix"
}
e2e_win_cleanup() {
  [ -n "${E2E_KEEP:-}" ] && mkdir -p "$E2E_KEEP" && cp "$tmp"/*.png "$E2E_KEEP"/ 2>/dev/null
  [ -n "$gamepid" ] && kill "$gamepid" 2>/dev/null
  wine_prefix_stop
  [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
  [ -n "$xvfbpid" ] && kill "$xvfbpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}

probe() { "$wine" "$probe" "$@" 2>/dev/null | tr -d '\r'; }
# The game window's facts: field <name> of the probe's line (client, outer, title ...).
game_fact() { probe game | awk -F'\t' -v k="$1" '{for (i = 1; i < NF; i += 2) if ($i == k) print $(i + 1)}'; }
# The line of the dialog whose title starts with $1, or nothing.
dialog_line() { probe dialogs | awk -F'\t' -v t="$1" '$1 == "dialog" && index($2, t) == 1' | head -n 1; }
dialog_up() { [ -n "$(dialog_line "$1")" ]; }
no_dialog() { ! probe dialogs | grep -q '^dialog'; }
# The text of control $2 in the dialog titled $1.
dialog_text() { dialog_line "$1" | tr '\t' '\n' | sed -n "s/^$2=//p" | tr -s ' '; }
# dialog_says <title> <control> <text>: waits up to 5 s for the control to hold the text. A dialog is found
# as soon as its window exists, which on a busy machine can be before it has filled its fields.
dialog_says() {
  local title=$1 control=$2 want=$3
  poll 5 eval '[ "$(dialog_text "$title" "$control")" = "$want" ]'
}

# Starts the game (env and arguments for wine in "$@" are not used) and finds its X window.
start_game() {
  "$wine" "$game" >"$tmp/game.log" 2>&1 &
  gamepid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tundrix Ice-Hockey Cup$' | head -n 1) ||
    fail "no window titled Tundrix Ice-Hockey Cup"
  started=$(now_ms)
  focus
}
# Gives the keyboard to the window (dialog or message box) whose title starts with $1.
focus_dialog() {
  local w
  w=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -n 1)
  [ -n "$w" ] && { xdotool windowactivate --sync "$w" 2>/dev/null || xdotool windowfocus --sync "$w" 2>/dev/null || true; }
  sleep 0.2
}
focus() { xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid" 2>/dev/null || true; }
# Gives the keyboard back to the game's window if the window manager has moved it elsewhere.
keep_focus() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ] || focus; }
game_running() { kill -0 "$gamepid" 2>/dev/null; }
shot() {
  game_running || fail "the program ended early"
  window_shot "$wid" "$1" || fail "no whole picture of the window in five tries"
}
shot_root() { timeout 10 import -window root "png:$1"; }
# pick <menu> <item>: the menu bar by keys as a Windows user works it: F10, Right to the menu (its place in
# the bar: "In English" is 4, after the spacer " "; the empty one takes no keys), Down to open it and to
# the item, Enter.
pick() {
  local menu=$1 item=$2 i try
  for try in 1 2 3; do
    focus
    xdotool key F10
    sleep 0.2
    for (( i = 0; i < menu; i++ )); do xdotool key Right; done
    sleep 0.1
    # Wine's menu takes the arrows only once the popup is up, which a loaded machine takes longer for: the
    # items are walked once Windows shows the popup, and a bar that opened none is left and tried again.
    xdotool key Down
    poll 5 eval 'probe dialogs | grep -q "^menu"' && break
    [ "$try" -lt 3 ] || fail "menu $menu opened no popup in three tries"
    xdotool key Escape Escape
    sleep 0.5
  done
  for (( i = 0; i < item; i++ )); do xdotool key Down; done
  sleep 0.1
  xdotool key Return
  sleep 0.3
}

# The game's picture below the menu bar: the X window holds both (the window manager draws the frame).
menu_height() { echo $(( $(xwininfo -id "$wid" | awk '/Height:/ {print $2}') - ${1:-300} )); }
