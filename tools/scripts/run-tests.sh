#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs every test: the fuzz targets for a bounded time,
# the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the whole suite on the plain build (unit, widget tests offscreen,
# end-to-end under Xvfb), ending with CTest's summary.
# FUZZ_SECONDS (default 60) bounds each fuzz target.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
bash "$top/tools/scripts/install-deps.sh"

echo "== build"
bash "$top/tools/scripts/build.sh" "$top/build" -DVOSTREL_WERROR=ON
echo "== sanitizer build"
bash "$top/tools/scripts/build.sh" "$top/build-sanitize" -DVOSTREL_WERROR=ON -DVOSTREL_SANITIZE=ON

echo "== fuzzing"
bash "$top/tests/fuzz/run-fuzzers.sh" "$top/build-fuzz" "${FUZZ_SECONDS:-60}" -DVOSTREL_WERROR=ON

echo "== tests under the sanitizers"
(cd "$top/build-sanitize" &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure --timeout 600)

echo "== tests"
cd "$top/build"
ctest --output-on-failure --timeout 300
