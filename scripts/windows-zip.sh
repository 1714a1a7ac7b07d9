#!/usr/bin/env bash
# Builds the zip for the league's administrators on Windows who prefer it to
# the installer: build-windows/vorskal-VERSION-windows-x64.zip, holding the
# window (vorskal.exe), vorskal-tally.exe, vorskal-league.exe, the README,
# the user guide and the sample game. The .exe are statically linked: they
# run on a bare Windows 10 or later.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/windows-sqlite.sh" build-windows/sqlite
cmake --preset windows >/dev/null
cmake --build --preset windows --target vorskal vorskal-tally vorskal-league

version=$(sed -n 's/^project(vorskal VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=vorskal-$version-windows-x64
stage=build-windows/$name
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage/sample-game"
cp build-windows/app/window/win32/vorskal.exe build-windows/app/vorskal-tally.exe \
    build-windows/app/vorskal-league.exe README.md "$stage/"
x86_64-w64-mingw32-strip "$stage"/*.exe
guide=docs/user-guide.md
if [[ -f $guide ]]; then
    cp "$guide" "$stage/"
else
    echo "windows-zip: no $guide to put in the zip" >&2
fi
cp examples/sample-game/* "$stage/sample-game/"

# The same sources give the same zip: every file dated by the last commit.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
find "$stage" -exec touch -d "@$stamp" {} +
(cd build-windows && find "$name" -type f | LC_ALL=C sort | zip -q -X -@ "$name.zip")
echo "$root/build-windows/$name.zip"
