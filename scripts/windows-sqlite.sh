#!/usr/bin/env bash
# Makes SQLite for the Windows build from Debian's own source package of
# SQLite: fetches it with apt-get source (Debian's patches applied), makes
# its single-file source (the amalgamation, with tclsh) and leaves
# sqlite3.c, sqlite3.h and the package's version in DIR (default
# build-windows/sqlite). The project compiles sqlite3.c for the target
# (cmake/cross_packages.cmake). Does nothing when DIR already holds them.
#
# apt-get source needs deb-src entries. They are the system's own Debian
# sources (the deb entries of this release's suites), as deb-src, in an
# apt configuration of their own under DIR: the system's is not touched and
# no other host is asked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-windows/sqlite}
if [[ -f $out/sqlite3.c && -f $out/sqlite3.h && -f $out/VERSION ]]; then
    exit 0
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$out/work
rm -rf "$work"
mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"

# shellcheck disable=SC1091
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
# deb822 files: every stanza of type deb for this release's suites, as deb-src.
for file in /etc/apt/sources.list.d/*.sources; do
    [[ -f $file ]] || continue
    awk -v codename="$codename" '
        function flush() {
            if (stanza != "" && deb && ours) { sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src", stanza); print stanza "\n" }
            stanza = ""; deb = 0; ours = 0
        }
        /^[[:space:]]*$/ { flush(); next }
        /^#/ { next }
        {
            stanza = stanza (stanza == "" ? "" : "\n") $0
            if ($1 == "Types:") { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
            if ($1 == "Enabled:" && tolower($2) == "no") { deb = 0 }
            if ($1 == "Suites:") { for (i = 2; i <= NF; i++) if (index($i, codename) == 1) ours = 1 }
        }
        END { flush() }' "$file" >>"$work/apt/sources/debian-src.sources"
done
# One-line files: "deb [options] URI SUITE COMPONENTS..." for this release's suites.
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $file ]] || continue
    awk -v codename="$codename" '
        $1 == "deb" {
            s = ($2 ~ /^\[/) ? 4 : 3
            if ($2 ~ /^\[/ && $2 !~ /\]$/) { for (s = 3; s <= NF && $(s - 1) !~ /\]$/; s++); s++ }
            if (index($s, codename) == 1) { $1 = "deb-src"; print }
        }' "$file" >>"$work/apt/sources/debian-src.list"
done
if ! grep -qs . "$work/apt/sources/debian-src.sources" "$work/apt/sources/debian-src.list"; then
    echo "windows-sqlite: no Debian $codename sources in /etc/apt to take the source package from" >&2
    exit 1
fi

apt_options=(
    -o "Dir::Etc::SourceList=$work/apt/sources/debian-src.list"
    -o "Dir::Etc::SourceParts=$work/apt/sources"
    -o "Dir::State::Lists=$work/apt/lists"
    -o "Dir::Cache=$work/apt/cache"
)
if [[ $(id -u) -eq 0 ]]; then
    apt_options+=(-o APT::Sandbox::User=root)  # the folder is root's own
fi
echo "== SQLite for Windows: Debian's source package"
apt-get "${apt_options[@]}" -q update >/dev/null
(cd "$work" && apt-get "${apt_options[@]}" -q source --only-source sqlite3 >/dev/null)
source_dir=$(find "$work" -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)

echo "== SQLite $version: the single-file source"
mkdir -p "$work/build"
(cd "$work/build" && "$source_dir/configure" --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
cp "$work/build/sqlite3.c" "$work/build/sqlite3.h" "$out/"
echo "$version" >"$out/VERSION"
rm -rf "$work"
