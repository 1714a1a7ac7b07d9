#!/usr/bin/env bash
# Installs what VORSKAL needs from Debian's packages, by need:
#
#   scripts/setup.sh runner   building and running the headless runner alone
#                             (scripts/sample.sh): the engine's libraries
#   scripts/setup.sh          everything: the window, every test, the
#                             package, the benchmarks, the Windows build
#
# Safe to run again: packages already present are left alone.
set -euo pipefail

runner=(
    build-essential cmake ninja-build pkg-config
    libcli11-dev                           # the headless runner's options
    nlohmann-json3-dev                     # the results as JSON
    libsqlite3-dev                         # the league file
    libgcrypt20-dev                        # SHA-256 of the game's files
)
everything=(
    googletest libgtest-dev libgmock-dev   # engine tests
    libbenchmark-dev                       # micro benchmarks
    python3 python3-jsonschema             # the results' schema, checked in the tests
    libcurl4-openssl-dev                   # vorskal-league post (the webhook)
    qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core  # the window
    xvfb xauth                             # window screenshots
    clang libclang-rt-14-dev               # fuzzing (libFuzzer)
    clang-format git                       # the format check
    scdoc man-db                           # manual pages: made from their source, checked with man
    dpkg-dev lintian                       # the Debian package: dependencies and its check
    time                                   # peak memory in the benchmark
    g++-mingw-w64-x86-64-posix             # the Windows programs, cross-built
    libgcrypt-mingw-w64-dev                # their SHA-256
    tcl                                    # SQLite for Windows from Debian's source package (tclsh; apt-get source needs dpkg-dev)
    wine wine64                            # their tests, run under Wine
    nsis cmark-gfm                         # the Windows installer, the user guide as a page in it
    xdotool x11-apps netpbm                # the installed window clicked under Wine, its screenshot
    zip                                    # the Windows zip
    chromium tidy                          # the game's page in a real browser, its markup
)

case ${1:-all} in
    runner) packages=("${runner[@]}") ;;
    all) packages=("${runner[@]}" "${everything[@]}") ;;
    *)
        echo "usage: scripts/setup.sh [runner|all]" >&2
        exit 64
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

run() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
run apt-get update -q
run apt-get install -y -q --no-install-recommends "${missing[@]}"
