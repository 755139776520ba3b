#!/usr/bin/env bash
# The Windows build posts the same score form as the Linux build: both builds' posting programs (the game's
# own form builder, libcurl on Linux and WinInet on Windows) post the same record to a stand-in channel on
# the loopback address, and every field must be alike, except those that measure each build's own program
# file (f8 its CRC-32, f9 its length, fb the length plus the score), which must match that file.
# Usage: same_form.sh <native tundrix_post_score> <tundrix_post_score.exe> <channel_standin.py>
set -euo pipefail
native=${1:?usage: same_form.sh NATIVE EXE STANDIN}
exe=${2:?usage: same_form.sh NATIVE EXE STANDIN}
standin=${3:?usage: same_form.sh NATIVE EXE STANDIN}
here=$(cd "$(dirname "$0")" && pwd)
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed"; exit 77; }
tmp=$(mktemp -d)
python3 "$standin" "$tmp/port" "$tmp/posts" 0 0 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$tmp"' EXIT
for _ in $(seq 100); do [ -s "$tmp/port" ] && break; sleep 0.1; done
[ -s "$tmp/port" ] || { echo "FAIL: the stand-in channel did not start"; exit 1; }
address="127.0.0.1:$(cat "$tmp/port")"

linux=$("$native" "$address" anna@lumora.se hemligt 4711)
windows=$("$here/wine_run.sh" "$exe" "$address" anna@lumora.se hemligt 4711 | tr -d '\r')
[ "$linux" = "0 1" ] || { echo "FAIL: the Linux build's post was answered $linux"; exit 1; }
[ "$windows" = "0 1" ] || { echo "FAIL: the Windows build's post was answered $windows"; exit 1; }
[ "$(wc -l <"$tmp/posts")" -eq 2 ] || { echo "FAIL: the channel got $(wc -l <"$tmp/posts") posts"; exit 1; }

python3 - "$tmp/posts" "$native" "$exe" <<'PY'
import os, sys, zlib
KEY = bytes([0xC3, 0x5E, 0x02, 0xB7, 0x49, 0xE1, 0x6A, 0x90])
def fields(line):
    out = {}
    for pair in line.strip().split("&"):
        name, _, value = pair.partition("=")
        raw = bytes.fromhex(value)
        out[name] = value if name == "f2" else bytes(b ^ KEY[i % 8] for i, b in enumerate(raw)).decode("latin-1")
    return out
posts = [fields(l) for l in open(sys.argv[1], encoding="latin-1")]
names = [list(p) for p in posts]
assert names[0] == names[1] == "f1 f2 f3 f4 f5 f5b f6 f7 f8 f9 fa fb".split(), names
for name in "f1 f2 f3 f4 f5 f5b f6 f7 fa".split():
    assert posts[0][name] == posts[1][name], (name, posts[0][name], posts[1][name])
for post, program in zip(posts, sys.argv[2:]):
    data = open(program, "rb").read()
    assert post["f8"] == str(zlib.crc32(data)), (program, post["f8"], zlib.crc32(data))
    assert post["f9"] == str(len(data)), (program, post["f9"], len(data))
    assert post["fb"] == str(len(data) + int(post["f4"])), (program, post["fb"])
print("PASS: both builds posted " + " ".join(f"{n}={posts[0][n]}" for n in "f1 f2 f4 f6 f7".split())
      + "; f8, f9 and fb are each program file's CRC-32 (zlib), length and length plus score")
PY
