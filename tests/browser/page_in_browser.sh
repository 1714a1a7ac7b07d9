#!/usr/bin/env bash
# The game's page in a real browser: its markup checked by HTML Tidy, then
# headless chromium opens it offline; the page must hold its charts, score
# tables and the sorting script's mark, and log no console message.
# Screenshots and the page printed (A4, PDF) are kept under ARTIFACTS.
#   page_in_browser.sh SAMPLE_PROGRAM TALLY_PROGRAM SAMPLE_GAME_DIR ARTIFACTS
# Exit 77 (skipped) when chromium is not installed.
set -euo pipefail
sample=$1 tally=$2 game=$3 artifacts=$4

. "$(dirname "$0")/browser.sh"

# Runs the browser on the page file with the extra arguments.
browse() {
    local page=$1
    shift
    run_browser "file://$page" "$@"
}

# Checks the page's markup (HTML Tidy finds no fault), its DOM after
# loading, and the console.
check() {
    local page=$1 name=$2
    if command -v tidy >/dev/null; then
        tidy -q -e "$page" >"$work/tidy" 2>&1 || {
            fail "$name: HTML Tidy finds faults:"
            cat "$work/tidy"
        }
    else
        echo "tidy is not installed (scripts/setup.sh installs it): markup not checked"
    fi
    browse "$page" --dump-dom
    local dom=$work/out
    grep -q '<svg id="arena-chart"' "$dom" || fail "$name: no arena chart"
    grep -q '<polyline class="step allied"' "$dom" || fail "$name: no Allied line"
    grep -q '<polyline class="step hun"' "$dom" || fail "$name: no Hun line"
    grep -q '<svg id="activity-chart"' "$dom" || fail "$name: no kills and deaths chart"
    grep -q '<table class="sortable scores" id="scores-allied">' "$dom" ||
        fail "$name: no Allied table"
    grep -q '<table class="sortable scores" id="scores-hun">' "$dom" || fail "$name: no Hun table"
    grep -q 'data-sortable="ready"' "$dom" || fail "$name: the sorting script did not finish"
    no_console "$name"
}

# A made-up game of 3 hours with 20 pilots a side: stretches over the limit,
# corrections, a warning, names that need escaping.
"$sample" "$work/sample.html" >/dev/null
check "$work/sample.html" "made-up game"
browse "$work/sample.html" --hide-scrollbars --window-size=1100,3000 \
    --screenshot="$artifacts/game-page.png"
[[ -s $artifacts/game-page.png ]] || fail "no screenshot"
browse "$work/sample.html" --no-pdf-header-footer --print-to-pdf="$artifacts/game-page.pdf"
[[ -s $artifacts/game-page.pdf ]] || fail "no print"

# The bundled sample game through the runner.
cp -r "$game" "$work/game"
"$tally" -C "$work/game" --html "$work/game/page.html" >/dev/null
check "$work/game/page.html" "sample game"
browse "$work/game/page.html" --hide-scrollbars --window-size=1100,2400 \
    --screenshot="$artifacts/sample-game-page.png"

finish "page checked"
