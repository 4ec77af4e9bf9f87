#!/usr/bin/env bash
# Sets up, builds and runs every test: unit, widget (offscreen) and
# end-to-end (Xvfb), ending with CTest's summary.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
bash "$top/tools/scripts/install-deps.sh"
bash "$top/tools/scripts/build.sh" "$top/build"
cd "$top/build"
ctest --output-on-failure --timeout 300
