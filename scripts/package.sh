#!/usr/bin/env bash
# Builds the Max externals for Windows (x64) and macOS (universal arm64 +
# x86_64) from the same sources, checks each of them, and lays out the Max
# package in dist/zelk/ (package-info.json with its filelist, externals/,
# help/ with a help patch per object, media/ with the clip they play, docs/refpages/zelk-ref/ with a
# reference page per object, extras/ with the home patch, examples/ with
# four example patches, README.md,
# License.md (MIT) beside the SDK base's notice, icon.png), zipped as
# dist/zelk-<version>.zip. Also lays out dist/windows/:
# zelk.exe with the embedded host as MaxAPI.dll and jitlib.dll, which runs the
# package's Windows externals without Max (scripts/wine-tests.sh runs it).
# Installs what is missing (Debian packages; the zig compiler from the npm
# registry, for the macOS SDK).
#
# Environment: ZELK_PACKAGE_JOBS (parallel build jobs, default: cores).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${ZELK_PACKAGE_JOBS:-$(nproc 2>/dev/null || echo 2)}

# Help patches and reference pages, one per object, checked before the slow
# builds; the pages are made by zelk refpage --out docs/refpages/zelk-ref.
shopt -s nullglob
helps=("$top"/help/*.maxhelp)
pages=("$top"/docs/refpages/zelk-ref/*.maxref.xml)
shopt -u nullglob
if [ "${#helps[@]}" -ne 20 ] || [ "${#pages[@]}" -ne 20 ]; then
  echo "package.sh: 20 help patches (help/*.maxhelp) and 20 reference pages" \
    "(docs/refpages/zelk-ref/*.maxref.xml) expected; found ${#helps[@]} and ${#pages[@]}" >&2
  exit 1
fi

source "$top/scripts/install-missing.sh"
install_missing cmake make python3 libstb-dev g++-mingw-w64-x86-64-posix clang-14 lld-14 llvm-14 npm:npm
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
mkdir -p "$package/help" "$package/docs/refpages/zelk-ref"
cp "${helps[@]}" "$package/help/"
cp "${pages[@]}" "$package/docs/refpages/zelk-ref/"
# The clip the help patches play, drawn by the Linux runner.
mkdir -p "$package/media"
[ -x "$top/build/bin/zelk" ] || "$top/scripts/setup.sh" --only=zelk
"$top/build/bin/zelk" clip "$package/media/zelk-clip.mov"
cp "$top/docs/help-zelk.blobs.sort.png" "$package/media/"  # the README's picture
# The home patch (package-info.json's homepatcher, and Max's Extras menu)
# and the examples.
mkdir -p "$package/extras" "$package/examples"
cp "$top/help/zelk-home.maxpat" "$package/extras/"
cp "$top"/examples/*.maxpat "$package/examples/"
# Max reads what a package holds from package-info.json's filelist: each
# top-level folder with the paths of its files (an .mxo bundle is one entry).
python3 - "$package" <<'EOF'
import json, pathlib, sys
package = pathlib.Path(sys.argv[1])
info_path = package / "package-info.json"
info = json.loads(info_path.read_text(encoding="utf-8"))
filelist = {}
for name in ("externals", "help", "media", "docs", "examples", "extras"):
    folder = package / name
    if not folder.is_dir():
        continue
    entries = []
    for path in sorted(folder.rglob("*")):
        rel = path.relative_to(folder)
        if any(folder_name.endswith(".mxo") for folder_name in rel.parts[:-1]):
            continue
        if path.suffix == ".mxo" or path.is_file():
            entries.append(rel.as_posix())
    filelist[name] = entries
info["filelist"] = filelist
info_path.write_text(json.dumps(info, indent=2, ensure_ascii=False) + "\n", encoding="utf-8")
EOF
# Ours (MIT), and the notice of the SDK base the externals are built against.
cp "$top/package/License.md" "$package/License.md"
cp "$top/third_party/max-sdk-base/LICENSE.md" "$package/License-max-sdk-base.md"
cp "$top/package/icon.png" "$package/icon.png"

python3 "$top/scripts/check_externals.py" "$package/externals" --expect 20
rm -rf "$dist/windows"
mkdir -p "$dist/windows"
cp "$top"/build-windows/bin/{zelk.exe,jitlib.dll,MaxAPI.dll,zelk_abi_check.exe} "$dist/windows/"
(cd "$dist" && python3 -m zipfile -c "zelk-$version.zip" zelk)
echo "== $package ($(du -sh "$package" | cut -f1)) and $dist/zelk-$version.zip ($(du -h "$dist/zelk-$version.zip" | cut -f1))"
