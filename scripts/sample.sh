#!/usr/bin/env bash
# Sets up, builds the headless runner alone (no tests, no window: the
# sample needs nothing else), and tallies a fresh copy of the bundled sample
# game, then prints the report. The checked-in sample files are never
# touched. scripts/test.sh still builds everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORSKAL_SAMPLE_BUILD_DIR:-$root/build-sample}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORSKAL_TESTS=OFF \
    -DVORSKAL_WINDOW=OFF >/dev/null
cmake --build "$build" --target vorskal-tally >/dev/null
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$root"/examples/sample-game/* "$game"/
"$build/app/vorskal-tally" -C "$game"
cat "$game/vorskal.log"
