#!/usr/bin/env bash
# Peak memory of the tally on game folders that no input should make it
# choke on, against the limit it keeps whatever the input (LIMIT_MIB, 128):
#   - a numbered log of LINE_SIZE (512M) NUL bytes without a line end (what a
#     server that crashed leaves), the tally alone and with --json --html;
#   - 10,000 numbered logs of one line each under `ulimit -n 1024`.
# Each run's wall and CPU time and peak resident memory are printed; the
# script exits 1 when a run fails or goes over the limit.
#
#   bench/hostile.sh
#   LINE_SIZE=2G bench/hostile.sh
#
# Environment: LINE_SIZE, LIMIT_MIB, TMPDIR (the folder in memory; else
# /dev/shm), VORSKAL_BENCH_BUILD (the Release build folder). The folders are
# removed at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
line_size=${LINE_SIZE:-512M}
limit_mib=${LIMIT_MIB:-128}
if [[ ! -x /usr/bin/time ]]; then
    echo "GNU time is needed at /usr/bin/time (Debian package: time)" >&2
    exit 1
fi
source "$here/build.sh"

work=$(mktemp -d "$memory_root/vorskal-hostile.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# Runs the tally on folder $2 (with the options after it) as case $1, within
# the descriptor limit $descriptors when set; prints its row.
measure() {
    local name=$1 game=$2
    shift 2
    rm -f "$game/ux7server.log" "$work/out.json" "$work/out.html"
    local status=0
    (
        if [[ -n ${descriptors:-} ]]; then ulimit -n "$descriptors"; fi
        /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$tally" "$@" -C "$game" \
            >"$work/out.txt" 2>"$work/err.txt"
    ) || status=$?
    local wall user sys peak
    read -r wall user sys peak <"$work/time.txt"
    local mib verdict=ok
    mib=$(awk -v k="$peak" 'BEGIN {printf "%.1f", k / 1024}')
    if ((status != 0)) || ! grep -qx "Tally Complete" "$work/out.txt"; then
        verdict="FAILED (exit $status: $(head -c 200 "$work/err.txt"))"
        failed=1
    elif awk -v m="$mib" -v l="$limit_mib" 'BEGIN {exit !(m > l)}'; then
        verdict="OVER ${limit_mib} MiB"
        failed=1
    fi
    printf '%-44s %7s s  cpu %6s s  peak %7s MiB  %s\n' "$name" "$wall" \
        "$(awk -v u="$user" -v s="$sys" 'BEGIN {printf "%.2f", u + s}')" "$mib" "$verdict"
}

echo
echo "Load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

line_game=$work/line
mkdir "$line_game"
cp "$source_dir"/examples/sample-game/ux7server0.log "$source_dir"/examples/sample-game/vorskal.ini \
    "$line_game"/
head -c "$line_size" /dev/zero >"$line_game/ux7server1.log"
measure "a $line_size log without a line end" "$line_game"
measure "the same with --json --html" "$line_game" --json "$work/out.json" --html "$work/out.html"

many_game=$work/many
mkdir "$many_game"
cp "$source_dir"/examples/sample-game/vorskal.ini "$many_game"/
for ((n = 0; n < 10000; n++)); do
    printf '12/06/26 20:00:00 line %d\r\n' "$n" >"$many_game/ux7server$n.log"
done
descriptors=1024 measure "10,000 logs under ulimit -n 1024" "$many_game"

echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$failed"
