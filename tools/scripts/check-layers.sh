#!/usr/bin/env bash
# The layers that include paths cannot hold. A library sees the folders of
# the libraries it links and no other (CMakeLists.txt), so an include of
# ours that doc/ARCHITECTURE.md forbids fails to compile; but some headers
# are seen from everywhere:
#   - OpenGL and EGL sit in the compiler's own folder: the core uses none;
#   - so does FFmpeg: only export's sources use it, and of its headers only
#     FFmpegLibraries.h, which no other folder includes;
#   - Qt's modules share one folder, and QtPrintSupport brings QtWidgets'
#     along: render uses no widget.
# Usage: check-layers.sh [QTWIDGETS_INCLUDE_FOLDER] (without it, no widget
# check).
set -euo pipefail
widgets=${1:-}
cd "$(dirname "$0")/../.."

status=0
fail() { # file:line, what
  echo "$1: $2" >&2
  status=1
}
# FILE:LINE:HEADER for each #include <HEADER> below the folders given.
system_includes() {
  local folders=()
  for folder in "$@"; do
    [ -d "$folder" ] && folders+=("$folder")
  done
  [ ${#folders[@]} -gt 0 ] || return 0
  find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' |
    sed -E 's/^([^:]*:[0-9]+:).*<([^>]*)>.*/\1\2/' || true
}

while IFS=: read -r file line header; do
  case $header in
    GL/* | EGL/* | KHR/*) fail "$file:$line" "the core uses no OpenGL: <$header>" ;;
  esac
done < <(system_includes core config model scale scene cut inspect export measure session messages)

while IFS=: read -r file line header; do
  case $header in
    libav*/* | libsw*/* | libpostproc/*)
      [[ $file == export/*.cpp || $file == export/FFmpegLibraries.h ]] ||
        fail "$file:$line" "only export's sources use FFmpeg: <$header>"
      ;;
  esac
done < <(system_includes app batch config core cut export inspect measure messages model render scale scene session tools ui)
while IFS=: read -r file line _; do
  [[ $file == export/*.cpp ]] || fail "$file:$line" "only export's sources include export/FFmpegLibraries.h"
done < <(grep -rHn --include='*.cpp' --include='*.h' '#[[:space:]]*include[[:space:]]*"export/FFmpegLibraries.h"' \
  app batch bench config core cut export fuzz inspect measure messages model render scale scene session tests tools ui 2>/dev/null || true)

if [ -n "$widgets" ]; then
  while IFS=: read -r file line header; do
    if [[ $header == QtWidgets/* ]] || [ -e "$widgets/$header" ]; then
      fail "$file:$line" "render uses no widget: <$header>"
    fi
  done < <(system_includes render)
fi

[ $status -eq 0 ] || echo "See doc/ARCHITECTURE.md for what each folder may use." >&2
exit $status
