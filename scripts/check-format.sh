#!/usr/bin/env bash
# Checks that src/, tests/ and tools/ C++ files are formatted as .clang-format
# says (Debian's clang-format-14). With --fix, formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
fmt=${CLANG_FORMAT:-clang-format-14}
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h')
if [ "${1:-}" = "--fix" ]; then
  "$fmt" -i "${files[@]}"
  exit 0
fi
"$fmt" --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files as .clang-format says"
