#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test: the animation once more under ThreadSanitizer, the suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short run of every fuzz
# target, then the whole suite, ending with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")"

./tools/scripts/install-deps.sh

build=${QUILLMERE_BUILD_DIR:-build}
jobs=$(nproc)
launcher=()
# Paths below the checkout count as relative, so that a build of another
# checkout (CI's fresh clone) finds the compiler cache warm.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
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
(cd "$build-tsan" && ctest -L animation --no-tests=error --output-on-failure -j "$jobs" | tail -3)

# Without the benchmarks, and without the tests that draw real frames: Mesa
# under ASan is slow and not ours to check. The window tests, which open and
# close windows, check leaks too: they keep Mesa's driver loaded until the
# report, so lsan-mesa.supp can name what the graphics stack and the session
# bus leak by themselves, and every other leak fails the test.
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
configure "$build-asan" -DQUILLMERE_SANITIZE=address,undefined -DQUILLMERE_BENCH=OFF
cmake --build "$build-asan" -j "$jobs"
mesa_leaks=$PWD/tests/support/lsan-mesa.supp
if ! (cd "$build-asan" && export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 &&
  ctest -LE "gui|render" -E "^format$" --output-on-failure -j "$jobs" >ctest.log 2>&1 &&
  LSAN_OPTIONS=suppressions=$mesa_leaks:print_suppressions=0 \
    ctest -L gui --no-tests=error --output-on-failure -j "$jobs" >ctest-gui.log 2>&1); then
  cat "$build-asan/ctest.log" "$build-asan/ctest-gui.log" 2>/dev/null
  exit 1
fi
grep -hE "tests passed|Total Test time" "$build-asan/ctest.log" "$build-asan/ctest-gui.log"

echo "== Fuzzing"
./fuzz.sh 20

echo "== Tests"
cd "$build"
ctest --output-on-failure -j "$jobs"
