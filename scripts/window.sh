#!/usr/bin/env bash
# Sets up, builds, and opens the window on a fresh copy of the bundled
# sample game (the checked-in files are never touched). After "Tally
# Score", the report is printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$root"/examples/sample-game/* "$game"/
status=0
(cd "$game" && "${VORSKAL_BUILD_DIR:-$root/build}/app/window/qt/vorskal") || status=$?
if [[ -f $game/vorskal.log ]]; then
    cat "$game/vorskal.log"
fi
exit "$status"
