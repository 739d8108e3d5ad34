#!/usr/bin/env bash
# Sets up and builds, then runs the main job on the bundled default: the
# sample image is labelled (zelk.label @charmode 1) and measured
# (zelk.blobs.centroids) through the runner, and the blobs are listed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
input=${1:-$top/data/sample.pgm}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$top/build/bin/zelk" run --save "$out" --input "$input" -- 'zelk.label @charmode 1' 'zelk.blobs.centroids' >"$out/events.jsonl"
python3 - "$out/f0000_b1_zelk.blobs.centroids.npy" "$input" <<'PY'
import ast, struct, sys
data = open(sys.argv[1], 'rb').read()
header_len = struct.unpack('<H', data[8:10])[0]
header = ast.literal_eval(data[10:10 + header_len].decode('latin1'))
values = struct.unpack('<%df' % (len(data[10 + header_len:]) // 4), data[10 + header_len:])
cells = [values[i:i + 3] for i in range(0, len(values), 3)]
blobs = [(k + 1, c) for k, c in enumerate(cells) if c[2] > 0]
print('%s: %d blobs' % (sys.argv[2], len(blobs)))
for label, (x, y, area) in blobs:
    print('  blob %3d  area %6d  centroid (%.2f, %.2f)' % (label, area, x, y))
PY
