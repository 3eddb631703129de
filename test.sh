#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test: the animation once more under ThreadSanitizer, then the whole
# suite, ending with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")"

./tools/scripts/install-deps.sh

build=${QUILLMERE_BUILD_DIR:-build}
jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

configure() { # folder, extra options...
  local folder=$1
  shift
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMERE_WERROR=ON "${launcher[@]}" "$@" >/dev/null
}

echo "== Build"
configure "$build" -DQUILLMERE_TESTS=ON -DQUILLMERE_BENCH=ON
cmake --build "$build" -j "$jobs"

echo "== Animation under ThreadSanitizer"
configure "$build-tsan" -DQUILLMERE_SANITIZE=thread -DQUILLMERE_BENCH=OFF
cmake --build "$build-tsan" -j "$jobs" --target test_navigation
(cd "$build-tsan" && ctest -L animation --output-on-failure -j "$jobs" | tail -3)

echo "== Tests"
cd "$build"
ctest --output-on-failure -j "$jobs"
