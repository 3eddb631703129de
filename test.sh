#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test, ending with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")"

./tools/scripts/install-deps.sh

build=${QUILLMERE_BUILD_DIR:-build}
jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMERE_WERROR=ON \
  -DQUILLMERE_TESTS=ON -DQUILLMERE_BENCH=ON "${launcher[@]}"
cmake --build "$build" -j "$jobs"

cd "$build"
ctest --output-on-failure -j "$jobs"
