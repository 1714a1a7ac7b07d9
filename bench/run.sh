#!/usr/bin/env bash
# Times the tally against the floor of its work: for generated games of about
# 10 MB, 100 MB and 1 GB, `vorskal-tally -C DIR` next to `cat` of the same
# numbered logs (in number order) into one file. For each side it prints the
# wall time and the user and system CPU time, then the ratios tally / cat of
# the wall times and of the CPU times (user + system), and the tally's peak
# resident memory; then the same tally with `--json` (its wall time, its
# ratio to the plain tally, its peak memory). Each time is the median of
# RUNS runs (9 by default); cat, tally and tally --json take turns within a run.
#
# The first table is measured on a folder in memory (/dev/shm, or TMPDIR when
# set), where the disk's write-back cannot hide or inflate the work; a second
# table on a folder on the disk (DISK_DIR, /var/tmp by default) is kept for
# reference.
#
#   bench/run.sh                     # 10M 100M 1G, memory and disk folders
#   SIZES="100M 1G" bench/run.sh     # only these sizes
#   DISK_DIR= bench/run.sh           # only the folder in memory
#
# Environment: SIZES, RUNS (9), SEED (7), PIECES (12 numbered logs per game),
# TMPDIR (the folder in memory), DISK_DIR (the folder on the disk; empty:
# none), VORSKAL_BENCH_BUILD (the Release build folder; default under the
# folder in memory). The games are removed at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/.." && pwd)
if [[ -n ${TMPDIR:-} ]]; then
    memory_root=$TMPDIR
elif [[ -d /dev/shm && -w /dev/shm ]]; then
    memory_root=/dev/shm
else
    memory_root=/tmp
fi
disk_root=${DISK_DIR-/var/tmp}
build_dir=${VORSKAL_BENCH_BUILD:-$memory_root/vorskal-bench-build}
sizes=${SIZES:-"10M 100M 1G"}
runs=${RUNS:-9}
seed=${SEED:-7}
pieces=${PIECES:-12}

if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
    echo "RUNS must be a positive number" >&2
    exit 64
fi
if [[ ! -x /usr/bin/time ]]; then
    echo "GNU time is needed at /usr/bin/time (Debian package: time)" >&2
    exit 1
fi

# --- build -------------------------------------------------------------------
echo "Building Release in $build_dir ..."
if [[ -f $build_dir/CMakeCache.txt ]]; then
    # A build folder of the user's: keep its settings, but say when it is no Release build.
    build_type=$(awk -F= '/^CMAKE_BUILD_TYPE:/ {print $2}' "$build_dir/CMakeCache.txt")
    if [[ $build_type != Release ]]; then
        echo "warning: $build_dir is a '${build_type:-default}' build, not Release" >&2
    fi
else
    configure=(-S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release
        -DVORSKAL_WINDOW=OFF -DVORSKAL_TESTS=OFF)
    if command -v ninja >/dev/null; then
        configure+=(-G Ninja)
    fi
    cmake "${configure[@]}" >/dev/null
fi
cmake --build "$build_dir" --target vorskal-tally vorskal-gen >/dev/null
tally=$build_dir/app/vorskal-tally
gen=$build_dir/tools/vorskal-gen

# --- machine -----------------------------------------------------------------
cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
mem_kib=$(awk '/^MemTotal:/ {print $2}' /proc/meminfo)
folders=("$memory_root")
if [[ -n $disk_root ]]; then
    folders+=("$disk_root")
