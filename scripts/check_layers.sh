#!/usr/bin/env bash
# Fails when a file includes a header of a folder its own does not build on,
# or when files of one folder include each other. The table of which folder
# builds on which is scripts/layers.txt; usage: check_layers.sh [ROOT].
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
table=$root/scripts/layers.txt

declare -A uses=() extra=() cycles_allowed=()
folders=()
while read -r first rest; do
    case $first in
    '' | '#'*) continue ;;
    temporary) read -r from to <<<"$rest" && extra[$from]+=" $to" ;;
    temporary-cycle) cycles_allowed[$rest]=1 ;;
    *)
        folders+=("$first")
        read -r _library deps <<<"$rest"
        uses[$first]=$deps
        ;;
    esac
done <"$table"

# The folders FOLDER may include: its own, those it builds on, and theirs.
declare -A allowed=()
reach() { # FOLDER SET-NAME
    local dep
    for dep in ${uses[$1]} ${extra[$1]:-}; do
        [[ " ${!2} " == *" $dep "* ]] && continue
        printf -v "$2" '%s %s' "${!2}" "$dep"
        reach "$dep" "$2"
    done
}
for folder in "${folders[@]}"; do
    set_=$folder
    reach "$folder" set_
    allowed[$folder]=" $set_ "
done

# The table's folder that PATH lies in (the longest that fits), or nothing:
# into $found.
owner() {
    local folder
    found=''
    for folder in "${folders[@]}"; do
        if [[ $1 == "$folder"/* && ${#folder} -gt ${#found} ]]; then found=$folder; fi
    done
}

status=0
files=$(cd "$root" && for folder in "${folders[@]}"; do
    [[ -d $folder ]] && find "$folder" -name '*.h' -o -name '*.cpp'
done | sort -u)
for file in $files; do
    owner "$file"
    own=$found
    while IFS= read -r included; do
        owner "$included"
        other=$found
        [[ -z $other || $other == "$own" || ${allowed[$own]} == *" $other "* ]] && continue
        echo "$file: includes $included, but $own/ does not build on $other/ (scripts/layers.txt)" >&2
        status=1
    done < <(sed -nE 's/^\s*#\s*include "([^"]+\/[^"]+)".*/\1/p' "$root/$file")
done

# Inside each folder, its units (a .h with its .cpp, _posix and _windows
# files alike) in an order where each includes only those before it.
for folder in "${folders[@]}"; do
    [[ -d $root/$folder && -z ${cycles_allowed[$folder]:-} ]] || continue
    edges=$(cd "$root" && for file in $(find "$folder" -maxdepth 1 -name '*.h' -o -maxdepth 1 -name '*.cpp'); do
        unit=$(basename "${file%.*}")
        unit=${unit%_posix} unit=${unit%_windows}
        echo "$unit $unit"
        sed -nE "s|^\s*#\s*include \"$folder/([^/\"]+)\.h\".*|\1|p" "$file" |
            while read -r other; do echo "$other $unit"; done
    done)
    if ! loop=$(tsort <<<"$edges" 2>&1 >/dev/null) || [[ -n $loop ]]; then
        echo "$folder/: files include each other:" $(sed -n 's/^tsort: \([a-z0-9_]*\)$/\1/p' <<<"$loop") >&2
        status=1
    fi
done
exit "$status"
