#!/usr/bin/env bash
# Builds Vostrel into build/ (or the folder given): program, set-up tool, tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/build}
shift || true
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$out" -j2