fi
works=()
cleanup() { ((${#works[@]} == 0)) || rm -rf "${works[@]}"; }
trap cleanup EXIT
trap 'exit 130' INT TERM
for root in "${folders[@]}"; do
    works+=("$(mktemp -d "$root/vorskal-bench.XXXXXX")")
done
source_games=${works[0]}
echo
echo "Machine: $(nproc) CPUs, ${cpu:-unknown CPU}, $(awk -v k="$mem_kib" 'BEGIN {printf "%.1f GiB", k / 1048576}') memory"
echo "System:  $(uname -sr), $(c++ --version | head -n 1)"
echo "Seed $seed, $pieces numbered logs per game, median of $runs runs"
echo "Load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine skews the times)"

# Runs a command with standard output to $1 (a file) and leaves "wall user
# system" in seconds in $scratch/time.txt (bash's own timing: milliseconds,
# the command's children included). Returns the command's exit status.
timed() {
    local out=$1
    shift
    local TIMEFORMAT='%3R %3U %3S'
    { time "$@" >"$out" 2>"$scratch/err.txt"; } 2>"$scratch/time.txt"
}
median() {
    printf '%s\n' "$@" | sort -g |
        awk '{v[NR] = $1} END {if (NR % 2) printf "%.3f", v[(NR + 1) / 2];
                               else printf "%.3f", (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
sum() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a + b}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "-"}'; }

# Each side: wall, user, system, and user + system ("cpu") of the same runs.
row() { printf '%-5s %13s | %7s %6s %6s %6s | %7s %6s %6s %6s | %5s %5s | %8s | %6s %6s %8s' "$@"; }
header=$(row size "log bytes" "tally s" user sys cpu "cat s" user sys cpu \
    wall cpu "peak MiB" "json s" json/t "json MiB")
# Where each size's tally wall time of the first table is kept (for the growth line).
declare -A first_table_wall

# Times one game (in folder $1, size $2) and appends its row to `rows`.
time_game() {
    local game=$1 size=$2 first=$3
    local log_bytes pieces_in_order=() n=0 run status
    local -a tw=() tu=() ts=() tc=() cw=() cu=() cs=() cc=() jw=()
    log_bytes=$(stat -c %s "$game"/ux7server*.log | awk '{s += $1} END {print s}')
    # The numbered logs in number order: 0, 1, ..., 9, 10, 11 (not glob order).
    while [[ -e $game/ux7server$n.log ]]; do
        pieces_in_order+=("$game/ux7server$n.log")
        n=$((n + 1))
    done
    for ((run = 1; run <= runs; run++)); do
        rm -f "$game/merged.cat"
        sync
        timed "$game/merged.cat" cat "${pieces_in_order[@]}"
        read -r w u s <"$scratch/time.txt"
        cw+=("$w") cu+=("$u") cs+=("$s") cc+=("$(sum "$u" "$s")")

        rm -f "$game/ux7server.log"
        : >"$game/vorskal.log"
        sync
        status=0
        timed "$scratch/out.txt" "$tally" -C "$game" || status=$?
        read -r w u s <"$scratch/time.txt"
        if ((status != 0)) || ! grep -qx "Tally Complete" "$scratch/out.txt"; then
            echo "   TALLY FAILED (exit $status: $(head -c 300 "$scratch/err.txt"))" >&2
            rows+=("$(printf '%-5s %13s | %7s' "$size" "$log_bytes" FAILED)")
            return
        fi
        tw+=("$w") tu+=("$u") ts+=("$s") tc+=("$(sum "$u" "$s")")

        rm -f "$game/ux7server.log" "$scratch/results.json"
        : >"$game/vorskal.log"
        sync
        status=0
        timed "$scratch/out.txt" "$tally" --json "$scratch/results.json" -C "$game" || status=$?
        if ((status != 0)) || [[ ! -s $scratch/results.json ]]; then
            echo "   TALLY --json FAILED (exit $status: $(head -c 300 "$scratch/err.txt"))" >&2
            rows+=("$(printf '%-5s %13s | %7s' "$size" "$log_bytes" FAILED)")
            return
        fi
        read -r w u s <"$scratch/time.txt"
        jw+=("$w")
        echo "   run $run: tally ${tw[-1]} s (user ${tu[-1]}, sys ${ts[-1]})," \
            "cat ${cw[-1]} s (user ${cu[-1]}, sys ${cs[-1]}), --json ${jw[-1]} s"
    done
    if cmp -s "$game/ux7server.log" "$game/merged.cat"; then
        echo "   merged log equals the cat; report $(wc -l <"$game/vorskal.log") lines"
    else
        echo "   MERGED LOG DIFFERS FROM THE CAT" >&2
    fi
    # Peak memory from one more run of its own, so that no run above is timed with GNU time.
    rm -f "$game/ux7server.log"
    /usr/bin/time -f %M -o "$scratch/peak.txt" "$tally" -C "$game" >/dev/null 2>&1 || true
    local peak_mib json_mib
    peak_mib=$(awk '{printf "%.1f", $1 / 1024}' "$scratch/peak.txt")
    rm -f "$game/ux7server.log"
    /usr/bin/time -f %M -o "$scratch/peak.txt" "$tally" --json "$scratch/results.json" \
        -C "$game" >/dev/null 2>&1 || true
    json_mib=$(awk '{printf "%.1f", $1 / 1024}' "$scratch/peak.txt")
    local mjw
    mjw=$(median "${jw[@]}")
    local mtw mtu mts mtc mcw mcu mcs mcc
    mtw=$(median "${tw[@]}") mtu=$(median "${tu[@]}") mts=$(median "${ts[@]}") mtc=$(median "${tc[@]}")
    mcw=$(median "${cw[@]}") mcu=$(median "${cu[@]}") mcs=$(median "${cs[@]}") mcc=$(median "${cc[@]}")
    rows+=("$(row "$size" "$log_bytes" "$mtw" "$mtu" "$mts" "$mtc" \
        "$mcw" "$mcu" "$mcs" "$mcc" "$(ratio "$mtw" "$mcw")" "$(ratio "$mtc" "$mcc")" "$peak_mib" \
        "$mjw" "$(ratio "$mjw" "$mtw")" "$json_mib")")
    if [[ $first == yes ]]; then
        first_table_wall[$size]=$mtw
    fi
}

tables=()
for index in "${!folders[@]}"; do
    work=${works[$index]}
    scratch=$work
    rows=()
    echo
    echo "== Folder $work ($(df -PT "$work" | awk 'NR == 2 {print $2}') file system)"
    for size in $sizes; do
        game=$work/game-$size
        source_game=$source_games/game-$size
        if ((index == 0)); then
            mkdir -p "$game"
            echo "== $size: generating"
            "$gen" --seed "$seed" --size "$size" --pieces "$pieces" "$game" | sed 's/^/   /'
        else
            [[ -d $source_game ]] || continue
            echo "== $size: copying the game"
            mkdir -p "$game"
            cp "$source_game"/ux7server[0-9]*.log "$source_game"/vorskal.ini "$game"/
        fi
        bytes=$(du -sb "$game" | cut -f1)
        avail=$(df -PB1 "$work" | awk 'NR == 2 {print $4}')
        if ((avail < 2 * bytes)); then
            echo "   skipped: $avail bytes free, the runs need about $((2 * bytes))" >&2
            continue
        fi
        time_game "$game" "$size" "$([[ $index == 0 ]] && echo yes || echo no)"
        # The first folder's games are the source of the others': keep only the numbered logs.
        rm -f "$game/ux7server.log" "$game/merged.cat"
        if ((index > 0)); then
            rm -rf "$game"
        fi
    done
    tables+=("$(printf '%s\n' "Folder $work" "$header" "${rows[@]}")")
done

echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Times in seconds, medians of $runs runs; cpu is user + system; ratios are tally / cat"
for table in "${tables[@]}"; do
    echo
    echo "$table"
done
if [[ -n ${first_table_wall[100M]:-} && -n ${first_table_wall[1G]:-} ]]; then
    echo
    echo "Tally wall time, 1G / 100M (first table): $(ratio "${first_table_wall[1G]}" "${first_table_wall[100M]}")"
fi
