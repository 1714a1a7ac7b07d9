#!/usr/bin/env bash
# Configures and builds VORSKAL into build/ (or $VORSKAL_BUILD_DIR).
# Extra arguments go to CMake's configure step; VORSKAL_BUILD_TARGET, when
# set, builds that target (and what it needs) instead of everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORSKAL_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${VORSKAL_BUILD_TYPE:-RelWithDebInfo} \
    -DVORSKAL_WERROR=ON "$@" >/dev/null
cmake --build "$build" ${VORSKAL_BUILD_TARGET:+--target "$VORSKAL_BUILD_TARGET"}
