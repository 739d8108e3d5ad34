#!/usr/bin/env bash
# Builds the Max externals for Windows (x64) and macOS (universal arm64 +
# x86_64) from the same sources, checks each of them, and lays out the Max
# package in dist/zelk/ (package-info.json, externals/, README.md, license),
# zipped as dist/zelk-<version>.zip. Also lays out dist/windows/: zelk.exe
# with the embedded host as MaxAPI.dll and jitlib.dll, which runs the
# package's Windows externals without Max (scripts/wine-tests.sh runs it).
# Installs what is missing (Debian packages; the zig compiler from the npm
# registry, for the macOS SDK).
#
# Environment: ZELK_PACKAGE_JOBS (parallel build jobs, default: cores).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${ZELK_PACKAGE_JOBS:-$(nproc 2>/dev/null || echo 2)}

source "$top/scripts/install-missing.sh"
install_missing cmake make python3 g++-mingw-w64-x86-64-posix clang-14 lld-14 llvm-14 npm:npm
"$top/scripts/macos-sdk.sh"

build() {  # build DIR TOOLCHAIN
  cmake -S "$top" -B "$top/$1" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/$2.cmake" >/dev/null
  cmake --build "$top/$1" -j"$jobs"
}
start=$SECONDS
build build-windows windows-x64
build build-macos macos
echo "== externals built in $((SECONDS - start)) s"

version=$(sed -n 's/^project(zelk VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
dist=$top/dist
package=$dist/zelk
rm -rf "$package" "$dist/zelk-"*.zip
mkdir -p "$package/externals"
cp "$top"/build-windows/externals/*.mxe64 "$package/externals/"
cp -R "$top"/build-macos/externals/*.mxo "$package/externals/"
sed "s/@VERSION@/$version/" "$top/package/package-info.json.in" >"$package/package-info.json"
cp "$top/package/README.md" "$package/README.md"
cat "$top/package/license" "$top/third_party/max-sdk-base/LICENSE.md" >"$package/license"

python3 "$top/scripts/check_externals.py" "$package/externals" --expect 20
rm -rf "$dist/windows"
mkdir -p "$dist/windows"
cp "$top"/build-windows/bin/{zelk.exe,jitlib.dll,MaxAPI.dll,zelk_abi_check.exe} "$dist/windows/"
(cd "$dist" && python3 -m zipfile -c "zelk-$version.zip" zelk)
echo "== $package ($(du -sh "$package" | cut -f1)) and $dist/zelk-$version.zip ($(du -h "$dist/zelk-$version.zip" | cut -f1))"
