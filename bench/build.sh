# Sets the folders the benchmarks use and builds the programs they run, as a
# Release build: `source_dir` (the project), `memory_root` (the folder in
# memory: TMPDIR when set, else /dev/shm, else /tmp) and `build_dir`
# (VORSKAL_BENCH_BUILD, else a folder under `memory_root`); then `tally`,
# `gen` and `hash_floor` (a file's SHA-256 with the fingerprint's library).
# Sourced by the benchmark scripts, with `here` set to their folder; a build
# folder of the user's keeps its settings, with a warning when it is no
# Release build.
source_dir=$(cd "$here/.." && pwd)
if [[ -n ${TMPDIR:-} ]]; then
    memory_root=$TMPDIR
elif [[ -d /dev/shm && -w /dev/shm ]]; then
    memory_root=/dev/shm
else
    memory_root=/tmp
fi
build_dir=${VORSKAL_BENCH_BUILD:-$memory_root/vorskal-bench-build}
echo "Building Release in $build_dir ..."
if [[ -f $build_dir/CMakeCache.txt ]]; then
    build_type=$(awk -F= '/^CMAKE_BUILD_TYPE:/ {print $2}' "$build_dir/CMakeCache.txt")
    if [[ $build_type != Release ]]; then
        echo "warning: $build_dir is a '${build_type:-default}' build, not Release" >&2
    fi
else
    configure=(-S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release
        -DVORSKAL_WINDOW=OFF -DVORSKAL_TESTS=OFF)
    if command -v ninja >/dev/null; then
        configure+=(-G Ninja)
    fi
    cmake "${configure[@]}" >/dev/null
fi
cmake --build "$build_dir" --target vorskal-tally vorskal-gen vorskal-hash-floor >/dev/null
tally=$build_dir/app/vorskal-tally
gen=$build_dir/tools/vorskal-gen
hash_floor=$build_dir/bench/vorskal-hash-floor
