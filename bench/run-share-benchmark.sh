#!/usr/bin/env bash
# quillmere-batch share of the sample and of the 1,000,000-element cup (all
# 10 records): the time to write each page, its size, and the time from the
# start of its loading to its first frame in headless Chromium (SwiftShader,
# no GPU), a fresh browser each run. Aims: the sample's page at most 2 MB and
# its first frame within 3 s on two cores; the big page at most 60 MB. Uses
# the Release tree of run-benchmarks.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

./tools/scripts/install-deps.sh time

build=${QUILLMERE_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=ON >/dev/null
cmake --build "$build" --target quillmere-samplegen quillmere-batch

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
"$build/tools/quillmere-samplegen" cup "$data/sample"
"$build/tools/quillmere-samplegen" cup "$data/million" --cells 708 707 --records 10

for project in sample million; do
  /usr/bin/time -f "share of the $project: %e s to write, %M KB at most" \
    "$build/batch/quillmere-batch" share "$data/$project/cup.tfc" -o "$data/$project.html"
done
/usr/bin/python3 bench/share_first_frame.py "$data/sample.html" 5
/usr/bin/python3 bench/share_first_frame.py "$data/million.html" 3
