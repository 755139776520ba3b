#!/usr/bin/env bash
# Installs the built game into a temporary prefix and makes its Debian package, then checks what a user and
# a distribution would meet: exactly the expected files, icons of every size, a desktop entry and AppStream
# data that their validators accept, the program started the way the desktop entry says (under Xvfb) with
# the game's icon on its window, and a package with the same files, root-owned, and the right control fields.
# Usage: install_test.sh <build folder>
set -euo pipefail

build=${1:?usage: install_test.sh <build folder>}
for tool in desktop-file-validate appstreamcli cpack dpkg-deb dpkg-shlibdeps file xvfb-run xdotool xprop convert; do
  command -v "$tool" >/dev/null ||
    { echo "SKIP: $tool is not installed (bash tools/deps.sh installs it)"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

app=se.lumora.tundrix
sizes=(16 22 24 32 48 64 128 256)
expected=(bin/tundrix share/applications/$app.desktop share/metainfo/$app.metainfo.xml)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/tundrix.png"); done
expected_list() { printf '%s\n' "${expected[@]}" | sort; }

echo "== cmake --install into a temporary prefix"
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "install failed"; }
diff <(expected_list) <(cd "$prefix" && find . -type f -printf '%P\n' | sort) ||
  fail "the installed files differ from the expected ones (< expected, > installed)"
[ -x "$prefix/bin/tundrix" ] || fail "the installed program is not executable"

echo "== icons"
for s in "${sizes[@]}"; do
  icon="$prefix/share/icons/hicolor/${s}x${s}/apps/tundrix.png"
  read -r w h alpha <<<"$(identify -format '%w %h %A\n' "$icon")"
  [ "$w" = "$s" ] && [ "$h" = "$s" ] || fail "icon $s is ${w}x$h"
  [[ "$alpha" =~ ^(True|Blend)$ ]] || fail "icon $s has no transparency"
  # A round badge: clear corners, an opaque middle, and a face in it (skin and hair, not one flat colour).
  corner=$(convert "$icon" -format '%[fx:int(255*p{0,0}.a)]' info:)
  middle=$(convert "$icon" -format "%[fx:int(255*p{$((s / 2)),$((s / 2))}.a)]" info:)
  [ "$corner" -eq 0 ] && [ "$middle" -eq 255 ] || fail "icon $s: corner alpha $corner, middle alpha $middle"
  colours=$(convert "$icon" -alpha off -colors 64 -format '%k' info:)
  [ "$colours" -ge 8 ] || fail "icon $s has only $colours colours"
done

echo "== desktop entry and AppStream data"
desktop="$prefix/share/applications/$app.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" ||
  fail "appstreamcli rejects the metainfo"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$prefix/share/metainfo/$app.metainfo.xml" ||
  fail "the metainfo does not launch the installed desktop entry"
