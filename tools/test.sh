#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal build, the Windows build
# (its tests under Wine), the AddressSanitizer + UndefinedBehaviorSanitizer build, and a short run of each
# fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

jobs=$(nproc)
# Libraries leave caches behind; keep them out of the user's home.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" MESA_SHADER_CACHE_DIR="$scratch/mesa"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"

echo "== normal build =="
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNDRIX_WERROR=ON >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== Windows build (mingw-w64) and its tests under Wine =="
# The asset generator, the menu script, the icon file and the native twins come from the normal build.
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTUNDRIX_WERROR=ON -DTUNDRIX_HOST_BUILD="$PWD/build/release" >/dev/null
cmake --build build/win64 -j "$jobs"
ctest --test-dir build/win64 --output-on-failure -j "$jobs"

echo "== sanitizer build =="
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNDRIX_WERROR=ON -DTUNDRIX_SANITIZE=ON \
  -DTUNDRIX_COVERAGE=ON -DTUNDRIX_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
find build/asan -name '*.gcda' -delete
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== coverage of the game logic by the tests (a figure, not a gate) =="
gcovr --root . --object-directory build/asan --filter '(core|rink|actors|graphics|input|sound|net)/' \
  --exclude-throw-branches --exclude-unreachable-branches --print-summary -o build/asan/coverage.txt

echo "== fuzz targets =="
if command -v clang++ >/dev/null; then
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNDRIX_FUZZ=ON \
    -DTUNDRIX_BENCH=OFF >/dev/null
  cmake --build build/fuzz -j "$jobs" --target fuzz_all
  seconds=${TUNDRIX_FUZZ_SECONDS:-10}
  for f in build/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus="$scratch/corpus-$name"
    mkdir -p "$corpus"
    seeds="tests/fuzz/seeds/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds/." "$corpus/"
    echo "-- $name for ${seconds}s"
    "$f" -max_total_time="$seconds" -print_final_stats=0 "$corpus" 2>"$scratch/$name.log" || {
      tail -n 60 "$scratch/$name.log"; echo "$name found a crash"; exit 1; }
    tail -n 1 "$scratch/$name.log"
  done
else
  echo "clang++ not found: fuzz targets skipped"
fi
echo "All test stages passed."
