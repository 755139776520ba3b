#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal build, the Windows build
# (its tests under Wine), the AddressSanitizer + UndefinedBehaviorSanitizer build, and a short run of each
# fuzz target.
#
# The end-to-end runs spend most of their time waiting on the game's real clock, so the other builds are
# made meanwhile at the lowest CPU priority: the Windows build, then the sanitizer and fuzz build, beside
# the normal build's tests; the Windows tests run as soon as their build is there, and the fuzz targets
# beside the sanitizer's tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

jobs=$(nproc)
# Libraries leave caches behind; keep them out of the user's home.
scratch=$(mktemp -d)
background=""
finish() {
  [ -n "$background" ] && kill -- "-$background" 2>/dev/null
  rm -rf "$scratch"
}
trap finish EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" MESA_SHADER_CACHE_DIR="$scratch/mesa"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
stage() { printf '== %s (at %d min %02d s)\n' "$1" $((SECONDS / 60)) $((SECONDS % 60)); }
have_clang() { command -v clang++ >/dev/null; }

stage "normal build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNDRIX_WERROR=ON >/dev/null
cmake --build build/release -j "$jobs"

# The other builds, one after another, each leaving a mark when it is done. The asset generator, the menu
# script, the icon file and the native twins of the Windows build come from the normal build.
other_builds() {
  cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DTUNDRIX_WERROR=ON -DTUNDRIX_HOST_BUILD="$PWD/build/release" >/dev/null
  cmake --build build/win64 -j "$jobs"
  touch "$scratch/win64.built"
  # With clang, one build serves the sanitizers' tests and the fuzz targets (its code carries libFuzzer's
  # coverage counters as well); without it, GCC's sanitizers and no fuzz targets. A sanitizer's report names
  # files and lines, which is all the debug information this build needs: the full kind costs a third of its
  # time.
  local compilers=()
  have_clang && compilers=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTUNDRIX_FUZZ=ON)
  cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNDRIX_WERROR=ON -DTUNDRIX_SANITIZE=ON \
    -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTUNDRIX_BENCH=OFF "${compilers[@]}" >/dev/null
  cmake --build build/asan -j "$jobs"
  if have_clang; then
    cmake --build build/asan -j "$jobs" --target fuzz_all
  fi
  touch "$scratch/asan.built"
}
set -m
(
  renice -n 19 -p "$BASHPID" >/dev/null
  other_builds
) </dev/null >"$scratch/builds.log" 2>&1 &
background=$!
set +m
# Waits until the background builds leave the mark, or stops the test run with their log if they fail.
wait_for() {
  until [ -e "$scratch/$1" ]; do
    if ! kill -0 "$background" 2>/dev/null; then
      tail -n 80 "$scratch/builds.log"
      echo "the $2 failed"
      exit 1
    fi
    sleep 1
  done
  echo "-- the $2 is done (at $((SECONDS / 60)) min $((SECONDS % 60)) s)"
}

stage "normal build's tests (the Windows, sanitizer and fuzz builds meanwhile)"
ctest --test-dir build/release --output-on-failure -j "$jobs"

stage "Windows build (mingw-w64) and its tests under Wine"
wait_for win64.built "Windows build"
ctest --test-dir build/win64 --output-on-failure -j "$jobs"

stage "sanitizer build's tests (the fuzz targets beside them, $jobs at a time)"
wait_for asan.built "sanitizer and fuzz build"
# Each fuzz target runs for a set number of seconds, so they run beside the sanitizer's tests at the lowest
# priority, taking what the tests leave of the processor.
background=""
if have_clang; then
  export TUNDRIX_FUZZ_SECONDS=${TUNDRIX_FUZZ_SECONDS:-10} TUNDRIX_FUZZ_SCRATCH="$scratch"
  set -m
  (
    renice -n 19 -p "$BASHPID" >/dev/null
    find build/asan/tests/fuzz -maxdepth 1 -name 'fuzz_*' -type f -executable | sort |
      xargs -P "$jobs" -n 1 bash tools/fuzz_one.sh
  ) </dev/null >"$scratch/fuzz.log" 2>&1 &
  background=$!
  set +m
fi
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --test-dir build/asan --output-on-failure -j "$jobs"

stage "fuzz targets"
if have_clang; then
  fuzzed=0
  wait "$background" || fuzzed=$?
  background=""
  cat "$scratch/fuzz.log"
  [ "$fuzzed" -eq 0 ] || { echo "a fuzz target found a crash"; exit 1; }
else
  echo "clang++ not found: fuzz targets skipped"
fi
stage "all test stages passed"
