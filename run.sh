#!/usr/bin/env bash
# Installs what is missing, builds, and opens a project (the bundled sample by
# default).
set -euo pipefail
# A project named relative to where the user stands.
project=""
[ $# -ge 1 ] && project=$(realpath -m -- "$1")
cd "$(dirname "$0")"

./tools/scripts/install-deps.sh

build=${QUILLMERE_BUILD_DIR:-build}
source tools/scripts/configure.sh
configure "$build" -O2
cmake --build "$build" -j "$(nproc)" --target quillmere quillmere-batch sample_project

[ -n "$project" ] || project=$build/samples/cup/cup.tfc
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No desktop to open a window on: show what the project holds instead.
  echo "No display: the sheet properties of $project follow." >&2
  exec "$build/batch/quillmere-batch" report sheet "$project"
fi
exec "$build/app/quillmere" "$project"
