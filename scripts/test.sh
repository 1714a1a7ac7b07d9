#!/usr/bin/env bash
# Sets up, builds and runs every test: once in a normal build, once in the
# Windows build under Wine, once under AddressSanitizer and
# UndefinedBehaviorSanitizer, the engine's once more under ThreadSanitizer;
# then a short fuzzing run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
# Each step says how long the run has taken so far: CI has a time budget.
step() { echo "== $1 (at $((SECONDS / 60)) min $((SECONDS % 60)) s)"; }

step "format"
(cd "$root" && git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror)

step "include layers"
"$root/scripts/check_layers.sh"

step "build and test"
VORSKAL_BUILD_DIR=$root/build "$root/scripts/build.sh"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

step "Windows: cross-build, and test under Wine"
windows_start=$SECONDS
"$root/scripts/windows.sh"
echo "Windows part: $((SECONDS - windows_start)) s"

step "build and test under ASan and UBSan"
VORSKAL_BUILD_DIR=$root/build-sanitize VORSKAL_BUILD_TYPE=Debug \
    "$root/scripts/build.sh" -DVORSKAL_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"

step "build and test the engine under ThreadSanitizer"
VORSKAL_BUILD_DIR=$root/build-threads VORSKAL_BUILD_TARGET=vorskal_tests "$root/scripts/build.sh" -DVORSKAL_SANITIZE_THREADS=ON \
    -DVORSKAL_WINDOW=OFF
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$root/build-threads" --output-on-failure -j "$jobs" \
    -L threads

if [[ -x "$root/scripts/fuzz.sh" ]]; then
    step "fuzz"
    "$root/scripts/fuzz.sh"
fi
step "every step passed"
