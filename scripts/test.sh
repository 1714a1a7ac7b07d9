#!/usr/bin/env bash
# Sets up, builds and runs every test: once in a normal build, once in the
# Windows build under Wine, once under AddressSanitizer and
# UndefinedBehaviorSanitizer, the engine's once more under ThreadSanitizer;
# then a short fuzzing run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)

echo "== format"
(cd "$root" && git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror)

echo "== include layers"
"$root/scripts/check_layers.sh"

echo "== build and test"
VORSKAL_BUILD_DIR=$root/build "$root/scripts/build.sh"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

echo "== Windows: cross-build, and test under Wine"
windows_start=$SECONDS
"$root/scripts/windows.sh"
echo "Windows part: $((SECONDS - windows_start)) s"

echo "== build and test under ASan and UBSan"
VORSKAL_BUILD_DIR=$root/build-sanitize VORSKAL_BUILD_TYPE=Debug \
    "$root/scripts/build.sh" -DVORSKAL_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"

echo "== build and test the engine under ThreadSanitizer"
VORSKAL_BUILD_DIR=$root/build-threads "$root/scripts/build.sh" -DVORSKAL_SANITIZE_THREADS=ON \
    -DVORSKAL_WINDOW=OFF
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$root/build-threads" --output-on-failure -j "$jobs" \
    -L threads

if [[ -x "$root/scripts/fuzz.sh" ]]; then
    echo "== fuzz"
    "$root/scripts/fuzz.sh"
fi
