#!/usr/bin/env bash
# quillmere-batch gltf of the 1,000,000-element record against VTK's own glTF
# exporter from Python on the same mesh (both into an emptied folder, their
# files synced), and the ratios of the medians, of the processes' user and
# system times (which the load of a shared machine sways less) and of the
# file sizes. Uses the Release tree of run-benchmarks.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QUILLMERE_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=ON >/dev/null
cmake --build "$build" --target bench_gltf quillmere-batch

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export QUILLMERE_BENCH_DIR=$data
"$build/bench/bench_gltf" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$data/gltf.json" --benchmark_out_format=json
# VTK reads the same record, written by our own .vtu writer.
DISPLAY= "$build/batch/quillmere-batch" vtk "$data/quillmere-bench-project.tfc" --to "$data/vtu" --records last
vtk_line=$(DISPLAY= /usr/bin/python3 bench/vtk_gltf_export.py "$data/vtu/quillmere-bench-project_2.vtu" 5)
echo "$vtk_line"
# The whole process, reading the record included, for reference.
/usr/bin/time -f "quillmere-batch gltf, the whole process: %e s, peak %M kB" \
  "$build/batch/quillmere-batch" gltf "$data/quillmere-bench-project.tfc" -o "$data/whole.glb"
/usr/bin/python3 - "$data/gltf.json" "$vtk_line" <<'PY'
import json, sys
runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
ours = runs["BM_GltfLastRecord_median"]
ours_s = ours["real_time"] / 1000.0  # milliseconds
vtk_s = float(sys.argv[2].split("median=")[1].split()[0])
vtk_mb = int(sys.argv[2].split("bytes=")[1]) / 1e6
vtk_process = float(sys.argv[2].split("process=")[1].split()[0])
ours_process = ours["process_ms"] / 1000.0
print(f"gltf of 1,000,000 elements: ours {ours_s:.3f} s, {ours['MB']:.1f} MB; VTK's exporter {vtk_s:.3f} s, "
      f"{vtk_mb:.1f} MB; ratio of the medians {ours_s / vtk_s:.2f} (goal <= 0.3), of the sizes "
      f"{ours['MB'] / vtk_mb:.2f} (goal <= 1); user + system time {ours_process:.3f} s against "
      f"{vtk_process:.3f} s, ratio {ours_process / vtk_process:.2f}")
PY
