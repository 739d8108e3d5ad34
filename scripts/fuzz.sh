#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs each for SECONDS (default 60). Fails on
# any crash, leak, time-out or sanitizer report.
#
#   scripts/fuzz.sh [SECONDS]        e.g. scripts/fuzz.sh 600 for the long run
#
# Environment: ZELK_FUZZ_BUILD (build folder, default build-fuzz),
# ZELK_FUZZ_JOBS (parallel build jobs, default 2). Crash inputs are left in
# the build folder's fuzz-artifacts/; saved regression inputs live in
# tests/fuzz_regressions/<target>/ and are replayed before fuzzing (copy a
# crash input there before fixing it). Seeds: fuzz/seeds/<target>/.
set -euo pipefail

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || (( seconds < 1 )); then
  echo "usage: scripts/fuzz.sh [SECONDS]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZELK_FUZZ_BUILD:-$root/build-fuzz}
jobs=${ZELK_FUZZ_JOBS:-2}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELK_FUZZ=ON -DZELK_SANITIZE=ON -DZELK_BENCH=OFF -DZELK_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_objects fuzz_readers

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"

status=0
for target in fuzz_objects fuzz_readers; do
  corpus=$build/fuzz-corpus/$target
  mkdir -p "$corpus"
  seeds=()
  [[ -d $root/fuzz/seeds/$target ]] && seeds=("$root/fuzz/seeds/$target")
  regressions=$root/tests/fuzz_regressions/$target
  if [[ -d $regressions ]] && compgen -G "$regressions/*" >/dev/null; then
    echo "== $target: replaying $regressions"
    if ! "$build/bin/$target" "$regressions"/*; then
      echo "== $target: a saved regression input fails" >&2
      status=1
      continue
    fi
  fi
  echo "== $target: fuzzing for $seconds s"
  log=$build/$target.log
  if "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
  else
    echo "== $target: FAILED, see $log; inputs in $artifacts" >&2
    tail -n 60 "$log" >&2
    status=1
  fi
done
exit $status
