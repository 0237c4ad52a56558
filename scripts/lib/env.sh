# Common environment of the build and test scripts. Sourced, not run.
PARLIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export PARLIX_ROOT
export WINEARCH=win32
export WINEPREFIX="${PARLIX_WINEPREFIX:-$HOME/.local/share/parlix/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
BUILD_DIR="$PARLIX_ROOT/build"
