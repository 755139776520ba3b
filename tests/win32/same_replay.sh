#!/usr/bin/env bash
# Replays cross builds: a whole scripted game recorded by the Linux build plays again under the Windows
# build to the same world digest frame by frame and the same verdict, and the Windows build records the
# same game to the same bytes. Usage: same_replay.sh <native tundrix_replay_digests> <tundrix_replay_digests.exe>
set -euo pipefail
native=${1:?usage: same_replay.sh NATIVE EXE}
exe=${2:?usage: same_replay.sh NATIVE EXE}
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
seed=5

"$native" record "$tmp/linux.txr" "$seed" >"$tmp/linux-live.txt"
"$native" verify "$tmp/linux.txr" >"$tmp/linux-again.txt"
"$here/wine_run.sh" "$exe" verify "Z:$tmp/linux.txr" | tr -d '\r' >"$tmp/windows-again.txt"
"$here/wine_run.sh" "$exe" record "Z:$tmp/windows.txr" "$seed" | tr -d '\r' >"$tmp/windows-live.txt"

frames=$(wc -l <"$tmp/linux-live.txt")
verdict=$(tail -n 1 "$tmp/linux-again.txt")
case "$verdict" in
  "verdict consistent 1 "*"game over 1 "*) ;;
  *) echo "FAIL: the Linux build's own replay does not stand: $verdict"; exit 1 ;;
esac
[ "$frames" -gt 1000 ] || { echo "FAIL: only $frames frames were recorded"; exit 1; }
# The digests as played, as played again on Linux, as played again on Windows; and the verdicts.
head -n -1 "$tmp/linux-again.txt" | cmp -s - "$tmp/linux-live.txt" ||
  { echo "FAIL: the Linux build does not play its own replay again to the same worlds"; exit 1; }
if ! cmp -s "$tmp/linux-again.txt" "$tmp/windows-again.txt"; then
  first=$(diff "$tmp/linux-again.txt" "$tmp/windows-again.txt" | sed -n 's/^< //p' | head -n 1 || true)
  echo "FAIL: the Windows build plays the Linux replay otherwise from: $first"
  tail -n 1 "$tmp/windows-again.txt"
  exit 1
fi
cmp -s "$tmp/linux.txr" "$tmp/windows.txr" || { echo "FAIL: the builds record the same game to other bytes"; exit 1; }
cmp -s "$tmp/linux-live.txt" "$tmp/windows-live.txt" || { echo "FAIL: the builds play the scripted game otherwise"; exit 1; }
echo "PASS: $frames frames alike in both builds' replays; $verdict"
