# Sourced by run.sh, test.sh and fuzz.sh from the checkout's root: how every
# build folder is configured. run.sh's objects are then the ones test.sh
# finds built, whichever of the two runs first.

# Paths below the checkout count as relative, so that a build of another
# checkout (CI's fresh clone) finds the compiler cache warm.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

# configure FOLDER OPTIMISATION [CMAKE OPTIONS...]
# Line tables are all a failing test's or a sanitizer's stack needs; the
# sanitizers' own advice is -O1, the other trees take -O2.
configure() {
  local folder=$1 level=$2
  shift 2
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMERE_WERROR=ON "${launcher[@]}" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="$level -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$level -g1 -DNDEBUG" \
    "$@" >/dev/null
}
