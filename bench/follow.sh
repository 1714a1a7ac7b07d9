#!/usr/bin/env bash
# The cost of following a game while it is flown (vorskal-tally --follow):
# a generated game of SIZE is written into a folder in STEPS steps, each
# step's bytes appended once the runner has shown the step before (its
# "live, as of" line), the runner looking every second; then it is stopped
# with SIGTERM and makes its final tally. Prints the CPU time (user + system)
# of the whole live run, of one plain tally of the whole game, and their
# ratio; the final tally is one plain tally of the live run's.
#
#   bench/follow.sh                   # 1G in 100 steps
#   SIZE=256M STEPS=50 bench/follow.sh
#
# Environment: SIZE (1G), STEPS (100), SEED (7), PIECES (12), TMPDIR (the
# folder in memory), VORSKAL_BENCH_BUILD (the Release build folder).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=${SIZE:-1G}
steps=${STEPS:-100}
seed=${SEED:-7}
pieces=${PIECES:-12}
if [[ ! -x /usr/bin/time ]]; then
    echo "GNU time is needed at /usr/bin/time (Debian package: time)" >&2
    exit 1
fi

source "$here/build.sh"

work=$(mktemp -d "$memory_root/vorskal-follow.XXXXXX")
runner=
cleanup() {
    if [[ -n $runner ]]; then kill "$runner" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$gen" --quiet --seed "$seed" --size "$size" --pieces "$pieces" "$work/source"
mkdir "$work/live"
cp "$work/source/vorskal.ini" "$work/live/"

# The plain tally of the whole game, for the ratio.
/usr/bin/time -f '%U %S' -o "$work/plain.time" "$tally" -C "$work/source" --html "$work/plain.html" \
    >/dev/null
plain=$(awk '{printf "%.3f", $1 + $2}' "$work/plain.time")

/usr/bin/time -f '%U %S %M' -o "$work/live.time" "$tally" --follow "$work/live" \
    --html "$work/live.html" --every 1 >"$work/live.out" 2>"$work/live.err" &
runner=$!
shown() { grep -c '^live, as of' "$work/live.out" || true; }

# Appends the game's bytes up to step `k` of `steps` across its numbered logs,
# in number order, as the server would write them.
python3 - "$work/source" "$work/live" "$steps" "$work" <<'EOF'
import os, sys, time, subprocess
source, live, steps, work = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
logs = []
n = 0
while os.path.exists(f"{source}/ux7server{n}.log"):
    logs.append(f"ux7server{n}.log")
    n += 1
sizes = [os.path.getsize(f"{source}/{name}") for name in logs]
total = sum(sizes)
written = 0
def shown():
    with open(f"{work}/live.out") as out:
        return sum(1 for line in out if line.startswith("live, as of"))
for k in range(1, steps + 1):
    goal = total * k // steps
    before = shown()
    start = 0
    for name, size in zip(logs, sizes):
        lo, hi = max(written, start), min(goal, start + size)
        if hi > lo:
            with open(f"{source}/{name}", "rb") as src, open(f"{live}/{name}", "ab") as dst:
                src.seek(lo - start)
                dst.write(src.read(hi - lo))
        start += size
    written = goal
    while shown() == before:
        time.sleep(0.05)
EOF

# GNU time passes no SIGINT on: the runner itself is told, with SIGTERM as a
# service manager would (SIGINT is ignored by a script's background jobs).
kill -TERM "$(ps -o pid= --ppid "$runner")"
wait "$runner"
runner=
read -r user system peak <"$work/live.time"
live=$(awk -v u="$user" -v s="$system" 'BEGIN {printf "%.3f", u + s}')
echo "Game: $size in $pieces numbered logs, seed $seed, written in $steps steps"
echo "Looks shown: $(shown)"
echo "Plain tally CPU s:           $plain"
echo "Live run CPU s (all looks and the final tally): $live"
echo "Ratio live / plain:          $(awk -v a="$live" -v b="$plain" 'BEGIN {printf "%.1f", a / b}')"
echo "Live run peak memory MiB:    $((peak / 1024))"
cmp -s "$work/live.html" "$work/plain.html" || echo "note: the final page differs from the plain one (their times and folders do)"
