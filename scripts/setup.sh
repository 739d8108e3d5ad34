#!/usr/bin/env bash
# Installs what the build needs and is missing (Debian packages only), then
# configures and builds into build/ (and build-asan/ with --asan).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

source "$top/scripts/install-missing.sh"
install_missing cmake g++ make python3 libgtest-dev libgmock-dev libbenchmark-dev libopencv-dev nlohmann-json3-dev clang libclang-rt-14-dev

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S "$top" -B "$top/$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$top/$dir" -j"$jobs"
}
build build
if [ "${1:-}" = "--asan" ]; then
  build build-asan -DZELK_SANITIZE=ON -DZELK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
