#!/usr/bin/env bash
# Installs what the build needs and is missing (Debian packages only), then
# configures and builds into build/ (and build-asan/ with --asan); with
# --only=TARGET, only that target and what it needs (the demo: --only=zelk).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

source "$top/scripts/install-missing.sh"
install_missing cmake g++ make python3 libgtest-dev libgmock-dev libbenchmark-dev libopencv-dev nlohmann-json3-dev libstb-dev clang libclang-rt-14-dev

jobs=$(nproc 2>/dev/null || echo 2)
asan=0
only=()
for arg in "$@"; do
  case $arg in
    --asan) asan=1 ;;
    --only=*) only+=(--target "${arg#--only=}") ;;
    *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done
build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S "$top" -B "$top/$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$top/$dir" -j"$jobs" "${only[@]}"
}
build build
if [ "$asan" = 1 ]; then
  build build-asan -DZELK_SANITIZE=ON -DZELK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
