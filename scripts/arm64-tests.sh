#!/usr/bin/env bash
# The host, the plug-ins and the tests that need no OpenCV, cross-built for
# arm64 Linux into build-arm64/ and run under qemu-user: the portable
# kernels, as arm64 Macs run them, with arm64's own floating point and
# unsigned char. Installs what is missing (Debian packages only).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-arm64

source "$top/scripts/install-missing.sh"
install_missing cmake make g++-aarch64-linux-gnu qemu-user-static googletest

echo "== arm64 tests under qemu"
t0=$SECONDS
cmake -S "$top" -B "$build" --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/linux-arm64.cmake" >/dev/null
t1=$SECONDS
cmake --build "$build" -j2
t2=$SECONDS
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
ctest --test-dir "$build" -j2 --output-on-failure 2>&1 | tee "$log" || status=$?
echo "== the running average again, its parallel parts cut awkwardly"
ZELK_PARALLEL_CUTS=awkward ctest --test-dir "$build" -j2 --output-on-failure -R 'Ravg|Parallel' \
  2>&1 | tail -n 3 || status=$?
t3=$SECONDS
echo "arm64: configure $((t1 - t0)) s, build $((t2 - t1)) s, tests $((t3 - t2)) s"
grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || echo "ctest gave no summary"
exit $status
