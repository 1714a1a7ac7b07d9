#!/usr/bin/env bash
# Times the tally against the floor of its work: for generated games of about
# 10 MB, 100 MB and 1 GB, the wall time of `vorskal-tally -C DIR` next to the
# wall time of `cat` of the same numbered logs (in number order) into one
# file, their ratio, and the tally's peak resident memory; then the same tally
# with `--json` (its time, its ratio to the plain tally, its peak memory).
# Each figure is the median of RUNS runs (5 by default); cat, tally and tally
# --json take turns within a run.
#
#   bench/run.sh                     # 10M 100M 1G
#   SIZES="10M 100M" bench/run.sh    # only these sizes
#
# Environment: SIZES, RUNS (5), SEED (7), PIECES (12 numbered logs per game),
# VORSKAL_BENCH_BUILD (the Release build folder; default under $TMPDIR or
# /tmp), TMPDIR (where the games are made; they are removed at the end).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/.." && pwd)
tmp_root=${TMPDIR:-/tmp}
build_dir=${VORSKAL_BENCH_BUILD:-$tmp_root/vorskal-bench-build}
sizes=${SIZES:-"10M 100M 1G"}
runs=${RUNS:-5}
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
work=$(mktemp -d "$tmp_root/vorskal-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
echo
echo "Machine: $(nproc) CPUs, ${cpu:-unknown CPU}, $(awk -v k="$mem_kib" 'BEGIN {printf "%.1f GiB", k / 1048576}') memory"
echo "System:  $(uname -sr), $(c++ --version | head -n 1)"
echo "Games in $work ($(df -PT "$work" | awk 'NR == 2 {print $2}') file system)"
echo "Seed $seed, $pieces numbered logs per game, median of $runs runs"
echo "Load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine skews the times)"
echo

now() { date +%s%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", (b - a) / 1e9}'; }
median() {
    printf '%s\n' "$@" | sort -g |
        awk '{v[NR] = $1} END {if (NR % 2) printf "%.3f", v[(NR + 1) / 2];
                               else printf "%.3f", (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

rows=()
for size in $sizes; do
    game=$work/game-$size
    mkdir -p "$game"
    echo "== $size: generating"
    "$gen" --seed "$seed" --size "$size" --pieces "$pieces" "$game" | sed 's/^/   /'
    log_bytes=$(stat -c %s "$game"/ux7server*.log | awk '{s += $1} END {print s}')
    avail=$(df -PB1 "$work" | awk 'NR == 2 {print $4}')
    if ((avail < 3 * log_bytes)); then
        echo "   skipped: $avail bytes free, the runs need about $((3 * log_bytes))" >&2
        rows+=("$(printf '%-6s %12s %9s %9s %7s %10s %9s %7s %10s' "$size" "$log_bytes" "-" "-" "-" "-" "-" "-" "-")")
        rm -rf "$game"
        continue
    fi
    # The numbered logs in number order: 0, 1, ..., 9, 10, 11 (not glob order).
    pieces_in_order=()
    n=0
    while [[ -e $game/ux7server$n.log ]]; do
        pieces_in_order+=("$game/ux7server$n.log")
        n=$((n + 1))
    done

    tally_times=()
    cat_times=()
    json_times=()
    peak_kib=0
    json_peak_kib=0
    failed=""
    for ((run = 1; run <= runs; run++)); do
        rm -f "$game/merged.cat"
        sync
        t0=$(now)
        cat "${pieces_in_order[@]}" >"$game/merged.cat"
        t1=$(now)
        cat_times+=("$(seconds "$t0" "$t1")")

        rm -f "$game/ux7server.log"
        : >"$game/vorskal.log"
        sync
        status=0
        t0=$(now)
        /usr/bin/time -v -o "$work/time.txt" "$tally" -C "$game" >"$work/out.txt" \
            2>"$work/err.txt" || status=$?
        t1=$(now)
        if ((status != 0)) || ! grep -qx "Tally Complete" "$work/out.txt"; then
            failed="exit $status: $(head -c 300 "$work/err.txt")"
            break
        fi
        tally_times+=("$(seconds "$t0" "$t1")")
        rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
        ((rss > peak_kib)) && peak_kib=$rss

        rm -f "$game/ux7server.log" "$work/results.json"
        : >"$game/vorskal.log"
        sync
        status=0
        t0=$(now)
        /usr/bin/time -v -o "$work/time.txt" "$tally" --json "$work/results.json" -C "$game" \
            >"$work/out.txt" 2>"$work/err.txt" || status=$?
        t1=$(now)
        if ((status != 0)) || [[ ! -s $work/results.json ]]; then
            failed="--json: exit $status: $(head -c 300 "$work/err.txt")"
            break
        fi
        json_times+=("$(seconds "$t0" "$t1")")
        json_rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
        ((json_rss > json_peak_kib)) && json_peak_kib=$json_rss
        echo "   run $run: tally ${tally_times[-1]} s, cat ${cat_times[-1]} s, peak ${rss} KiB;" \
            "--json ${json_times[-1]} s, peak ${json_rss} KiB"
    done
    if [[ -n $failed ]]; then
        echo "   TALLY FAILED ($failed)" >&2
        rows+=("$(printf '%-6s %12s %9s %9s %7s %10s %9s %7s %10s' "$size" "$log_bytes" "FAILED" "-" "-" "-" "-" "-" "-")")
        rm -rf "$game"
        continue
    fi
    if cmp -s "$game/ux7server.log" "$game/merged.cat"; then
        same="merged log equals the cat"
    else
        same="MERGED LOG DIFFERS FROM THE CAT"
    fi
    echo "   $same; report $(wc -l <"$game/vorskal.log") lines"
    tally_median=$(median "${tally_times[@]}")
    cat_median=$(median "${cat_times[@]}")
    ratio=$(awk -v t="$tally_median" -v c="$cat_median" 'BEGIN {if (c > 0) printf "%.2f", t / c; else print "-"}')
    peak_mib=$(awk -v k="$peak_kib" 'BEGIN {printf "%.1f", k / 1024}')
    json_median=$(median "${json_times[@]}")
    json_ratio=$(awk -v j="$json_median" -v t="$tally_median" 'BEGIN {if (t > 0) printf "%.2f", j / t; else print "-"}')
    json_peak_mib=$(awk -v k="$json_peak_kib" 'BEGIN {printf "%.1f", k / 1024}')
    rows+=("$(printf '%-6s %12s %9s %9s %7s %10s %9s %7s %10s' "$size" "$log_bytes" "$tally_median" "$cat_median" "$ratio" "$peak_mib" "$json_median" "$json_ratio" "$json_peak_mib")")
    rm -rf "$game"
done

echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %12s %9s %9s %7s %10s %9s %7s %10s\n' "size" "log bytes" "tally s" "cat s" "ratio" "peak MiB" \
    "json s" "json/t" "json MiB"
for row in "${rows[@]}"; do
    echo "$row"
done
