#!/usr/bin/env bash
# Cross-builds the Windows programs with the `windows` preset (mingw-w64)
# into build-windows/ and runs their tests under Wine: the engine's test
# binary and the runner's .exe on the sample game; then builds the zip.
# Extra arguments go to CMake's configure step.
#
# Wine keeps its prefix in build-windows/wine-prefix; making it takes a
# minute the first time. One Wine server stays up while the tests run, so
# each .exe starts in a fraction of a second.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

export WINEPREFIX=$root/build-windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

cmake --preset windows "$@" >/dev/null
cmake --build --preset windows

# The server first: it refuses to start when one is up (an earlier start's
# lingers a few seconds), and then that one serves.
mkdir -p "$WINEPREFIX"
wineserver --persistent || true
trap 'wineserver --kill' EXIT
# Wine's own services start here, with every start of the server: started
# by a test's first .exe instead, they would hold that test's output open
# and ctest would wait for them.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "== making the Wine prefix"
fi
wine wineboot --init
ctest --preset windows
"$root/scripts/windows-zip.sh"