grep -qx 'Icon=tundrix' "$desktop" || fail "the desktop entry names another icon"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
command=(${exec_line//%[fFuUick]/})
[ -x "$prefix/bin/${command[0]}" ] || fail "Exec=$exec_line does not run the installed program"

echo "== started from the desktop entry under Xvfb"
# The Exec line runs with the prefix's bin/ first on PATH, as a desktop would run the installed game.
cat >"$tmp/run.sh" <<EOF
set -euo pipefail
echo started >"\$1"
export PATH="$prefix/bin:\$PATH" HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" MESA_SHADER_CACHE_DIR="$tmp/mesa"
export SDL_AUDIODRIVER=dummy
mkdir -p "\$HOME" "\$XDG_CONFIG_HOME"
${command[*]} >"$tmp/game.log" 2>&1 &
pid=\$!
trap 'kill \$pid 2>/dev/null || true; wait \$pid 2>/dev/null || true' EXIT
wid=\$(timeout 20 xdotool search --sync --onlyvisible --name '^Tundrix Ice-Hockey Cup\$' | head -n 1)
[ "\$(readlink /proc/\$pid/exe)" = "$prefix/bin/tundrix" ]
xprop -id "\$wid" WM_CLASS
xprop -id "\$wid" -notype 32c _NET_WM_ICON >"$tmp/wm_icon.txt"
EOF
# A display number nobody uses: try a few and keep the one whose server starts.
started=""
for n in 0 1 2 3 4; do
  display=$(( 100 + ($$ * 7 + n * 53) % 400 ))
  marker="$tmp/marker$n"
  : >"$marker"
  set +e
  xvfb-run -n "$display" -s "-screen 0 1024x768x24 -nolock -nolisten unix" bash "$tmp/run.sh" "$marker"
  rc=$?
  set -e
  if [ -s "$marker" ]; then started=yes; break; fi
done
[ -n "$started" ] || fail "no virtual display could be started"
[ "$rc" -eq 0 ] || { tail -n 20 "$tmp/game.log"; fail "the installed program did not show its window"; }
# _NET_WM_ICON holds width, height, then one 0xAARRGGBB number per pixel: turn it into a PAM picture and
# compare it with the installed 64-pixel icon.
tr -c '0-9\n' ' ' <"$tmp/wm_icon.txt" | awk '{ for (i = 1; i <= NF; i++) print $i }' >"$tmp/wm_icon.num"
[ "$(head -n 2 "$tmp/wm_icon.num" | tr '\n' ' ')" = "64 64 " ] || fail "the window has no 64-pixel icon"
awk 'NR == 1 { w = $1 } NR == 2 { printf "P3\n%d %d\n255\n", w, $1 } NR > 2 {
       v = $1; printf "%d %d %d\n", int(v / 65536) % 256, int(v / 256) % 256, v % 256 }' "$tmp/wm_icon.num" \
  >"$tmp/wm_icon.ppm"
awk 'NR == 1 { w = $1 } NR == 2 { printf "P2\n%d %d\n255\n", w, $1 } NR > 2 { printf "%d\n", int($1 / 16777216) }' \
  "$tmp/wm_icon.num" >"$tmp/wm_alpha.pgm"
icon64="$prefix/share/icons/hicolor/64x64/apps/tundrix.png"
convert "$icon64" -alpha off "$tmp/icon64.ppm"
convert "$icon64" -alpha extract "$tmp/icon64.pgm"
rgb_diff=$(compare -metric AE "$tmp/wm_icon.ppm" "$tmp/icon64.ppm" null: 2>&1 || true)
alpha_diff=$(compare -metric AE "$tmp/wm_alpha.pgm" "$tmp/icon64.pgm" null: 2>&1 || true)
[ "$rgb_diff" = 0 ] && [ "$alpha_diff" = 0 ] ||
  fail "the window icon differs from the installed icon in $rgb_diff colour and $alpha_diff alpha pixels"

echo "== Debian package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack failed"; }
debs=("$tmp"/package/tundrix_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single tundrix_*.deb"
deb=${debs[0]}
dpkg-deb -c "$deb" >"$tmp/contents.txt"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tundrix ] || fail "package name $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture $(field Architecture)"
[ "$(field Section)" = games ] || fail "section $(field Section)"
[ -n "$(field Version)" ] && [ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] ||
  fail "version, maintainer or description missing"
depends=$(field Depends)
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0 zlib1g libstb0 libc6; do
  [[ ", $depends," =~ ,\ $lib[\ ,] ]] || fail "Depends lacks $lib: $depends"
done
[[ "$depends" != *curl* ]] || fail "libcurl must not be a hard dependency: $depends"
[[ "$(field Recommends)" == *libcurl4* ]] || fail "Recommends lacks libcurl4: $(field Recommends)"
diff <(expected_list | sed 's|^|usr/|') <(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$tmp/contents.txt" | sort) ||
  fail "the package's files differ from the install (< expected, > packaged)"
awk '$2 != "root/root" { bad = 1; print } END { exit bad }' "$tmp/contents.txt" ||
  fail "files not owned by root"
grep -q '^-rwxr-xr-x .* ./usr/bin/tundrix$' "$tmp/contents.txt" || fail "the packaged program is not executable"
echo "PASS: $(basename "$deb"), Depends: $depends; Recommends: $(field Recommends)"
