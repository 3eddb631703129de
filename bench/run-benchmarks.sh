#!/usr/bin/env bash
# Builds a Release tree, writes the 1,000,000-element record and its VTU twin,
# runs our benchmarks and the VTK pipeline on the same mesh in one run, and
# prints the ratios in summary lines: read and derive, the cut, the still
# frame, the whole report sheet, the growth from 1,000,000 to 4,000,000
# elements, measured points and the vtk writer.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/scripts/install-deps.sh python3 python3-vtk9 time cloudcompare

build=${QUILLMERE_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=ON >/dev/null
cmake --build "$build" --target bench_model bench_colour bench_cut bench_scene bench_offscreen bench_app bench_cutwindow bench_media bench_mesh_vtu quillmere-samplegen quillmere-batch

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export QUILLMERE_BENCH_DIR=$data
"$build/tools/quillmere-samplegen" grid "$data/quillmere-bench-708x707.000" 708 707
"$build/bench/bench_mesh_vtu" "$data/mesh.vtu" 708 707

# The first read of a fresh process, then everything else in one process.
"$build/bench/bench_model" --benchmark_filter=BM_FirstReadAndDerive
"$build/bench/bench_model" --benchmark_filter=-BM_FirstReadAndDerive \
  --benchmark_out="$data/model.json" --benchmark_out_format=json "$@"
"$build/bench/bench_colour"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_scene"
xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bench/bench_app"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_cutwindow"
"$build/bench/bench_offscreen"
"$build/bench/bench_media"
"$build/bench/bench_cut" --benchmark_out="$data/cut.json" --benchmark_out_format=json
vtk_line=$(/usr/bin/python3 bench/vtk_read_derive.py "$data/mesh.vtu" 5)
echo "$vtk_line"
vtk_cut_line=$(/usr/bin/python3 bench/vtk_cut.py "$data/mesh.vtu" 5 0.3)
echo "$vtk_cut_line"

/usr/bin/python3 - "$data/model.json" "$vtk_line" "$data/cut.json" "$vtk_cut_line" <<'PY'
import json, sys
def best(line):
    return float(line.split("best=")[1].split()[0])
runs = json.load(open(sys.argv[1]))["benchmarks"]
ours = next(b for b in runs if b["name"].startswith("BM_ReadAndDeriveRecord"))
ours_s = ours["real_time"] / 1000.0  # milliseconds
print(f"read+derive 1,000,000 elements: ours {ours_s:.3f} s, VTK {best(sys.argv[2]):.3f} s, "
      f"ratio {ours_s / best(sys.argv[2]):.2f}, peak memory {ours['peak_MB']:.0f} MB")
step = next(b for b in runs if b["name"].startswith("BM_NavigationStep"))["real_time"]
summary = next(b for b in runs if b["name"].startswith("BM_FormingSummary"))["real_time"]
print(f"forming summary of 1,000,000 elements: {summary:.1f} ms, a record step {step:.1f} ms, "
      f"ratio {summary / step:.2f}")
cuts = json.load(open(sys.argv[3]))["benchmarks"]
cut = next(b for b in cuts if b["name"].startswith("BM_CutBetweenNodes"))
cut_s = cut["real_time"] / 1000.0
print(f"cut through the middle ({cut['name']}): ours {cut_s * 1000:.1f} ms, "
      f"VTK cutter+stripper {best(sys.argv[4]) * 1000:.1f} ms, ratio {cut_s / best(sys.argv[4]):.2f}")
PY

# The still frame of the default view beside VTK's of the same mesh and look,
# the frame turned to show the sheet's back faces, and the bare triangles
# that bound it (one colour, no lighting, blending or offset).
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_scene" --benchmark_filter='BM_StillFrame|BM_BareFrame' \
  --benchmark_repetitions=3 --benchmark_out="$data/scene.json" --benchmark_out_format=json >/dev/null
vtk_frame_line=$(xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/python3 bench/vtk_still_frame.py "$data/mesh.vtu" 5)
echo "$vtk_frame_line"
# VTK's opaque frame of the same mesh, for reference.
xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/python3 bench/vtk_still_frame.py "$data/mesh.vtu" 5 1.0
/usr/bin/python3 - "$data/scene.json" "$vtk_frame_line" <<'PY'
import json, statistics, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
def median(name):
    return statistics.median(b["real_time"] for b in runs
                             if b["name"].startswith(name + "/") and b.get("run_type") == "iteration")
ours_ms, back_ms, bare_ms = median("BM_StillFrame"), median("BM_StillFrameBack"), median("BM_BareFrame")
vtk_ms = float(sys.argv[2].split("best=")[1].split()[0]) * 1000.0
print(f"still frame 1024x768 of 1,000,000 elements: ours {ours_ms:.0f} ms, VTK {vtk_ms:.0f} ms, "
      f"ratio {ours_ms / vtk_ms:.2f}; back faces {back_ms:.0f} ms, ratio to the front {back_ms / ours_ms:.2f} "
      f"(goal <= 1.1); bare triangles {bare_ms:.0f} ms, ratio {ours_ms / bare_ms:.2f}")
PY

# The whole batch process writing the sheet report of the two-record project
# the benchmarks above wrote (BenchSupport's MillionElementProject), against a
# whole VTK process reading the same mesh and deriving its areas and normals:
# best time and peak memory of three runs each.
project="$data/quillmere-bench-project.tfc"
test -f "$project"
whole_runs() { # command...
  local runs=""
  for _ in 1 2 3; do
    runs+="$(/usr/bin/time -f "%e %M" "$@" 2>&1 >/dev/null | tail -1);"
  done
  echo "$runs"
}
batch_runs=$(whole_runs "$build/batch/quillmere-batch" report sheet "$project")
vtk_runs=$(whole_runs /usr/bin/python3 bench/vtk_read_derive.py "$data/mesh.vtu" 1)
/usr/bin/python3 bench/vtk_read_derive.py "$data/mesh.vtu" 5 load
/usr/bin/python3 - "$batch_runs" "$vtk_runs" <<'PY'
import sys
def best(runs):
    values = [[float(v) for v in run.split()] for run in runs.split(";") if run.strip()]
    return min(v[0] for v in values), max(v[1] for v in values) / 1024.0  # kilobytes from time
ours_s, ours_mb = best(sys.argv[1])
vtk_s, vtk_mb = best(sys.argv[2])
print(f"report sheet, 1,000,000 elements, whole processes: ours {ours_s:.2f} s, VTK read+derive {vtk_s:.2f} s, "
      f"ratio {ours_s / vtk_s:.2f}; peak memory ours {ours_mb:.0f} MB, VTK {vtk_mb:.0f} MB, "
      f"ratio {ours_mb / vtk_mb:.2f}")
PY

# How the costs grow with the mesh: the same project at 1,000,000 and at
# 4,000,000 elements (1415 x 1414 cells, written by the sample writer into a
# folder of its own): opening to the first frame, a record step, the still
# frame and the peak memory of the whole report sheet.
growth() { # cells folder label
  mkdir -p "$2"
  QUILLMERE_BENCH_CELLS=$1 QUILLMERE_BENCH_DIR=$2 xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bench/bench_app" \
    --benchmark_filter=BM_OpenUntilFirstFrame --benchmark_out="$data/growth-$3-app.json" \
    --benchmark_out_format=json >/dev/null
  QUILLMERE_BENCH_CELLS=$1 QUILLMERE_BENCH_DIR=$2 xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_scene" \
    --benchmark_filter='BM_RecordStep|BM_StillFrame/' --benchmark_out="$data/growth-$3-scene.json" \
    --benchmark_out_format=json >/dev/null
  whole_runs "$build/batch/quillmere-batch" report sheet "$2/quillmere-bench-project.tfc" >"$data/growth-$3-report.txt"
}
growth 708x707 "$data" 1m
growth 1415x1414 "$data/growth-4m" 4m
rm -rf "$data/growth-4m"
/usr/bin/python3 - "$data" <<'PY'
import json, os, sys
data = sys.argv[1]
def time_ms(label, program, name):
    runs = json.load(open(os.path.join(data, f"growth-{label}-{program}.json")))["benchmarks"]
    return next(b["real_time"] for b in runs if b["name"].startswith(name))
def peak_mb(label):
    runs = open(os.path.join(data, f"growth-{label}-report.txt")).read().split(";")
    return max(float(run.split()[1]) for run in runs if run.strip()) / 1024.0
rows = [("opening to the first frame", "ms", lambda l: time_ms(l, "app", "BM_OpenUntilFirstFrame")),
        ("record step", "ms", lambda l: time_ms(l, "scene", "BM_RecordStep")),
        ("still frame", "ms", lambda l: time_ms(l, "scene", "BM_StillFrame/")),
        ("report sheet peak memory", "MB", peak_mb)]
for what, unit, figure in rows:
    small, large = figure("1m"), figure("4m")
    print(f"growth from 1,000,000 to 4,000,000 elements, {what}: {small:.0f} {unit} -> {large:.0f} {unit}, "
          f"ratio {large / small:.2f} (goal <= 4.4)")
PY

# Measured points (measure, against CloudCompare's -C2M_DIST) and the
# comparison by position, whole processes beside the whole report sheet.
QUILLMERE_BENCH_BUILD="$build" ./bench/run-measure-benchmark.sh

# quillmere-batch vtk against VTK's own writer on the same grid.
QUILLMERE_BENCH_BUILD="$build" ./bench/run-vtk-benchmark.sh
