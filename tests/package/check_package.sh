#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks it: its name,
# each program of the build stripped in /usr/bin with its manual page, the
# window's desktop entry (taking a folder) and icon, the documentation, the
# sample game as in the source, the dependencies that `dpkg-deb --info`
# names, manual pages that render without warnings, and no lintian error.
#
# Usage: check_package.sh BUILD_DIR SOURCE_DIR PROGRAM...
set -euo pipefail
build=$1
source=$2
shift 2
programs=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
has() { [[ " ${programs[*]} " == *" $1 "* ]]; }

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack" >&2
    exit 1
fi
deb=$work/out/vorskal_3.40_$(dpkg --print-architecture).deb
if [[ ! -f $deb ]]; then
    echo "FAIL: no ${deb##*/} among: $(ls "$work/out")" >&2
    exit 1
fi

# The files.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
expected=(/usr/share/doc/vorskal/copyright /usr/share/doc/vorskal/changelog.gz
    /usr/share/doc/vorskal/README.md /usr/share/doc/vorskal/user-guide.md)
for program in "${programs[@]}"; do
    expected+=("/usr/bin/$program" "/usr/share/man/man1/$program.1.gz")
done
if has vorskal; then
    expected+=(/usr/share/applications/vorskal.desktop /usr/share/icons/hicolor/64x64/apps/vorskal.png)
fi
for sample in "$source"/examples/sample-game/*; do
    expected+=("/usr/share/doc/vorskal/sample-game/${sample##*/}")
done
for file in "${expected[@]}"; do
    grep -qx "$file" "$work/files" || fail "missing $file"
done
in_bin=$(grep -c '^/usr/bin/.' "$work/files" || true)
((in_bin == ${#programs[@]})) || fail "$in_bin files in /usr/bin, expected ${programs[*]}"

dpkg-deb -x "$deb" "$work/root"
for sample in "$source"/examples/sample-game/*; do
    cmp -s "$sample" "$work/root/usr/share/doc/vorskal/sample-game/${sample##*/}" ||
        fail "sample-game/${sample##*/} differs from the source"
done
for program in "${programs[@]}"; do
    if readelf -S "$work/root/usr/bin/$program" | grep -qE '\.symtab|\.debug_info'; then
        fail "$program is not stripped"
    fi
done
if has vorskal; then
    grep -qx 'Exec=vorskal %f' "$work/root/usr/share/applications/vorskal.desktop" ||
        fail "the desktop entry does not pass the folder"
fi

# The dependencies.
depends=$(dpkg-deb -f "$deb" Depends)
needed=(libc6 libstdc++6)
has vorskal && needed+=(libqt6widgets6)
has vorskal-league && needed+=(libsqlite3-0)
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for package in "${needed[@]}"; do
    grep -qxF "$package" <<<"$names" || fail "Depends ($depends) lacks $package"
done

# The manual pages render without a warning.
for program in "${programs[@]}"; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/root/usr/share/man/man1/$program.1.gz" \
        >"$work/page" 2>"$work/warnings" || fail "man failed on $program.1"
    [[ ! -s $work/warnings ]] || fail "$program.1: $(cat "$work/warnings")"
    grep -q "^NAME" "$work/page" || fail "$program.1 renders without its NAME section"
done

# No lintian error (warnings and notes are shown, not failed).
if command -v lintian >/dev/null; then
    lintian "$deb" >"$work/lintian" 2>/dev/null || true
    cat "$work/lintian"
    if grep -q '^E:' "$work/lintian"; then
        fail "lintian reports errors"
    fi
else
    echo "lintian not installed: skipped"
fi

if ((failures > 0)); then
    exit 1
fi
echo "${deb##*/}: ${#expected[@]} files checked; Depends: $depends"
