#!/usr/bin/env bash
# Cross-builds the Windows programs with the `windows` preset (mingw-w64)
# into build-windows/ and tests them under Wine: the engine's, the league's
# and the window's shared part's test binaries, the runner's .exe on the
# sample game, every output against the Linux programs' own; then builds the
# installer and tries it as an administrator would in a fresh Wine prefix
# (install, the window clicked under Xvfb, uninstall), and builds the zip.
# Extra arguments go to CMake's configure step.
#
# SQLite comes from Debian's source package (scripts/windows-sqlite.sh).
# The Linux vorskal-tally and vorskal-league to compare with are built in
# build/ (or $VORSKAL_BUILD_DIR) if they are not there yet.
#
# Wine keeps its prefix in build-windows/wine-prefix; making it takes half a
# minute the first time. One Wine server stays up while the tests run, so
# each .exe starts in a fraction of a second.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
linux_build=${VORSKAL_BUILD_DIR:-$root/build}

# winemenubuilder would put the installer's Start-menu entries on the host's desktop.
export WINEPREFIX=$root/build-windows/wine-prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

echo "== SQLite for Windows"
"$root/scripts/windows-sqlite.sh" "$root/build-windows/sqlite"
echo "== the Linux programs to compare with"
if [[ ! -f $linux_build/build.ninja ]]; then
    cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVORSKAL_WERROR=ON >/dev/null
fi
cmake --build "$linux_build" --target vorskal-tally vorskal-league
echo "== Windows build"
cmake --preset windows -DVORSKAL_LINUX_PROGRAMS="$linux_build/app" "$@" >/dev/null
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
echo "== tests under Wine"
ctest --preset windows

echo "== the installer, in a fresh Wine prefix"
setup=$("$root/scripts/windows-installer.sh" | tail -1)
"$root/tests/windows/installer_in_wine.sh" "$setup" "$root" "$root/build-windows/installer-test" \
    "$root/build-windows/artifacts"
"$root/scripts/windows-zip.sh"
