#!/usr/bin/env bash
# A disk that fills under the channel: its database lives on a small tmpfs (needs root to mount), a filler
# file takes all but a little of the space, members post until the disk is full, then the filler goes and
# they post again. Every post answered 0 or 1 must be kept exactly once, the answers in between must be ones
# the game offers to try again (HTTP 503), and the database must stay intact.
# Usage: sudo bench/channel_disk_full.sh [build dir (build/release)] [clients (5)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
clients=${2:-5}
bin="$build/channel/tundrix-channel"
load="$build/bench/channel_load"
[ "$(id -u)" = 0 ] || { echo "mounting the small disk needs root"; exit 77; }
source bench/channel_common.sh
bench_start "$bin" "$load"
disk="$tmp/disk"
mkdir -p "$disk"
on_exit() { umount "$disk" 2>/dev/null; }
mount -t tmpfs -o size=16m tmpfs "$disk"
db="$disk/channel.db"
"$load" prepare "$db" "$clients"
# Leave about 100 KiB free.
dd if=/dev/zero of="$disk/filler" bs=4k 2>/dev/null || true
rm -f "$disk/filler"
free_kib=$(df -k --output=avail "$disk" | tail -n 1)
dd if=/dev/zero of="$disk/filler" bs=1k count=$(( free_kib - 100 )) 2>/dev/null
echo "free on the small disk: $(df -k --output=avail "$disk" | tail -n 1) KiB"

start_server "$bin" "$db" "$tmp/server.log" --rate-limits off
echo "while it fills:   $("$load" post "$port" "$clients" 4 100000 "$tmp/full.log")"
kill -0 "$server_pid" || { echo "FAIL: the server died on the full disk"; exit 1; }
rm -f "$disk/filler"
echo "after room comes: $("$load" post "$port" "$clients" 2 200000 "$tmp/room.log")"
stop_server
grep -c "503" "$tmp/server.log" | sed 's/^/posts answered 503 (try again): /'
"$load" verify "$db" "$clients" "$tmp/full.log" "$tmp/room.log"
