#!/usr/bin/env bash
# Sets up and builds, then runs the main job on the bundled default.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
exec "$top/build/bin/zelk" demo "$@"
