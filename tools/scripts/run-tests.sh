#!/usr/bin/env bash
# Sets up, checks the sources (format, includes, clang-tidy), builds with
# warnings as errors and runs every test: the fuzz targets for a bounded time,
# the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the whole suite on the plain build (unit, widget tests offscreen,
# end-to-end under Xvfb), ending with CTest's summary.
# FUZZ_SECONDS (default 30) bounds each fuzz target.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
bash "$top/tools/scripts/install-deps.sh"

echo "== source format"
bash "$top/tools/scripts/check-sources.sh" format

echo "== build"
bash "$top/tools/scripts/build.sh" "$top/build" -DVOSTREL_WERROR=ON
echo "== sanitizer build"
bash "$top/tools/scripts/build.sh" "$top/build-sanitize" -DVOSTREL_WERROR=ON -DVOSTREL_SANITIZE=ON

# clang-tidy reads the plain build's compile commands; it runs beside the
# fuzzers, which are bounded by time and use one core.
echo "== clang-tidy, beside the fuzzing"
tidy_log="$top/build/clang-tidy.log"
bash "$top/tools/scripts/check-sources.sh" tidy "$top/build" >"$tidy_log" 2>&1 &
tidy=$!
echo "== fuzzing"
fuzz_status=0
bash "$top/tests/fuzz/run-fuzzers.sh" "$top/build-fuzz" "${FUZZ_SECONDS:-30}" -DVOSTREL_WERROR=ON || fuzz_status=$?
tidy_status=0
wait "$tidy" || tidy_status=$?
cat "$tidy_log"
if [ "$fuzz_status" -ne 0 ] || [ "$tidy_status" -ne 0 ]; then
  exit 1
fi

# Two tests at a time; the end-to-end tests run alone (RUN_SERIAL), since
# xdotool's typing suffers on a loaded X server. The crash run kills its
# driver with SIGKILL, where the sanitizers get no word in: it runs on the
# plain build only.
echo "== tests under the sanitizers"
(cd "$top/build-sanitize" &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest -j2 --output-on-failure --timeout 600 -E '^crash_safety$')

echo "== tests"
cd "$top/build"
ctest -j2 --output-on-failure --timeout 300
