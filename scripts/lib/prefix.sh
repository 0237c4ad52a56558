# The Wine prefix, made ready before any session uses it. Sourced; needs env.sh.
# Wine reads the desktop settings when a session's wineserver starts its desktop (wineboot does
# that before the first program of the session runs), so settings written inside a running
# session take effect only in the next one. They are therefore written here, with no Wine running
# for the prefix, and the marker records which settings the prefix holds.

PREFIX_SETTINGS="$PARLIX_ROOT/scripts/lib/prefix.reg"

prefix_stamp() {
  md5sum "$PREFIX_SETTINGS" | cut -d' ' -f1
}

prefix_is_ready() {
  [ "$(cat "$WINEPREFIX/.parlix-ready" 2>/dev/null)" = "$(prefix_stamp)" ]
}

prefix_prepare() {
  prefix_is_ready && return 0
  # No session of this prefix may be running: its settings would apply only after it ends.
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  # The Wine fonts and a CJK font; Wine registers them when its next session starts (below).
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -f /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  cp -f /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$fonts/" 2>/dev/null || true
  wine reg import "$(winepath -w "$PREFIX_SETTINGS")" </dev/null >/dev/null 2>&1 || {
    echo "prefix: importing $PREFIX_SETTINGS failed" >&2; return 1; }
  wineserver -w </dev/null >/dev/null 2>&1 || true
  prefix_stamp >"$WINEPREFIX/.parlix-ready"
}
