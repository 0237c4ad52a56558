# Common environment of the build and test scripts. Sourced, not run.
PARLIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export PARLIX_ROOT

# Parlix is a 32-bit program and is built and tested as one. Some hosts run no 32-bit code at
# all (the i386 loader fails with "Exec format error"); there the same sources are built for
# 64-bit Windows and tested under 64-bit Wine. PARLIX_WIN=win32|win64 chooses by hand.
parlix_runs_32bit() {
  # Unknown until setup has installed the i386 loader: the 32-bit build is assumed.
  [ ! -e /lib/ld-linux.so.2 ] || /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
if [ -z "${PARLIX_WIN:-}" ]; then
  if parlix_runs_32bit; then PARLIX_WIN=win32; else PARLIX_WIN=win64; fi
fi
export PARLIX_WIN
if [ "$PARLIX_WIN" = win64 ]; then
  export WINEARCH=win64
  export WINEPREFIX="${PARLIX_WINEPREFIX:-${HOME:-/root}/.local/share/parlix/wine64}"
  # Debian's "wine" starts the 32-bit loader whenever it is installed; "wine" and the tools
  # that start through it (wineboot, regsvr32 ...) are pointed at the 64-bit loader instead.
  export WINELOADER=/usr/lib/wine/wine64
  shims="${PARLIX_BUILD_DIR:-$PARLIX_ROOT/build}/wine64-bin"
  if [ ! -x "$shims/wine-stable" ]; then
    mkdir -p "$shims"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/wine"
    chmod +x "$shims/wine"
    cp "$shims/wine" "$shims/wine-stable"
  fi
  case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
  unset shims
else
  export WINEARCH=win32
  export WINEPREFIX="${PARLIX_WINEPREFIX:-${HOME:-/root}/.local/share/parlix/wine}"
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if locale -a 2>/dev/null | grep -qi "^zh_CN.utf8$"; then export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8; fi
BUILD_DIR="${PARLIX_BUILD_DIR:-$PARLIX_ROOT/build}"
