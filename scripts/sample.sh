#!/usr/bin/env bash
# Sets up, builds, and tallies a fresh copy of the bundled sample game,
# then prints the report. The checked-in sample files are never touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$root"/examples/sample-game/* "$game"/
"${VORSKAL_BUILD_DIR:-$root/build}/app/vorskal-tally" -C "$game"
cat "$game/vorskal.log"
