#!/usr/bin/env bash
# The season's site in a real browser: a league of the scenario folders'
# games, its site written, then headless chromium opens the index (and with
# a search in its address), the first pilot's page and the sample's game
# page. Each must show what it is made of once its script ran, log no
# console message and ask for nothing on the network; no file of the site,
# nor the sample's outputs, shows a player's address. (The crawl of every
# link is tests/league/site/site_test.cpp's.) Screenshots go to ARTIFACTS.
#   site_in_browser.sh LEAGUE_PROGRAM TALLY_PROGRAM SOURCE_DIR ARTIFACTS PYTHON
# Exit 77 (skipped) when chromium is not installed.
set -euo pipefail
league=$1 tally=$2 source=$3 artifacts=$4 python=$5

. "$(dirname "$0")/browser.sh"

# The league: the sample first (game 1), then every scenario folder's game
# that completes, as the site test records them.
mkdir "$work/sample"
cp "$source"/examples/sample-game/* "$work/sample/"
"$tally" --record "$work/season.db" "$work/sample" >/dev/null 2>&1 || fail "the sample was not recorded"
for scenario in "$source"/tests/scenarios/*/; do
    [[ -e $scenario/expect.failure ]] && continue
    inputs=$scenario
    switches=()
    words=()
    if [[ -f $scenario/options ]]; then
        read -ra words < <(tr '\r\n' '  ' <"$scenario/options") || true
    fi
    for ((i = 0; i < ${#words[@]}; i++)); do
        case ${words[i]} in
            inputs) inputs=$source/${words[i + 1]} && i=$((i + 1)) ;;
            --*) switches+=("${words[i]}") ;;
        esac
    done
    rm -rf "$work/game" && mkdir "$work/game"
    cp "$inputs"/vorskal.ini "$inputs"/vorskal.log "$inputs"/ux7server*.log "$work/game/" \
        2>/dev/null || true  # the ones the folder has
    # A game whose report another's already is is refused: it stays one game.
    "$tally" "${switches[@]}" --record "$work/season.db" "$work/game" >/dev/null 2>&1 || true
done
# The standings' second name, hidden: in no file of the site, nor its name.
hidden=$("$league" "$work/season.db" standings --format json | "$python" -c '
import json, sys
pilots = json.load(sys.stdin)["pilots"]
print(next(p["name"] for p in pilots if p["name"] != pilots[0]["name"]))')
"$league" "$work/season.db" set hidden-pilot "$hidden" >/dev/null
"$league" "$work/season.db" site "$work/site" >/dev/null
site=$work/site
if grep -rlF -- "$hidden" "$site" || find "$site" -name "*$hidden*" | grep -q .; then
    fail "the hidden pilot's name $hidden is in the site"
fi

# No player's address leaves the server: the report, the merged log and
# --show-addresses keep them; the outputs, the league file and its site not.
"$tally" --json "$work/sample.json" --csv "$work/sample-csv" --html "$work/sample.html" \
    "$work/sample" >/dev/null 2>&1
"$tally" --show-addresses --json "$work/shown.json" "$work/sample" >/dev/null 2>&1
address='UDP:[0-9]'
for kept in "$work/sample/vorskal.log" "$work/sample/ux7server.log" "$work/shown.json"; do
    grep -q "$address" "$kept" || fail "no address in $(basename "$kept")"
done
for shared in "$work/sample.json" "$work/sample-csv" "$work/sample.html" "$work/season.db" "$site"; do
    if leaks=$(grep -rlaE "$address" "$shared"); then
        fail "an address in $leaks"
    fi
done

# The first pilot of the standings: his name, and his page (the first 16 hex
# digits of the SHA-256 of the name, as docs/site.md says).
read -r name page < <("$league" "$work/season.db" standings --format json | "$python" -c '
import hashlib, json, sys, urllib.parse
name = json.load(sys.stdin)["pilots"][0]["name"]
print(urllib.parse.quote(name), hashlib.sha256(name.encode()).hexdigest()[:16] + ".html")')

# run_browser with a network log; fails on a console message or a request
# that the page started.
browse() {
    local url=$1
    shift
    rm -f "$work/net.json"
    run_browser "$url" --log-net-log="$work/net.json" "$@"
    no_console "$url"
    "$python" - "$work/net.json" <<'EOF' || fail "$url: the page asked for something on the network"
import json, sys
log = json.load(open(sys.argv[1]))
types = {number: name for name, number in log["constants"]["logEventTypes"].items()}
asked = [e["params"]["url"] for e in log["events"]
         if types.get(e["type"]) == "URL_REQUEST_START_JOB"
         and "url" in e.get("params", {})
         and e["params"].get("initiator") != "not an origin"]
for url in asked:
    print("  request:", url)
sys.exit(1 if asked else 0)
EOF
}

# Fails unless the DOM in $work/out holds each of the texts.
holds() {
    local what=$1
    shift
    for text in "$@"; do
        grep -qF -- "$text" "$work/out" || fail "$what: no $text"
    done
}

browse "file://$site/index.html" --dump-dom --hide-scrollbars --window-size=1100,2400 \
    --screenshot="$artifacts/site-index.png"
holds index '<table class="sortable" id="pilots">' '<section id="search">' 'data-sortable="ready"'
browse "file://$site/index.html#search=$name" --dump-dom
holds "the search for $name" "<li><a href=\"pilots/$page\">"
# An address typed by hand with a broken %-escape: searched as typed, no error.
browse "file://$site/index.html#search=%E0%A4%A" --dump-dom
holds "a broken search address" '<section id="search">' '<li>Nothing found</li>'
browse "file://$site/pilots/$page" --dump-dom --hide-scrollbars --window-size=1100,1600 \
    --screenshot="$artifacts/site-pilot-page.png"
holds "pilot page" '<svg id="pilot-score-chart"' '<svg id="pilot-activity-chart"' \
    '<table class="sortable" id="pilot-games">' 'data-sortable="ready"'
browse "file://$site/games/game-1.html" --dump-dom --hide-scrollbars --window-size=1100,2400 \
    --screenshot="$artifacts/site-game-page.png"
holds "game page" '<svg id="arena-chart"' '<svg id="activity-chart"' 'data-sortable="ready"'
# The arena chart is not flat, and the activity chart counts what the score
# tables' totals count.
"$python" - "$work/out" <<'EOF' || fail "the sample's game page: its charts do not show the game"
import re, sys
page = open(sys.argv[1], encoding="utf-8").read()
arena = re.search(r'<svg id="arena-chart".*?</svg>', page, re.S).group(0)
most = re.search(r"At most (\d+) Allied and (\d+) Hun pilots", arena)
heights = {side: {point.split(",")[1] for point in
                  re.search(r'<polyline class="step %s" points="([^"]*)"' % side, arena).group(1).split()}
           for side in ("allied", "hun")}
print("  pilots in the game at most:", most.groups(), "heights drawn:",
      {side: len(ys) for side, ys in heights.items()})
ok = all(int(n) > 0 for n in most.groups()) and all(len(ys) > 1 for ys in heights.values())
activity = re.search(r'<svg id="activity-chart".*?<desc>(.*?)</desc>', page, re.S).group(1)
counted = re.search(r"Allied (\d+) kills? and (\d+) deaths?, Hun (\d+) kills? and (\d+) deaths?",
                    activity).groups()
tables = []
for side in ("Allied", "Hun"):
    cells = re.search(r'<tfoot><tr><th scope="row">%s Totals</th>'
                      r'<td class="n">-?\d+</td><td class="n">(\d+)</td><td class="n">(\d+)</td>'
                      % side, page).groups()
    tables += cells
print("  kills and deaths charted:", counted, "in the tables:", tuple(tables))
sys.exit(0 if ok and list(counted) == tables else 1)
EOF
for shot in site-index site-pilot-page site-game-page; do
    [[ -s $artifacts/$shot.png ]] || fail "no screenshot $shot.png"
done

finish "site checked"
