#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) into build-fuzz/,
# writes their seeds with the sample writer and runs every target for
# SECONDS (60 by default), as many at a time as there are cores. Fails on
# any crash, leak, timeout, memory blow-up or sanitizer report; the input
# that did it is kept in build-fuzz/artifacts/. Corpora grow in
# build-fuzz/corpus/ from run to run.
set -euo pipefail
cd "$(dirname "$0")"

seconds=${1:-60}
case $seconds in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

./tools/scripts/install-deps.sh

build=${QUILLMERE_FUZZ_BUILD_DIR:-build-fuzz}
jobs=$(nproc)
source tools/scripts/configure.sh
targets=(record tool project config tokenizer record_table measurement)

# Only the targets and the libraries they read with: the others would add a
# third to this build's time for clang's warnings alone.
configure "$build" -O1 -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUILLMERE_FUZZ=ON \
  -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=OFF -DQUILLMERE_GUI=OFF
cmake --build "$build" -j "$jobs" --target fuzz_all
echo "Fuzz targets configured and built in $SECONDS s"

root=$(pwd)/$build
mkdir -p "$root/logs" "$root/tmp"
export TMPDIR=$root/tmp
# intercept_tls_get_addr=0: as in test.sh, spares the leak check a wild TLS range.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

run() { # target
  local target=$1
  local extra=()
  # Short tool files are read in pieces of 9999 characters: inputs must be
  # allowed to reach past one.
  [ "$target" = tool ] && extra=(-max_len=32768)
  mkdir -p "$root/corpus/$target" "$root/artifacts/$target"
  "$root/fuzz/fuzz_$target" "$root/corpus/$target" "$root/fuzz/seeds/$target" "${extra[@]}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$root/artifacts/$target/" >"$root/logs/$target.log" 2>&1
}

# Each run leaves its exit status in a file: bash may already have reaped a
# finished run while polling, and "wait PID" then answers 127.
run_keeping_status() { # target
  local code=0
  run "$1" || code=$?
  echo "$code" >"$root/logs/$1.status"
}

echo "== Fuzzing ${targets[*]} for ${seconds} s each"
status=()
rm -f "$root"/logs/*.status
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    sleep 1
  done
  run_keeping_status "$target" &
done
wait
failed=0
for i in "${!targets[@]}"; do
  status[$i]=$(cat "$root/logs/${targets[$i]}.status" 2>/dev/null || echo 127)
done

for i in "${!targets[@]}"; do
  target=${targets[$i]}
  log=$root/logs/$target.log
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: //p' "$log" | tail -1)
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  stats=$(echo "$done_line" | sed -n 's/^\(#[0-9]*\)[[:space:]]*DONE[[:space:]]*\(cov: [0-9]* ft: [0-9]* corp: [^ ]*\).*/\1 DONE \2/p')
  # A report may also come from a sanitizer that did not stop the run.
  if [ "${status[$i]}" -ne 0 ] || grep -qE 'ERROR: |runtime error:|WARNING: .*Sanitizer' "$log"; then
    failed=1
    echo "$target: FAILED (exit ${status[$i]}), see $log"
    grep -E 'quillmere fuzz:|ERROR: |runtime error:|SUMMARY:|Test unit written' "$log" | head -6 | sed 's/^/  /' || true
  else
    echo "$target: ${runs:-0} executions in ${time:-?} s (${stats:-no final stats})"
  fi
done
exit "$failed"
