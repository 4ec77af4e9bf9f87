#!/bin/sh
# Builds the fuzz targets with clang and runs each for a bounded time.
# usage: tests/fuzz/run-fuzzers.sh BUILD_DIR [SECONDS_EACH [CMAKE_OPTION...]]   (default 60)
# Fails on any crash, sanitizer report or timeout.
set -eu
build=${1:?usage: run-fuzzers.sh BUILD_DIR [SECONDS_EACH]}
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
top=$(cd "$(dirname "$0")/../.." && pwd)

launcher=""
if command -v ccache >/dev/null; then
    launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1
fi
# The build of CMakePresets.json's "fuzz": the project's top folder with
# VOSTREL_FUZZ. A folder configured from tests/fuzz alone is set up afresh.
if [ -f "$build/CMakeCache.txt" ] && ! grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$top" "$build/CMakeCache.txt"; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOSTREL_FUZZ=ON $launcher \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 "$@" >/dev/null
targets="fuzz_skin_reader fuzz_skin_ini fuzz_decrypt_hex fuzz_category_file fuzz_connection_string fuzz_register_schema"
cmake --build "$build" -j2 --target $targets

status=0
for target in $targets; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus" "$build/artifacts"
    echo "== $target for ${seconds}s"
    if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
        "$build/bin/$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 >"$build/$target.log" 2>&1; then
        status=1
        echo "!! $target failed; see $build/$target.log"
        tail -40 "$build/$target.log"
    fi
    grep -E '^(stat::number_of_executed_units|stat::new_units_added)|^#[0-9]+ +DONE' "$build/$target.log" || true
    echo "corpus inputs: $(ls "$corpus" | wc -l)"
    if grep -qE 'runtime error:|ERROR: (Address|Undefined|Leak)Sanitizer' "$build/$target.log"; then
        status=1
        echo "!! sanitizer report in $target"
    fi
done
exit $status
