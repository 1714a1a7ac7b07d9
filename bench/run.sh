#!/usr/bin/env bash
# Times the tally against the floor of its work and the cost of each output:
# for generated games of about 10 MB, 100 MB and 1 GB, in the same runs
# taking turns, `cat` of the numbered logs (in number order) into one file,
# the SHA-256 of that file alone with the fingerprint's library (the floor
# of every output's cost), the plain `vorskal-tally -C DIR`, the tally with
# each output alone (`--json`, `--csv`, `--html`, `--record` into a new
# league file) and with all four together. For each it prints the median wall time, user and
# system CPU time of RUNS runs (9 by default), the ratios to the plain
# tally's wall and CPU time (user + system), and the peak resident memory
# of one more run of its own under GNU time. Below each game's rows, the
# goals: all four within 1.5 x the plain tally's CPU plus the hash's, and 2 x
# its wall time; the plain tally within 1.3 x `cat`'s wall and 2 x its CPU.
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
disk_root=${DISK_DIR-/var/tmp}
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
source "$here/build.sh"

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

# One row per run kind and size: wall, user, system and user + system ("cpu")
# seconds, the ratios to the plain tally's wall and CPU time, peak memory.
row() { printf '%-5s %-8s | %7s %6s %6s %6s | %6s %6s | %8s' "$@"; }
header=$(row size run "wall s" user sys cpu wall/t cpu/t "peak MiB")
# The runs, in the order they take turns: `cat`, the plain tally, each
# output alone, then all of them together.
kinds=(cat hash tally json csv html record all)
# Where each size's tally wall time of the first table is kept (for the growth line).
declare -A first_table_wall

# Runs one kind on the game in $game (outputs under $scratch/out); with a
# first argument "peak", under GNU time for the peak memory instead.
run_kind() {
    local how=$1 kind=$2 out=$scratch/out
    rm -rf "$game/ux7server.log" "$out" "$scratch/league.db"
    mkdir -p "$out/csv"
    : >"$game/vorskal.log"
    local -a command
    case $kind in
        cat) command=(cat "${pieces_in_order[@]}") ;;
        hash) command=("$hash_floor" "$game/merged.cat") ;;
        tally) command=("$tally" -C "$game") ;;
        json) command=("$tally" --json "$out/results.json" -C "$game") ;;
        csv) command=("$tally" --csv "$out/csv" -C "$game") ;;
        html) command=("$tally" --html "$out/game.html" -C "$game") ;;
        record) command=("$tally" --record "$scratch/league.db" -C "$game") ;;
        all) command=("$tally" --json "$out/results.json" --csv "$out/csv" --html "$out/game.html"
            --record "$scratch/league.db" -C "$game") ;;
    esac
    local to=$scratch/out.txt
    [[ $kind == cat ]] && to=$game/merged.cat
    sync
    if [[ $how == peak ]]; then
        /usr/bin/time -f %M -o "$scratch/peak.txt" "${command[@]}" >"$to" 2>"$scratch/err.txt"
    else
        timed "$to" "${command[@]}"
    fi
}

# The goals' lines for one game, from its medians: size, all four's CPU and
# wall, the plain tally's CPU and wall, the hash's CPU, `cat`'s CPU and wall.
goals() {
    local budget
    budget=$(awk -v t="$4" -v h="$6" 'BEGIN {printf "%.3f", 1.5 * t + h}')
    rows+=("$(printf '%-5s goal: all four cpu %s <= 1.5 x tally + hash = %s (%s); wall %s x tally (<= 2)' \
        "$1" "$2" "$budget" "$(awk -v a="$2" -v b="$budget" 'BEGIN {print (a <= b) ? "met" : "not met"}')" \
        "$(ratio "$3" "$5")")")
    rows+=("$(printf '%-5s goal: tally wall %s x cat (<= 1.3), cpu %s x cat (<= 2)' \
        "$1" "$(ratio "$5" "$8")" "$(ratio "$4" "$7")")")
}

# Times one game (in folder $1, size $2) and appends its rows to `rows`.
time_game() {
    local size=$2 first=$3 log_bytes n=0 run kind status w u s
    game=$1
    pieces_in_order=()
    declare -A wall=() user=() sys=() cpu=() peak=()
    log_bytes=$(stat -c %s "$game"/ux7server*.log | awk '{s += $1} END {print s}')
    # The numbered logs in number order: 0, 1, ..., 9, 10, 11 (not glob order).
    while [[ -e $game/ux7server$n.log ]]; do
        pieces_in_order+=("$game/ux7server$n.log")
        n=$((n + 1))
    done
    for ((run = 1; run <= runs; run++)); do
        local said="   run $run:"
        for kind in "${kinds[@]}"; do
            status=0
            run_kind time "$kind" || status=$?
            if ((status != 0)) || { [[ $kind != cat && $kind != hash ]] && ! grep -qx "Tally Complete" "$scratch/out.txt"; }; then
                echo "   $kind FAILED (exit $status: $(head -c 300 "$scratch/err.txt"))" >&2
                rows+=("$(printf '%-5s %-8s | %7s' "$size" "$kind" FAILED)")
                return
            fi
            read -r w u s <"$scratch/time.txt"
            wall[$kind]+=" $w" user[$kind]+=" $u" sys[$kind]+=" $s" cpu[$kind]+=" $(sum "$u" "$s")"
            said+=" $kind $w s"
        done
        echo "$said"
        if ((run == 1)); then
            if cmp -s "$game/ux7server.log" "$game/merged.cat"; then
                echo "   merged log equals the cat; report $(wc -l <"$game/vorskal.log") lines"
            else
                echo "   MERGED LOG DIFFERS FROM THE CAT" >&2
            fi
        fi
    done
    # Peak memory from one more run of each kind, so that no run above is timed with GNU time.
    for kind in "${kinds[@]}"; do
        run_kind peak "$kind" || true
        peak[$kind]=$(awk '{printf "%.1f", $1 / 1024}' "$scratch/peak.txt")
    done
    local tally_wall tally_cpu mw mc
    # shellcheck disable=SC2086 # the lists are words
    tally_wall=$(median ${wall[tally]}) tally_cpu=$(median ${cpu[tally]})
    rows+=("$(printf '%-5s log bytes %s' "$size" "$log_bytes")")
    for kind in "${kinds[@]}"; do
        # shellcheck disable=SC2086
        mw=$(median ${wall[$kind]}) mc=$(median ${cpu[$kind]})
        # shellcheck disable=SC2086
        rows+=("$(row "$size" "$kind" "$mw" "$(median ${user[$kind]})" "$(median ${sys[$kind]})" \
            "$mc" "$(ratio "$mw" "$tally_wall")" "$(ratio "$mc" "$tally_cpu")" "${peak[$kind]}")")
    done
    goals "$size" "$(median ${cpu[all]})" "$(median ${wall[all]})" "$tally_cpu" "$tally_wall" \
        "$(median ${cpu[hash]})" "$(median ${cpu[cat]})" "$(median ${wall[cat]})"
    if [[ $first == yes ]]; then
        first_table_wall[$size]=$tally_wall
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
echo "Times in seconds, medians of $runs runs; cpu is user + system; ratios are to the plain tally"
for table in "${tables[@]}"; do
    echo
    echo "$table"
done
if [[ -n ${first_table_wall[100M]:-} && -n ${first_table_wall[1G]:-} ]]; then
    echo
    echo "Tally wall time, 1G / 100M (first table): $(ratio "${first_table_wall[1G]}" "${first_table_wall[100M]}")"
fi
