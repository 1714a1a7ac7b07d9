#!/usr/bin/env bash
# Times the league file: importing a report file of 500 games into a new
# league file, then the standings of 1,000 games (a second file of 500 games
# imported on top), in every format; then the site of a season of 100 games
# and 60 pilots, from scratch and again after one more game (with the number of files that
# rebuild wrote); and the sites of seasons of about 10,000 and 20,000 pilots, whose
# times should be in proportion. Each figure is the wall time of one run
# of vorskal-league and its CPU time (user and system); the run with the
# best wall time of RUNS runs (3 by default) is printed. Needs GNU time.
#
#   bench/league.sh [path/to/vorskal-league]
#
# Environment: RUNS (3), TMPDIR (where the files are made; removed at the end).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
league=${1:-$here/../build/app/vorskal-league}
runs=${RUNS:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/vorskal-league-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 "$here/league_reports.py" 500 1 >"$work/first.log"
python3 "$here/league_reports.py" 500 2 >"$work/second.log"
echo "report files: $(du -h "$work/first.log" | cut -f1) and $(du -h "$work/second.log" | cut -f1), 500 games each"

# Wall and CPU time of the best of RUNS runs of "$@" (its output is dropped).
best() {
    local fastest="" line wall
    for ((i = 0; i < runs; i++)); do
        [[ -n ${prepare:-} ]] && eval "$prepare"
        line=$(/usr/bin/time -f '%e %U %S' "$@" 2>&1 >/dev/null | tail -1)
        wall=${line%% *}
        if [[ -z $fastest ]] || awk -v a="$wall" -v b="${fastest%% *}" 'BEGIN { exit !(a < b) }'; then
            fastest=$line
        fi
    done
    awk '{ printf "%.2f s wall, %.2f s CPU", $1, $2 + $3 }' <<<"$fastest"
}

prepare='rm -f "$work/league.db" "$work/league.db-wal" "$work/league.db-shm"'
echo "import of 500 games into a new file: $(best "$league" "$work/league.db" import "$work/first.log")"
prepare=''
"$league" "$work/league.db" import "$work/first.log" >/dev/null
"$league" "$work/league.db" import "$work/second.log" >/dev/null
echo "league file of 1,000 games: $(du -h "$work/league.db" | cut -f1)"
for format in text csv json html; do
    echo "standings of 1,000 games ($format): $(best "$league" "$work/league.db" standings --format "$format")"
done
echo "games of 1,000 games (text): $(best "$league" "$work/league.db" games)"

# The site of a season of 100 games, 60 pilots: from scratch, then after one more game.
python3 "$here/league_reports.py" 100 3 60 >"$work/season.log"
python3 "$here/league_reports.py" 1 4 60 >"$work/one-more.log"
"$league" "$work/season.db" import "$work/season.log" >/dev/null
prepare='rm -rf "$work/site"'
echo "site of 100 games, 60 pilots, from scratch: $(best "$league" "$work/season.db" site "$work/site")"
prepare=''
"$league" "$work/season.db" site "$work/site" >/dev/null
cp -a "$work/site" "$work/site-before"
"$league" "$work/season.db" import "$work/one-more.log" >/dev/null
# Each run starts from the site as it was before the game (a copy keeps the files' times).
prepare='rm -rf "$work/site" && cp -a "$work/site-before" "$work/site" && touch "$work/mark"'
echo "site after one more game: $(best "$league" "$work/season.db" site "$work/site")"
echo "site: $(du -sh "$work/site" | cut -f1), $(find "$work/site" -type f | wc -l) files," \
    "$(find "$work/site" -type f -newer "$work/mark" | wc -l) written again after one more game"

# A site's cost grows with its pages, not with their square: seasons of about
# 10,000 and 20,000 pilots (games of 16 to 32 pilots, three per pilot).
for pilots in 10000 20000; do
    python3 "$here/league_reports.py" $((pilots / 8)) 5 "$pilots" >"$work/many.log"
    rm -f "$work/many.db"
    "$league" "$work/many.db" import "$work/many.log" >/dev/null
    prepare='rm -rf "$work/site"'
    "$league" "$work/many.db" site "$work/site" >/dev/null
    echo "site of $(find "$work/site" -path '*/pilots/*' -type f | wc -l) pilot pages:" \
        "$(best "$league" "$work/many.db" site "$work/site")"
done
