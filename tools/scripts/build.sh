#!/usr/bin/env bash
# Builds Vostrel into build/ (or the folder given): program, set-up tool, tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/build}
shift || true
launcher=()
# ccache, when present, lets the plain and sanitizer builds and other checkouts
# share what they compiled; the build is the same without it.
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1
fi
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$out" -j2
