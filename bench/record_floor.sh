#!/usr/bin/env bash
# The least CPU time SQLite itself needs to write one game's rows into a
# league file, against what every output together may cost over the plain
# tally and the fingerprint. For a generated game of each SIZE it records the
# game with `vorskal-tally --record` into a new league file, then copies every
# row of that file into another new file made from the very same schema (the
# same tables, keys and indexes, in WAL, checks not evaluated, as the recorder
# writes), with `sqlite3` and `INSERT ... SELECT ... WHERE 1`, which makes
# SQLite insert row by row as the recorder does but leaves out everything the
# recorder does before SQLite: no row is built, bound or parsed. That copy is
# a floor no recorder of this league file can go under. It prints the median
# CPU time of RUNS copies, of the plain tally and of the fingerprint alone,
# and the room the goal leaves for all four outputs: 0.5 x the plain tally.
#
#   bench/record_floor.sh                  # 100M and 1G
#   SIZES=1G RUNS=5 bench/record_floor.sh
#
# Environment: SIZES ("100M 1G"), RUNS (3), SEED (7), PIECES (12), TMPDIR (the
# folder in memory), VORSKAL_BENCH_BUILD (the Release build folder).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sizes=${SIZES:-"100M 1G"}
runs=${RUNS:-3}
seed=${SEED:-7}
pieces=${PIECES:-12}
if ! command -v sqlite3 >/dev/null; then
    echo "the sqlite3 program is needed (Debian package: sqlite3)" >&2
    exit 1
fi

source "$here/build.sh"

work=$(mktemp -d "$memory_root/vorskal-floor.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# Runs a command and prints its CPU time (user + system) in seconds.
cpu_of() {
    local TIMEFORMAT='%3U %3S'
    { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{printf "%.3f", $1 + $2}'
}
median() {
    printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {printf "%.3f", v[int((NR + 1) / 2)]}'
}

echo "Load average at the start: $(cut -d' ' -f1-3 /proc/loadavg); sqlite3 $(sqlite3 --version | cut -d' ' -f1)"
printf '%-5s | %8s %8s %8s | %10s %10s\n' size tally hash floor "room" "floor/room"
for size in $sizes; do
    game=$work/$size
    "$gen" --quiet --seed "$seed" --size "$size" --pieces "$pieces" "$game"
    "$tally" -C "$game" --record "$work/league.db" >/dev/null
    cat "$game"/ux7server[0-9]*.log >"$work/merged.log"
    tables=$(sqlite3 "$work/league.db" "SELECT name FROM sqlite_master WHERE type = 'table'")
    {
        echo "PRAGMA ignore_check_constraints = ON;"
        echo "ATTACH '$work/league.db' AS recorded;"
        echo "BEGIN;"
        for table in $tables; do
            echo "INSERT INTO main.\"$table\" SELECT * FROM recorded.\"$table\" WHERE 1;"
        done
        echo "COMMIT;"
    } >"$work/copy.sql"
    tallies=() hashes=() floors=()
    for ((run = 1; run <= runs; run++)); do
        rm -f "$game/ux7server.log"
        : >"$game/vorskal.log"
        tallies+=("$(cpu_of "$tally" -C "$game")")
        hashes+=("$(cpu_of "$hash_floor" "$work/merged.log")")
        rm -f "$work/copy.db" "$work/copy.db-wal" "$work/copy.db-shm"
        sqlite3 "$work/league.db" .schema | sqlite3 "$work/copy.db"
        sqlite3 "$work/copy.db" "PRAGMA journal_mode = WAL" >/dev/null
        floors+=("$(cpu_of sqlite3 "$work/copy.db" ".read $work/copy.sql")")
    done
    t=$(median "${tallies[@]}") h=$(median "${hashes[@]}") f=$(median "${floors[@]}")
    room=$(awk -v t="$t" 'BEGIN {printf "%.3f", 0.5 * t}')
    printf '%-5s | %8s %8s %8s | %10s %10s\n' "$size" "$t" "$h" "$f" "$room" \
        "$(awk -v f="$f" -v r="$room" 'BEGIN {printf "%.2f", f / r}')"
    rm -rf "$game" "$work/league.db" "$work/league.db-wal" "$work/league.db-shm" "$work/merged.log"
done
echo "CPU seconds, medians of $runs runs. room: what the goal leaves every output over the plain"
echo "tally and the hash (0.5 x tally); floor: SQLite alone writing the recorded game's rows."
