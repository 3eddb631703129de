#!/usr/bin/env bash
# Measured points and the comparison by position as whole processes, in one
# run beside the whole `report sheet` of the same 1,000,000-element project
# (the cup sample of 708 x 707 cells, its last record):
#  - measure with 10,000 points, and that less report sheet (opening);
#  - CloudCompare's command line computing the distances of the same points
#    to the same mesh, loaded as PLY (its whole process);
#  - values --minus --by-position against the cup of 707 x 708 cells (another
#    mesh of as many elements), less report sheet.
# Best wall time and peak memory of three runs each. Run by run-benchmarks.sh,
# or alone with the Release tree of QUILLMERE_BENCH_BUILD.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/scripts/install-deps.sh python3 python3-vtk9 time cloudcompare

build=${QUILLMERE_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=ON >/dev/null
cmake --build "$build" --target quillmere-batch quillmere-samplegen bench_measure

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
"$build/tools/quillmere-samplegen" cup "$data/a" --cells 708 707 --records 2
"$build/tools/quillmere-samplegen" cup "$data/b" --cells 707 708 --records 2
batch="$build/batch/quillmere-batch"
"$batch" vtk "$data/a/cup.tfc" --to "$data/vtk" --records last --units si >/dev/null
/usr/bin/python3 bench/measure_inputs.py "$data/vtk/cup_2.vtu" 10000 "$data/points.csv" "$data/points.xyz" \
  "$data/mesh.ply"

# The library parts on their own.
"$build/bench/bench_measure"

whole_runs() { # command...: "seconds kilobytes;" of three runs
  local runs=""
  for _ in 1 2 3; do
    runs+="$( (/usr/bin/time -f "%e %M" "$@" >/dev/null 2>"$data/stderr" || true); tail -1 "$data/stderr");"
  done
  echo "$runs"
}
report_runs=$(whole_runs "$batch" report sheet "$data/a/cup.tfc" --units si)
measure_runs=$(whole_runs "$batch" measure "$data/a/cup.tfc" --points "$data/points.csv" --units si \
  -o "$data/table.csv")
compare_runs=$(cd "$data" && QT_QPA_PLATFORM=offscreen whole_runs CloudCompare -SILENT -AUTO_SAVE OFF \
  -C_EXPORT_FMT ASC -O points.xyz -O mesh.ply -C2M_DIST -SAVE_CLOUDS)
position_runs=$(whole_runs "$batch" values "$data/a/cup.tfc" --quantity 1 --minus "$data/b/cup.tfc" \
  --by-position)
"$batch" measure "$data/a/cup.tfc" --points "$data/points.csv" --units si -o "$data/table.csv" | head -1
/usr/bin/python3 - "$report_runs" "$measure_runs" "$compare_runs" "$position_runs" <<'PY'
import sys
def best(runs):
    values = [[float(v) for v in run.split()] for run in runs.split(";") if run.strip()]
    return min(v[0] for v in values), max(v[1] for v in values) / 1024.0  # kilobytes from time
report, measure, compare, position = (best(runs) for runs in sys.argv[1:5])
print(f"report sheet, 1,000,000 elements, whole process: {report[0]:.2f} s, {report[1]:.0f} MB")
print(f"measure, 10,000 points: {measure[0]:.2f} s, {measure[1]:.0f} MB; beyond opening "
      f"{measure[0] - report[0]:.2f} s (at most 1 s)")
print(f"CloudCompare -C2M_DIST, same points and mesh (PLY): {compare[0]:.2f} s, {compare[1]:.0f} MB; "
      f"measure/CloudCompare {measure[0] / compare[0]:.2f}")
print(f"values --minus --by-position, two 1,000,000-element sheets: {position[0]:.2f} s, {position[1]:.0f} MB; "
      f"beyond opening one {position[0] - report[0]:.2f} s (at most 2 s), beyond opening both "
      f"{position[0] - 2 * report[0]:.2f} s")
PY
