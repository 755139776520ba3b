#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need, if any are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  libsdl2-dev libsdl2-mixer-dev libx11-dev libimgui-dev libstb-dev libcurl4-openssl-dev libcairo2-dev zlib1g-dev libgif-dev
  libgtest-dev libbenchmark-dev libcpp-httplib-dev nlohmann-json3-dev libsqlite3-dev libsodium-dev libmicrohttpd-dev libicu-dev
  fonts-dejavu-core gcovr nginx openssl
  xvfb xauth xdotool imagemagick x11-utils xfonts-base openbox python3 python3-aiosmtpd xclip
  desktop-file-utils appstream dpkg-dev file curl ccache
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine64 nsis unzip
  chromium nodejs
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# The browser tests drive Chromium through Playwright from npm; a Node.js that brings its own npm is fine.
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
