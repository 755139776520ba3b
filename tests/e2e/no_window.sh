#!/usr/bin/env bash
# A game that cannot open its window says why on its error output and ends at once with status 1.
# Usage: no_window.sh <path to tundrix>
set -euo pipefail
game=${1:?usage: no_window.sh <tundrix>}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=nosuch \
    timeout 20 "$game" 2>"$tmp/said" || status=$?
if [ "$status" != 1 ] || ! grep -q "^tundrix: cannot open the game window" "$tmp/said"; then
    echo "FAIL: without a window the game ended with $status and said: $(cat "$tmp/said")"
    exit 1
fi
echo "ok: $(cat "$tmp/said")"
