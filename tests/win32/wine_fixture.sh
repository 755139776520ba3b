#!/usr/bin/env bash
# The Wine the Windows tests run under: "start FILE" makes a prefix in a temporary folder (wineboot, about
# 10 s) and a virtual X display of its own, and writes both to FILE for wine_run.sh; "stop FILE" ends its
# wineserver and the display and removes the folder. Tests that need a prefix of their own copy this one
# (WINE_TEMPLATE in FILE) instead of booting another.
set -euo pipefail
action=${1:?usage: wine_fixture.sh start|stop FILE}
file=${2:?usage: wine_fixture.sh start|stop FILE}
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

stop() {
  [ -f "$file" ] || return 0
  # shellcheck disable=SC1090
  . "$file"
  WINEPREFIX="$WINEPREFIX" "$wineserver" -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WINE_FIXTURE_DIR"
  rm -f "$file"
}

if [ "$action" = stop ]; then
  stop
  exit 0
fi

for tool in "$wine" "$wineserver" Xvfb; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (bash tools/deps.sh)"; exit 77; }
done
stop
dir=$(mktemp -d /tmp/tundrix-wine.XXXXXX)
# The display: Xvfb picks a free number itself and tells it on a pipe.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -nolock </dev/null >"$dir/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 20 display <&3 || { cat "$dir/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
exec 3<&-
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all DISPLAY=":$display"
started=$(date +%s%N)
"$wine" wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || true
# A program that crashes ends with Wine's backtrace on its output instead of waiting on a crash dialog
# nobody will click.
"$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >>"$dir/wineboot.log" 2>&1
WINEPREFIX="$WINEPREFIX" "$wineserver" -w
[ -f "$WINEPREFIX/system.reg" ] || { cat "$dir/wineboot.log"; echo "FAIL: wineboot made no prefix"; exit 1; }
# A copy for the tests that need a prefix of their own, made before anything runs in this one: the DLLs
# hard-linked (nothing writes to them), the registry copied (the wineserver replaces those files).
cp -al "$WINEPREFIX" "$dir/template"
for reg in "$dir"/template/*.reg; do
  cp --remove-destination "$WINEPREFIX/$(basename "$reg")" "$reg"
done
# Keep the wineserver running between the tests, so each program starts in well under a second.
"$wineserver" -p </dev/null >/dev/null 2>&1
cat >"$file" <<END
export WINE_FIXTURE_DIR="$dir" WINEPREFIX="$WINEPREFIX" WINE_TEMPLATE="$dir/template" DISPLAY=":$display"
export XVFB_PID=$xvfb
END
echo "Wine prefix $WINEPREFIX on display :$display, booted in $(( ($(date +%s%N) - started) / 1000000 )) ms"
