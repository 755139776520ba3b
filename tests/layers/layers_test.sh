#!/usr/bin/env bash
# The layer check passes on the tree, fails on every kind of break planted in a copy of it, and every C++
# file is formatted as .clang-format says.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
check="$root/tools/check_layers.py"

python3 "$check" "$root"

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$copy" 2>/dev/null) || true

# plant <file> <line> <what the check must say>: adds the line to the file in the copy, runs the check,
# and takes the line out again.
planted=0
plant() {
  local file=$1 line=$2 expect=$3 out
  mkdir -p "$(dirname "$copy/$file")"
  [ -f "$copy/$file" ] && cp "$copy/$file" "$copy/$file.orig"
  printf '%s\n' "$line" >>"$copy/$file"
  if out=$(python3 "$check" "$copy" 2>&1); then
    echo "FAIL: the check passed with '$line' in $file"
    exit 1
  fi
  grep -qF "$expect" <<<"$out" || { echo "FAIL: planting '$line' in $file did not report '$expect':"; echo "$out"; exit 1; }
  if [ -f "$copy/$file.orig" ]; then mv "$copy/$file.orig" "$copy/$file"; else rm -f "$copy/$file"; fi
  planted=$((planted + 1))
}
plant core/planted.cpp '#include "actors/player.h"' "core/planted.cpp: includes actors/player.h"
plant core/random.h '#include <X11/Xlib.h>' "core/random.h: includes <X11/Xlib.h>"
plant core/random.h '#include <sqlite3.h>' "core/random.h: includes <sqlite3.h>"
plant rink/rink.cpp '#include "tests/support/rink_rig.h"' "rink/rink.cpp: includes tests/support/rink_rig.h"
plant rink/rink.cpp '#include "rink_rig.h"' "rink/rink.cpp: includes \"rink_rig.h\", which is no file"
plant input/keyboard_input.cpp '#include "platform/sdl/sdl_keys.h"' "input/keyboard_input.cpp: includes platform/sdl/sdl_keys.h"
plant net/channel.h '#include <curl/curl.h>' "net/channel.h: includes <curl/curl.h>"
plant shell/menu.cpp '#include <imgui.h>' "shell/menu.cpp: includes <imgui.h>"
plant shell/game_session.cpp '#include <windows.h>' "shell/game_session.cpp: includes <windows.h>"
plant shell/game_session.cpp '#include "shell/imgui/dialog_sizes.h"' "shell/game_session.cpp: includes shell/imgui/dialog_sizes.h"
plant shell/win32/dialogs.cpp '#include "shell/imgui/dialog_sizes.h"' "shell/win32/dialogs.cpp: includes shell/imgui/dialog_sizes.h"
plant game/game_flow.cpp '#include "platform/win32/win32_keys.h"' "game/game_flow.cpp: includes platform/win32/win32_keys.h"
plant tools/preview/main.cpp '#include "tests/support/rink_rig.h"' "tools/preview/main.cpp: includes tests/support/rink_rig.h"
plant newfolder/thing.cpp '#include <vector>' "newfolder/thing.cpp: belongs to no layer"
python3 "$check" "$copy" >/dev/null || { echo "FAIL: the copy does not pass once the plants are gone"; exit 1; }
echo "the check caught all $planted planted breaks"

command -v clang-format >/dev/null || { echo "SKIP: clang-format is not installed"; exit 77; }
cd "$root"
git ls-files -z --cached --others --exclude-standard '*.h' '*.cpp' | xargs -0 clang-format --dry-run --Werror
echo "every C++ file is formatted"
