#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: quietly, in the test run's prefix and on its display
# (tests/win32/wine_fixture.sh makes both and writes them to WINE_FIXTURE). The program's output goes
# through a file: Wine's own service processes, started by the first program, inherit its output and
# outlive it, and would keep a pipe to the test runner open.
set -uo pipefail
# A test that made a prefix of its own (wine_prefix_copy.sh) keeps it.
fixture=${WINE_FIXTURE:-}
own=${WINEPREFIX:-}
if [ -n "$fixture" ] && [ -f "$fixture" ]; then
  # shellcheck disable=SC1090
  . "$fixture"
fi
[ -n "$own" ] && export WINEPREFIX="$own"
# Never the user's own prefix: a test that finds no prefix of its own says so.
[ -n "${WINEPREFIX:-}" ] || { echo "wine_run.sh: no Wine prefix (WINE_FIXTURE or WINEPREFIX)"; exit 1; }
export WINEDEBUG=${WINEDEBUG:--all}
out=$(mktemp)
# Stopped here, short of the test runner's own limit, so that what a program that hangs printed before it
# hung (a test program names each case as it starts it) is shown rather than lost with it.
limit=${WINE_RUN_LIMIT:-270}
timeout --kill-after=5 "$limit" /usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
[ "$rc" -eq 124 ] || [ "$rc" -eq 137 ] && echo "wine_run.sh: $1 was still running after $limit s and was stopped"
exit $rc
