#!/bin/sh
# zelk.exe under Wine, for the runner tests and the platform comparison:
#   ZELK_RUNNER=tests/runner/wine-runner.sh build/tests/test_runner
# $ZELK_EXE names the zelk.exe to run (default: the one of build-windows/).
#
# Two failures of Wine, not of zelk.exe, are run once more: a zelk.exe that
# Wine leaves hanging (it happened once, at a new prefix's start; stopped
# after two minutes), and Wine exiting with status 1 before the program
# printed anything (once in CI, mid-run), a status zelk.exe never gives: it
# exits 0 or 2. A second failure stands. Each retry is noted, with what Wine
# printed, on standard error, or appended to the file $ZELK_WINE_NOTES when
# that is set, so that a test reading the runner's standard error sees only
# the run that counted. A crash, which Wine ends with status 0 after
# winedbg's report, is made a failure (status 139, as a shell reports one).
here=$(cd "$(dirname "$0")" && pwd)
exe=${ZELK_EXE:-$here/../../build-windows/bin/zelk.exe}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
note() { if [ -n "${ZELK_WINE_NOTES:-}" ]; then cat >>"$ZELK_WINE_NOTES"; else cat >&2; fi; }
caught=$(mktemp -d) || exit 2
trap 'rm -rf "$caught"' EXIT
for attempt in 1 2; do
  status=0
  timeout 120 /usr/lib/wine/wine64 "$exe" "$@" >"$caught/out" 2>"$caught/err" || status=$?
  if [ "$status" = 124 ]; then
    why="hung under Wine for 120 s"
  elif [ "$status" = 1 ] && [ ! -s "$caught/out" ]; then
    why="did not run under Wine (status 1, nothing printed)"
  else
    break
  fi
  [ "$attempt" = 2 ] && break
  {
    echo "wine-runner.sh: zelk.exe $why; running it again: zelk.exe $*"
    sed 's/^/    /' "$caught/err"
  } | note
done
cat "$caught/out"
cat "$caught/err" >&2
if grep -q '^wine: Unhandled' "$caught/err"; then
  echo "wine-runner.sh: zelk.exe crashed under Wine: zelk.exe $*" >&2
  exit 139
fi
exit "$status"
