#!/usr/bin/env bash
# Sets up what building the headless runner needs (scripts/setup.sh runner:
# no Qt, no test tools), builds the runner alone (no tests, no window: the
# sample needs nothing else), tallies a fresh copy of the bundled sample game
# and prints the report. The checked-in sample files are never touched.
# scripts/test.sh still sets up and builds everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORSKAL_SAMPLE_BUILD_DIR:-$root/build-sample}
"$root/scripts/setup.sh" runner
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORSKAL_TESTS=OFF \
    -DVORSKAL_WINDOW=OFF >/dev/null
cmake --build "$build" --target vorskal-tally >/dev/null
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$root"/examples/sample-game/* "$game"/
"$build/app/vorskal-tally" -C "$game"
cat "$game/vorskal.log"
