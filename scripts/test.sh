#!/usr/bin/env bash
# The whole test suite from a fresh machine: set-up and build, the tests,
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer (with
# the host's parallel calculation cut at awkward places), the
# computations' tests on arm64 under qemu, the Max package with every Windows
# and macOS external checked, the Windows externals run under Wine beside the
# Linux plug-ins, and a bounded fuzz run of every fuzz target.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" --asan
jobs=$(nproc 2>/dev/null || echo 2)

echo "== tests"
ctest --test-dir "$top/build" -j"$jobs" --output-on-failure
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer, the parallel parts cut awkwardly"
ZELK_PARALLEL_CUTS=awkward ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$top/build-asan" -j"$jobs" --output-on-failure
echo "== the computations and their tests on arm64, under qemu"
"$top/scripts/arm64-tests.sh"
echo "== Max externals for Windows and macOS, packaged and checked"
"$top/scripts/package.sh"
echo "== the Windows externals under Wine"
"$top/scripts/wine-tests.sh"
if [ -x "$top/scripts/fuzz.sh" ]; then
  echo "== fuzzing"
  "$top/scripts/fuzz.sh" "${ZELK_FUZZ_SECONDS:-60}"
fi
