#!/usr/bin/env bash
# The Windows and the Linux build draw the same game: the one scripted game played by both builds' twin
# programs (tests/win32/same_picture.cpp) must give the same CRC-32 for every drawn frame and the same
# pictures, and on Windows what GDI put on the screen must be those pictures pixel for pixel.
# Usage: same_picture.sh <native tundrix_same_picture> <tundrix_same_picture.exe>; E2E_KEEP=<dir> keeps them.
set -euo pipefail
native=${1:?usage: same_picture.sh NATIVE EXE}
exe=${2:?usage: same_picture.sh NATIVE EXE}
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/linux" "$tmp/windows"

"$native" "$tmp/linux"
"$here/wine_run.sh" "$exe" "Z:$tmp/windows"
[ -n "${E2E_KEEP:-}" ] && mkdir -p "$E2E_KEEP" && cp -r "$tmp/linux" "$tmp/windows" "$E2E_KEEP"/

frames=$(grep -c '^[0-9]' "$tmp/linux/frames.txt")
if ! cmp -s "$tmp/linux/frames.txt" "$tmp/windows/frames.txt"; then
  first=$(diff "$tmp/linux/frames.txt" "$tmp/windows/frames.txt" | sed -n 's/^< //p' | head -n 1 || true)
  echo "FAIL: the builds part at drawn frame ${first%% *} of $frames"
  tail -n 1 "$tmp/linux/frames.txt" "$tmp/windows/frames.txt"
  exit 1
fi
# The steering tables are computed by each build's maths library; a last-bit difference is told, and
# counts only when it makes the games part.
tables=$(diff "$tmp/linux/angles.txt" "$tmp/windows/angles.txt" | grep -c '^<' || true)
[ "$tables" -eq 0 ] || echo "NOTE: $tables of 720 steering table entries differ between the builds' maths libraries"
pictures=0
for picture in "$tmp"/linux/frame-*.ppm; do
  name=$(basename "$picture")
  cmp -s "$picture" "$tmp/windows/$name" || { echo "FAIL: $name differs between the builds"; exit 1; }
  cmp -s "$picture" "$tmp/windows/gdi-${name#frame-}" || { echo "FAIL: GDI showed ${name#frame-} otherwise"; exit 1; }
  pictures=$((pictures + 1))
done
[ "$pictures" -ge 5 ] || { echo "FAIL: only $pictures pictures were compared"; exit 1; }
echo "PASS: $frames drawn frames alike on both builds ($(tail -n 1 "$tmp/linux/frames.txt")); $pictures pictures identical, also as GDI showed them"
