#!/usr/bin/env bash
# Builds the Windows installer with NSIS (Debian's nsis):
# build-windows/vorskal-VERSION-setup.exe, holding the window (vorskal.exe),
# vorskal-tally.exe, vorskal-league.exe, the user guide as a page, the README
# and the sample game (packaging/windows/vorskal.nsi says what it installs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/windows-sqlite.sh" build-windows/sqlite
cmake --preset windows >/dev/null
cmake --build --preset windows --target vorskal vorskal-tally vorskal-league

version=$(sed -n 's/^project(vorskal VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build-windows/installer
rm -rf "$stage"
mkdir -p "$stage/sample-game"
cp build-windows/app/window/win32/vorskal.exe build-windows/app/vorskal-tally.exe \
    build-windows/app/vorskal-league.exe README.md app/window/win32/vorskal.ico "$stage/"
x86_64-w64-mingw32-strip "$stage"/*.exe
cp examples/sample-game/* "$stage/sample-game/"
# The user guide as a page a Windows machine opens by itself.
{
    printf '<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8">\n'
    printf '<title>VORSKAL %s user guide</title>\n' "$version"
    printf '<style>body{font-family:sans-serif;max-width:50em;margin:auto;padding:1em}'
    printf 'table{border-collapse:collapse}td,th{border:1px solid #999;padding:.2em .5em}</style>\n'
    printf '</head><body>\n'
    cmark-gfm --extension table docs/user-guide.md
    printf '</body></html>\n'
} >"$stage/user-guide.html"

out=build-windows/vorskal-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$root/$stage" -DOUTFILE="$root/$out" \
    packaging/windows/vorskal.nsi
echo "$root/$out"
