#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (FUZZ_SECONDS, 60 by default) from the checked-in seed corpus. New inputs
# go to a temporary folder; a crash leaves its input in build-fuzz/ and
# fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORSKAL_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORSKAL_FUZZ=ON \
    -DVORSKAL_TESTS=OFF -DVORSKAL_WINDOW=OFF -DVORSKAL_WERROR=ON >/dev/null
cmake --build "$build" --target log_passes_fuzz point_file_fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in log_passes:logs point_file:ini; do
    name=${target%%:*}
    corpus=${target##*:}
    mkdir -p "$work/$corpus"
    echo "fuzzing $name for ${seconds}s"
    status=0
    (cd "$build" && "./tests/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "$work/$corpus" "$root/tests/fuzz/corpus/$corpus" >"$work/$name.out" 2>&1) || status=$?
    if ((status != 0)); then
        # The whole account, and the input that failed in a form a CI log
        # carries, so the failure can be replayed where it was not seen.
        tail -n 120 "$work/$name.out"
        for input in "$build"/crash-* "$build"/timeout-* "$build"/oom-*; do
            [[ -f $input ]] || continue
            echo "input $(basename "$input") as base64:"
            base64 -w 76 "$input"
        done
        exit "$status"
    fi
    tail -n 12 "$work/$name.out"
done
