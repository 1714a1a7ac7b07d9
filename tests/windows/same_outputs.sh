#!/usr/bin/env bash
# The Windows programs, run under Wine, give the same outputs as the Linux
# programs on the sample game: the merged log, the report, --json, --csv,
# --html, --check, and the league file written by --record and by import,
# read back in every listing format by both programs. Masked: the moments
# (the report's time line, the JSON's and the page's tally time, the
# league's recording time) and what follows from them (the report's
# SHA-256). Standard output and error are compared without their CRs
# (Windows ends a console line in CR LF); files byte for byte.
# The Windows game lives in a folder and the league in a file whose names
# are not ASCII. Then two recorders at once into one league file, on
# Windows: both land.
#
# Usage: same_outputs.sh LINUX_BIN_DIR WINDOWS_BIN_DIR SOURCE_DIR WORK_DIR
# (WINDOWS_BIN_DIR's .exe are started with $VORSKAL_WINE, default wine)
set -uo pipefail
linux=$1 windows=$2 source=$3 work=$4
wine=${VORSKAL_WINE:-wine}
if [[ ! -x $linux/vorskal-tally || ! -x $linux/vorskal-league ]]; then
    echo "no Linux programs in $linux to compare with" >&2
    exit 77
fi
rm -rf "$work"
mkdir -p "$work"
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}
# The report's time line is in the system's own time and date formats
# ("12:32:07 PM", "12/7/2026" under Wine), so the report's SHA-256 and, for
# an imported game, its report file's size and key differ by system.
maskKeys=
mask() {
    sed -E -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}(Z|[+-][0-9]{2}:[0-9]{2})/<TIME>/g' \
        -e 's/^Current time is [^\r]*/Current time is <TIME>/' \
        -e 's/("reportSha256": ?")[0-9a-f]{64}/\1<SHA>/' \
        -e 's/("report":\{"key":"[0-9a-f]{64}","sha256":")[0-9a-f]{64}/\1<SHA>/' \
        ${maskKeys:+-e 's/\b[0-9a-f]{12}([0-9a-f]{52})?\b/<KEY>/g'} \
        ${maskKeys:+-e 's/("bytes": ?)[0-9]+/\1<BYTES>/'} "$1"
}
same() {  # same WHAT LINUX_FILE WINDOWS_FILE: byte for byte after the masks
    if ! cmp -s <(mask "$2") <(mask "$3"); then
        fail "$1 differs"
        diff <(mask "$2") <(mask "$3") | head -6 >&2
    fi
}
sameText() {  # the same, CRs aside (console output)
    if ! cmp -s <(mask "$2" | tr -d '\r') <(mask "$3" | tr -d '\r'); then
        fail "$1 differs"
        diff <(mask "$2" | tr -d '\r') <(mask "$3" | tr -d '\r') | head -6 >&2
    fi
}
onLinux() { (cd "$1" && shift && "$linux/$@"); }
onWindows() { (cd "$1" && shift && program=$1 && shift && "$wine" "$windows/$program.exe" "$@"); }

L=$work/linux
W=$work/Spiel-Überprüfung  # not ASCII: every path must go through wide calls
league=saison-été.db
mkdir -p "$L" "$W"
cp "$source"/examples/sample-game/* "$L/"
cp "$source"/examples/sample-game/* "$W/"

# One run with every output, then a check.
for side in L W; do
    dir=${!side}
    run=onLinux
    [[ $side == W ]] && run=onWindows
    $run "$dir" vorskal-tally --json results.json --csv csv --html game.html --record "$league" \
        >"$dir.out" 2>"$dir.err"
    echo $? >"$dir.status"
    $run "$dir" vorskal-tally --check >"$dir.check.out" 2>"$dir.check.err"
    echo $? >"$dir.check.status"
done
same "exit status" "$L.status" "$W.status"
sameText "standard output" "$L.out" "$W.out"
sameText "standard error" "$L.err" "$W.err"
same "--check's exit status" "$L.check.status" "$W.check.status"
sameText "--check's output" "$L.check.out" "$W.check.out"
sameText "--check's error output" "$L.check.err" "$W.check.err"
for file in ux7server.log vorskal.log results.json game.html; do
    same "$file" "$L/$file" "$W/$file"
done
for csv in "$L"/csv/*.csv; do
    same "csv/${csv##*/}" "$csv" "$W/csv/${csv##*/}"
done
[[ $(ls "$L/csv" | wc -l) -eq 7 ]] || fail "not the seven CSV files"

# The report file imported into a second league, then every listing by
# both programs, of both programs' league files.
onLinux "$L" vorskal-league imported.db import vorskal.log >/dev/null 2>&1 || fail "import on Linux"
onWindows "$W" vorskal-league imported.db import vorskal.log >/dev/null 2>&1 || fail "import on Windows"
for file in "$league" imported.db; do
    [[ $file == imported.db ]] && maskKeys=yes
    for listing in standings games "show 1" "pilot Snoopy" matchups; do
        for format in text csv json html; do
            name="$file $listing --format $format"
            # shellcheck disable=SC2086
            onLinux "$L" vorskal-league "$file" $listing --format "$format" >"$work/a" 2>&1
            # shellcheck disable=SC2086
            onWindows "$W" vorskal-league "$file" $listing --format "$format" >"$work/b" 2>&1
            sameText "$name" "$work/a" "$work/b"
            # Each league file read by the other system's program.
            # shellcheck disable=SC2086
            onLinux "$W" vorskal-league "$file" $listing --format "$format" >"$work/c" 2>&1
            sameText "$name, Windows's file read on Linux" "$work/a" "$work/c"
        done
    done
done

# Two recorders at once on Windows, of two games: the second's chatter
# differs inside its logs (other logs from their second numbered log on, so
# neither is an early tally of the other) and it is tallied with
# --all-targets (another report), so it is another game. Both land.
for n in 1 2; do
    mkdir -p "$work/together$n"
    cp "$source"/examples/sample-game/* "$work/together$n/"
done
sed -i 's/traffic in Lugo/traffic in Forli/' "$work/together2/ux7server1.log"
cmp -s "$work/together1/ux7server1.log" "$work/together2/ux7server1.log" &&
    fail "two recorders at once: the second game's logs are not other logs"
onWindows "$work/together1" vorskal-tally --record ../together.db >/dev/null 2>&1 &
first=$!
onWindows "$work/together2" vorskal-tally --all-targets --record ../together.db >/dev/null 2>&1 &
second=$!
wait "$first" || fail "the first of two recorders at once"
wait "$second" || fail "the second of two recorders at once"
games=$(onLinux "$work" vorskal-league together.db games --format csv | tail -n +2 | wc -l)
[[ $games -eq 2 ]] || fail "two recorders at once: $games games recorded, not 2"

if ((status == 0)); then
    echo "the Windows programs' outputs are the Linux ones"
fi
exit "$status"
