#!/usr/bin/env bash
# The layer checks against headers and links planted where the table
# (scripts/layers.txt) forbids them, in a copy of the sources:
#   layers_test.sh SOURCE-ROOT CMAKE
set -euo pipefail
source_root=$1 cmake=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

root=$work/root
mkdir -p "$root/scripts"
cp "$source_root/scripts/check_layers.sh" "$source_root/scripts/layers.txt" "$root/scripts/"
for folder in base logs points tally report results html collector app league; do
    cp -r "$source_root/$folder" "$root/"
done

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

bash "$root/scripts/check_layers.sh" "$root" || fail "the sources as they are"

# FILE gets INCLUDE; the check must fail and say MESSAGE.
planted() { # FILE INCLUDE MESSAGE
    cp "$root/$1" "$work/kept"
    echo "#include \"$2\"" >>"$root/$1"
    if said=$(bash "$root/scripts/check_layers.sh" "$root" 2>&1); then
        fail "$1 including $2 passed"
    elif [[ $said != *"$3"* ]]; then
        fail "$1 including $2: said '$said', not '$3'"
    fi
    cp "$work/kept" "$root/$1"
}
# Below the tally, and beside it: the page and the league read results only.
planted html/page_rows.h tally/tally_state.h \
    "html/page_rows.h: includes tally/tally_state.h, but html/ does not build on tally/"
planted league/listings/queries.cpp tally/tally_state.h \
    "league/listings/queries.cpp: includes tally/tally_state.h, but league/listings/ does not build on tally/"
planted results/json_writer.cpp logs/log_line.h \
    "results/json_writer.cpp: includes logs/log_line.h, but results/ does not build on logs/"
planted logs/merge.cpp points/identify_target.h \
    "logs/merge.cpp: includes points/identify_target.h, but logs/ does not build on points/"
# The league's parts: the store under everything, post beside import.
planted league/store/game_store.cpp league/listings/queries.h \
    "league/store/game_store.cpp: includes league/listings/queries.h, but league/store/ does not build on league/listings/"
planted league/post/game_post.cpp league/import/report_import.h \
    "league/post/game_post.cpp: includes league/import/report_import.h, but league/post/ does not build on league/import/"
# The engine under its callers.
planted app/tally_run.cpp app/cli/runner.h \
    "app/tally_run.cpp: includes app/cli/runner.h, but app/ does not build on app/cli/"
# A back-arrow inside a folder: log_line.h includes line_text.h.
planted logs/line_text.h logs/log_line.h "logs/: files include each other: "
# ... and one two steps long: merge.h includes log_line.h, which includes line_text.h.
planted logs/line_text.cpp logs/merge.h "logs/: files include each other: "

# What the table allows passes: the league's site draws with the page's parts.
echo '#include "html/svg_parts.h"' >>"$root/league/site/site_folder.cpp"
bash "$root/scripts/check_layers.sh" "$root" || fail "league/site including html/ failed"

# The libraries: a configuration linking the page to the tally fails, one
# linking it to the results passes.
linked() { # LIBRARY LINKED
    mkdir -p "$work/project"
    cat >"$work/project/CMakeLists.txt" <<END
cmake_minimum_required(VERSION 3.25)
project(layers NONE)
foreach(library vorskal_base vorskal_results vorskal_tally vorskal_html)
    add_library(\${library} INTERFACE)
endforeach()
target_link_libraries($1 INTERFACE $2)
include($source_root/cmake/layers.cmake)
vorskal_check_layers($root/scripts/layers.txt)
END
    rm -rf "$work/build"
    "$cmake" -S "$work/project" -B "$work/build" 2>&1
}
said=$(linked vorskal_html vorskal_results) || fail "vorskal_html linking vorskal_results: $said"
if said=$(linked vorskal_html vorskal_tally); then
    fail "vorskal_html linking vorskal_tally passed"
elif [[ $said != *"vorskal_html (html/) links vorskal_tally,"* ]]; then
    fail "vorskal_html linking vorskal_tally: said '$said'"
fi

((failures == 0)) && echo "every planted include and link was caught"
exit $((failures > 0))
