# Common environment of the build and test scripts. Sourced, not run.
PARLIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export PARLIX_ROOT
export WINEARCH=win32
export WINEPREFIX="${PARLIX_WINEPREFIX:-${HOME:-/root}/.local/share/parlix/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if locale -a 2>/dev/null | grep -qi "^zh_CN.utf8$"; then export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8; fi
BUILD_DIR="${PARLIX_BUILD_DIR:-$PARLIX_ROOT/build}"
