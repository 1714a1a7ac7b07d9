#!/usr/bin/env bash
# Fails when a file of the engine includes a header of a folder above its own.
# The folders from the bottom up (ARCHITECTURE.md, "Layers"):
layers=(base logs points tally report results html league collector app)
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)

rank() {
    local i
    for i in "${!layers[@]}"; do
        [[ ${layers[$i]} == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

status=0
for folder in "${layers[@]}"; do
    [[ -d $root/$folder ]] || continue
    own=$(rank "$folder")
    while IFS= read -r hit; do
        file=${hit%%:*}
        included=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${hit#*:}")
        other=$(rank "$included")
        if ((other > own)); then
            echo "${file#"$root"/}: includes a header of $included/, a folder above $folder/" >&2
            status=1
        fi
    done < <(grep -rHE '^\s*#\s*include "[^/"]+/' --include='*.h' --include='*.cpp' "$root/$folder" || true)
done
exit "$status"
