#!/usr/bin/env bash
# Runs the real Windows externals without Max, under Wine: the check that
# the host's headers and the Max SDK's agree on Win64, then every object
# and chain through dist/windows/zelk.exe and dist/zelk/externals/*.mxe64
# beside the Linux runner and plug-ins (same prints, same saved matrices),
# then the runner's own tests against zelk.exe. Needs scripts/package.sh
# and the Linux build (scripts/setup.sh) first; installs Wine if missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/install-missing.sh"
install_missing wine64 python3
export WINEPREFIX=${WINEPREFIX:-$top/build-deps/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
wine=/usr/lib/wine/wine64
windows=$top/dist/windows
mkdir -p "$WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1 || true
# A new prefix goes on setting itself up after wineboot returns; a zelk.exe
# started meanwhile once hung. Wait until Wine is idle.
/usr/lib/wine/wineserver64 -w || true

start=$SECONDS
echo "== Win64 layouts of the host's headers and the Max SDK's"
"$wine" "$windows/zelk_abi_check.exe"
echo "== every object under Wine with the real .mxe64, beside Linux"
# zelk.exe cuts its parallel parts awkwardly; Linux cuts them evenly.
# wine-runner.sh runs once more what Wine failed to run; it notes each time.
export ZELK_WINE_NOTES=$top/build/wine-retries.txt
rm -f "$ZELK_WINE_NOTES"
trap 'if [ -s "$ZELK_WINE_NOTES" ]; then echo "== Wine runs tried twice:"; cat "$ZELK_WINE_NOTES"; fi' EXIT
python3 "$top/scripts/compare_runners.py" --reference "$top/build/bin/zelk" \
  --candidate "env ZELK_PARALLEL_CUTS=awkward ZELK_PLUGIN_DIR=$top/dist/zelk/externals ZELK_EXE=$windows/zelk.exe $top/tests/runner/wine-runner.sh"
echo "== the runner's tests against zelk.exe under Wine"
# Those that read PNG files or videos, or run the demo, need OpenCV, which
# the Windows build does not have.
needs_opencv=Demo.*:Runner.LabelsAPngAndSavesTheLabelImage:Runner.ImagesBecomeOneOrFourPlanes
needs_opencv+=:Sources.AVideoIsThresholdedAndItsDiscIsFollowed:Sources.ADamagedVideoFailsClearly
needs_opencv+=:UserPatch.RenderDrawsWhatItsWindowShows:HelpRender.*
ZELK_RUNNER=$top/tests/runner/wine-runner.sh ZELK_EXE=$windows/zelk.exe \
  ZELK_PLUGIN_DIR=$top/dist/zelk/externals "$top/build/tests/test_runner" --gtest_filter="-$needs_opencv"
echo "== Wine steps took $((SECONDS - start)) s"
