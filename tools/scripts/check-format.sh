#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted by .clang-format.
# Only the project's own sources count: build folders, whatever they are
# called, hold sources that CMake and Qt generate. In a git checkout these are
# the tracked files; in an unpacked source tree, the files of the source
# folders, leaving out any build folder configured inside one of them.
set -euo pipefail
cd "$(dirname "$0")/../.."

sources=(app batch bench config core cut export fuzz inspect measure model render samples scale scene session tests tools ui)

files=()
if command -v git >/dev/null && [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  folders=()
  for folder in "${sources[@]}"; do
    [ -d "$folder" ] && folders+=("$folder")
  done
  if [ ${#folders[@]} -gt 0 ]; then
    mapfile -t files < <(find "${folders[@]}" -type d -exec test -e '{}/CMakeCache.txt' ';' -prune -o \
      -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
  fi
fi
[ ${#files[@]} -gt 0 ] || exit 0
clang-format --dry-run --Werror "${files[@]}"
