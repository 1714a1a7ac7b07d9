#!/usr/bin/env bash
# Builds the zip for the league's administrators on Windows:
# build-windows/vorskal-VERSION-windows-x64.zip, holding vorskal-tally.exe,
# the README, the user guide and the sample game. The .exe is statically
# linked: it runs on a bare Windows 10 or later.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cmake --preset windows >/dev/null
cmake --build --preset windows --target vorskal-tally

version=$(sed -n 's/^project(vorskal VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=vorskal-$version-windows-x64
stage=build-windows/$name
rm -rf "$stage" "$stage.zip"
mkdir -p "$stage/sample-game"
cp build-windows/app/vorskal-tally.exe README.md "$stage/"
x86_64-w64-mingw32-strip "$stage/vorskal-tally.exe"
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
