#!/bin/sh
# zelk.exe under Wine, for the runner tests:
#   ZELK_RUNNER=tests/runner/wine-runner.sh build/tests/test_runner
# $ZELK_EXE names the zelk.exe to run (default: the one of build-windows/).
here=$(cd "$(dirname "$0")" && pwd)
exe=${ZELK_EXE:-$here/../../build-windows/bin/zelk.exe}
WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d} \
  exec /usr/lib/wine/wine64 "$exe" "$@"
