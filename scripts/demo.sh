#!/usr/bin/env bash
# Sets up and builds what the demo runs (the runner and the plug-ins, not
# the tests), then runs the main job on the bundled default: the
# generated scene through the demo patch (data/demo.maxpat), written to
# zelk-demo/ (annotated frames, contact sheet, tables). Arguments go to
# zelk demo, e.g. scripts/demo.sh --out /tmp/demo --frames 300.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" --only=zelk
exec "$top/build/bin/zelk" demo "$@"
