# Sourced by the tests that need a Wine prefix of their own: wine_prefix_copy DIR makes DIR/prefix from the
# fixture's template in a moment (its DLLs hard-linked, its registry copied, as Wine rewrites only those)
# and points WINEPREFIX at it. The caller stops its wineserver with wine_prefix_stop.
wine_prefix_copy() {
  local dir=$1 display=${DISPLAY:-}
  # shellcheck disable=SC1090
  . "${WINE_FIXTURE:?the Wine fixture is not set up}"
  # The caller's display, if it has one of its own.
  [ -n "$display" ] && export DISPLAY="$display"
  cp -al "$WINE_TEMPLATE" "$dir/prefix"
  local reg
  for reg in "$dir"/prefix/*.reg; do
    cp --remove-destination "$WINE_TEMPLATE/$(basename "$reg")" "$reg"
  done
  export WINEPREFIX="$dir/prefix" WINEDEBUG=-all
}
wine_prefix_stop() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
}
