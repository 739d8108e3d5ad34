#!/bin/sh
# zelk.exe under Wine, for the runner tests:
#   ZELK_RUNNER=tests/runner/wine-runner.sh build/tests/test_runner
# $ZELK_EXE names the zelk.exe to run (default: the one of build-windows/).
here=$(cd "$(dirname "$0")" && pwd)
exe=${ZELK_EXE:-$here/../../build-windows/bin/zelk.exe}
# A zelk.exe that Wine leaves hanging (it happened once, at a new prefix's
# start) is stopped after two minutes and run once more; a second hang fails.
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
for attempt in 1 2; do
  status=0
  timeout 120 /usr/lib/wine/wine64 "$exe" "$@" || status=$?
  [ "$status" = 124 ] || exit "$status"
  echo "wine-runner.sh: zelk.exe hung under Wine for 120 s (attempt $attempt)" >&2
done
exit 124
