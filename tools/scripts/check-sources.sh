#!/usr/bin/env bash
# Checks the tracked C++ sources.
#   check-sources.sh format         every file formatted as .clang-format says;
#                                   quoted includes never climb out of a folder
#   check-sources.sh tidy BUILD_DIR clang-tidy, as .clang-tidy says, finds nothing
#                                   in src/ and tools/ (BUILD_DIR has
#                                   compile_commands.json)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')

case ${1:-} in
format)
  clang-format-14 --dry-run -Werror "${sources[@]}"
  if grep -n '^\s*#\s*include\s*"\.\./' "${sources[@]}"; then
    echo "include from src/ (\"db/RegisterQuery.h\"), not through ../" >&2
    exit 1
  fi
  echo "format: ${#sources[@]} files formatted"
  ;;
tidy)
  build=${2:?usage: check-sources.sh tidy BUILD_DIR}
  # The program's and the tools' own code: tidy parses every Qt header a file
  # includes, which the tests' and benchmarks' files would double for little.
  mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep -E '^(src|tools)/.*\.cpp$')
  printf '%s\n' "${units[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy-14 -p "$build" --quiet 2> >(grep -v ' warnings\? generated\.$' >&2)
  echo "tidy: ${#units[@]} files, no findings"
  ;;
*)
  echo "usage: check-sources.sh format | tidy BUILD_DIR" >&2
  exit 2
  ;;
esac
