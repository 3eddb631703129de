#!/usr/bin/env bash
# Builds a Release tree, writes the 1,000,000-element record and its VTU twin,
# runs our benchmarks and the VTK pipeline on the same mesh in one run, and
# prints the ratio of the two read-and-derive times.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/scripts/install-deps.sh python3-vtk9

build=${QUILLMERE_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=ON >/dev/null
cmake --build "$build" --target bench_model quillmere-samplegen

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export QUILLMERE_BENCH_DIR=$data
"$build/tools/quillmere-samplegen" grid "$data/quillmere-bench-708x707.000" 708 707
"$build/tools/quillmere-samplegen" vtu "$data/mesh.vtu" 708 707

# The first read of a fresh process, then everything else in one process.
"$build/bench/bench_model" --benchmark_filter=BM_FirstReadAndDerive
"$build/bench/bench_model" --benchmark_filter=-BM_FirstReadAndDerive \
  --benchmark_out="$data/model.json" --benchmark_out_format=json "$@"
vtk_line=$(/usr/bin/python3 bench/vtk_read_derive.py "$data/mesh.vtu" 5)
echo "$vtk_line"

/usr/bin/python3 - "$data/model.json" "$vtk_line" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
ours = next(b for b in runs if b["name"].startswith("BM_ReadAndDeriveRecord"))
ours_s = ours["real_time"] / 1000.0  # milliseconds
vtk_best = float(sys.argv[2].split("best=")[1].split()[0])
print(f"read+derive 1,000,000 elements: ours {ours_s:.3f} s, VTK {vtk_best:.3f} s, "
      f"ratio {ours_s / vtk_best:.2f}, peak memory {ours['peak_MB']:.0f} MB")
PY
