#!/usr/bin/env bash
# The installer as an administrator uses it, in a fresh Wine prefix: a
# silent install (/S) into Program Files, with the Start-menu entries and
# the folder's context-menu entry; the installed window started on a copy of
# the sample game under Xvfb, "Tally Score" clicked with xdotool, its closing
# message dismissed, and the report compared with the golden one (the Linux
# program's, the time line aside); once with every option on, once with the
# four boxes clicked off first. A screenshot of the window and its closing
# message is kept. Then the silent uninstall, and the prefix checked for any
# file or registry key of the program left behind.
#
# Usage: installer_in_wine.sh SETUP_EXE SOURCE_DIR WORK_DIR ARTIFACTS_DIR
set -uo pipefail
setup=$1 source=$2 work=$3 artifacts=$4
# The version, from the one place it is set (the golden reports hold "<VERSION>").
version=$(sed -nE 's/^project\(vorskal VERSION ([0-9.]+) .*/\1/p' "$source/CMakeLists.txt")
for tool in Xvfb xdotool xwd xwdtopnm pnmtopng; do
    command -v "$tool" >/dev/null || { echo "no $tool" >&2; exit 77; }
done
rm -rf "$work"
mkdir -p "$work" "$artifacts"
# No menu entries of the host's desktop for the Start menu (winemenubuilder): they
# would land outside the prefix.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

# A display of its own: Xvfb picks a free number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
cleanup() {
    wineserver --kill 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT

mkdir -p "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
program_files=$WINEPREFIX/drive_c/Program\ Files/VORSKAL
start_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/VORSKAL

echo "== silent install"
wine "$setup" /S
wineserver -w
for file in vorskal.exe vorskal-tally.exe vorskal-league.exe user-guide.html README.md \
    uninstall.exe sample-game/ux7server0.log sample-game/vorskal.ini; do
    [[ -f $program_files/$file ]] || fail "not installed: $file"
done
for entry in "VORSKAL.lnk" "VORSKAL user guide.lnk"; do
    [[ -f $start_menu/$entry ]] || fail "no Start-menu entry $entry"
done
# The folder's context menu runs the installed window on the folder.
grep -q '"Tally this game with VORSKAL"' "$WINEPREFIX/system.reg" || fail "no context-menu entry"
grep -qF '@="\"C:\\Program Files\\VORSKAL\\vorskal.exe\" \"%1\""' "$WINEPREFIX/system.reg" ||
    fail "the context-menu entry does not start the window on the folder"

# `click X Y` in the window named NAME, X and Y in its client area at 96 dpi.
windowOf() { xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
shot() { xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1"; }

# One start of the installed window on a fresh copy of the sample game;
# `boxes` are the client-area points of the boxes to click off first.
tallyInWindow() {
    local name=$1 golden=$2
    shift 2
    local game=$work/$name
    mkdir -p "$game"
    cp "$source"/examples/sample-game/* "$game/"
    wine "C:\\Program Files\\VORSKAL\\vorskal.exe" "Z:${game//\//\\}" >/dev/null 2>&1 &
    local program=$!
    local window
    window=$(timeout 60 bash -c "$(declare -f windowOf); windowOf '^VORSKAL Ver. $version - Z:'")
    if [[ -z $window ]]; then
        fail "$name: the window did not come up"
        kill "$program"
        return
    fi
    while (($# > 0)); do
        click "$window" "$1" "$2"
        shift 2
    done
    # "Tally Score": twips 1440, 1440, 1695 x 615 is 96, 96, 113 x 41 pixels.
    click "$window" 152 116
    local message
    message=$(timeout 60 bash -c "$(declare -f windowOf); windowOf '^VORSKAL$'")
    if [[ -z $message ]]; then
        fail "$name: no closing message"
    else
        sleep 0.5
        shot "$artifacts/windows-window-$name.png"
        xdotool key --window "$message" Return
    fi
    wait "$program"
    local exit=$?
    ((exit == 0)) || fail "$name: the window ended with status $exit"
    sed -E 's/^Current time is [^\r]*/Current time is <TIME>    Current date is <DATE>/' \
        "$game/vorskal.log" >"$work/$name.report"
    sed "s/<VERSION>/$version/" "$source/tests/scenarios/$golden/expect.report" >"$work/$name.expected"
    cmp -s "$work/$name.report" "$work/$name.expected" ||
        fail "$name: the report differs from tests/scenarios/$golden/expect.report"
}
echo "== the installed window, Tally Score clicked"
tallyInWindow options-on sample-game
# The four boxes' indicators: overMaxBox, multiDeathBox, fighterTargetBox,
# redBoxedOnlyBox (6 pixels into each box, at half its height).
tallyInWindow options-off sample-game-options-off 54 180 54 216 54 252 54 296

echo "== silent uninstall"
wine "C:\\Program Files\\VORSKAL\\uninstall.exe" /S
wineserver -w
left=$(find "$WINEPREFIX/drive_c" -iname '*vorskal*' 2>/dev/null)
[[ -z $left ]] || fail "left behind: $left"
if grep -qi 'vorskal' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg"; then
    fail "registry keys left behind: $(grep -i vorskal "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | head -3)"
fi
((status == 0)) && echo "installed, used, uninstalled: nothing left behind"
exit "$status"
