#!/usr/bin/env bash
# quillmere-batch vtk of the 1,000,000-element record against VTK's own
# writer from Python on the same grid (both synced and renamed into place),
# into a new folder and replacing the files of an earlier export, and the
# ratios of the medians. Uses the Release tree of run-benchmarks.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QUILLMERE_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=ON >/dev/null
cmake --build "$build" --target bench_vtk

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export QUILLMERE_BENCH_DIR=$data
"$build/bench/bench_vtk" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$data/vtk.json" --benchmark_out_format=json
grid="$data/quillmere-bench-vtk/quillmere-bench-project_2.vtu"
new_line=$(/usr/bin/python3 bench/vtk_write.py "$grid" 7)
replacing_line=$(/usr/bin/python3 bench/vtk_write.py "$grid" 7 replacing)
printf '%s\n%s\n' "$new_line" "$replacing_line"
/usr/bin/python3 bench/vtk_write.py "$grid" 5 nosync
/usr/bin/python3 - "$data/vtk.json" "$new_line" "$replacing_line" <<'PY'
import json, sys
runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
for name, line, what in (("BM_VtkLastRecord", sys.argv[2], "into a new folder"),
                         ("BM_VtkLastRecordReplacing", sys.argv[3], "replacing the files")):
    ours = runs[name + "_median"]
    ours_s = ours["real_time"] / 1000.0  # milliseconds
    vtk_s = float(line.split("median=")[1].split()[0])
    print(f"vtk of 1,000,000 elements ({ours['MB']:.0f} MB) {what}: ours {ours_s:.3f} s (goal < 1 s), "
          f"VTK's writer {vtk_s:.3f} s, ratio of the medians {ours_s / vtk_s:.2f}")
PY
