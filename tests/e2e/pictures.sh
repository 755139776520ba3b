# shellcheck shell=bash
# Shared by the Linux and the Windows end-to-end libraries: polling, and comparing and counting the pixels
# of screenshots (ImageMagick). Scratch images go to $tmp.
now_ms() { date +%s%3N; }
# poll <seconds> <command...>: runs the command every 100 ms until it succeeds or time is up.
poll() {
  local limit=$1; shift
  local end=$(( $(now_ms) + limit * 1000 ))
  until "$@"; do
    [ "$(now_ms)" -lt "$end" ] || return 1
    sleep 0.1
  done
}
# sleep_until_ms <ms>: sleeps until now_ms reaches it (not at all when it has).
sleep_until_ms() {
  local left=$(( $1 - $(now_ms) ))
  [ "$left" -le 0 ] || sleep "$(( left / 1000 )).$(printf '%03d' $(( left % 1000 )))"
}
# window_shot <window id> <file>: a picture of the window. A busy X server can time import out half way or
# hand it a picture of another size while the window changes; such a shot is taken again, and the file is
# replaced only by a whole picture the window's size, so a look at the screen never reads a broken one.
window_shot() {
  local part="$2.part" try size
  for try in 1 2 3 4 5; do
    size=$(xwininfo -id "$1" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    if timeout 10 import -window "$1" "png:$part" 2>/dev/null &&
      [ "$(identify -format '%wx%h' "$part" 2>/dev/null)" = "$size" ]; then
      mv -f "$part" "$2"
      return 0
    fi
    sleep 0.2
  done
  rm -f "$part"
  return 1
}
# differs_pct <a.png> <b.png> <WxH+X+Y>: the share of the region, in percent, that differs by more than 8 %.
differs_pct() {
  local w h n
  w=${3%%x*}; h=${3#*x}; h=${h%%+*}
  convert "$1" -crop "$3" +repage "$tmp/crop-a.png"
  convert "$2" -crop "$3" +repage "$tmp/crop-b.png"
  n=$(compare -metric AE -fuzz 8% "$tmp/crop-a.png" "$tmp/crop-b.png" null: 2>&1 || true)
  n=${n%%[!0-9]*}
  echo $(( ${n:-0} * 100 / (w * h) ))
}
# Pixels that differ at all between two images of the same size.
differing_pixels() {
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  echo "${n%%[!0-9]*}"
}
# chance_pixels <png> <WxH+X+Y>: how many pixels of the HUD's chance icons (the faces) a region holds.
chance_pixels() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    awk -F'[(),]' 'NR > 1 && $3 > 150 && $4 > 110 { n++ } END { print n + 0 }'
}
# How many pixels of colour #RRGGBB there are in a region of a shot.
count_colour() {
  convert "$1" -crop "$2" +repage -format %c histogram:info:- 2>/dev/null |
    awk -v c="#$3" 'index(tolower($0), tolower(c)) {s += $1} END {print s + 0}'
}
