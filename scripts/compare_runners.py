#!/usr/bin/env python3
"""Runs the same chains of boxes on the same frames through two runners and
compares everything they print and save: the Linux runner with the Linux
plug-ins, and zelk.exe with the real Windows externals under Wine.

Every object meets frames of every cell type, plane count and dimension
count in one run (so its results, its error codes and the state it keeps
between frames are all compared), and the chains that feed the objects which
read another object's output run on a moving scene.

    scripts/compare_runners.py --reference 'build/bin/zelk' \\
        --candidate 'wine64 dist/windows/zelk.exe' [--keep DIR]

Each runner is a command (shell words). Prints a line per case and a
closing count; exits 1 on any difference.
"""
import argparse
import json
import pathlib
import shlex
import struct
import subprocess
import sys
import tempfile

DTYPES = {"char": ("|u1", "B"), "long": ("<i4", "i"), "float32": ("<f4", "f"),
          "float64": ("<f8", "d")}


def write_npy(path, celltype, shape, values):
    """A C-order .npy file; `shape` ends with the plane axis."""
    descr, code = DTYPES[celltype]
    header = "{'descr': '%s', 'fortran_order': False, 'shape': (%s), }" % (
        descr, "".join(f"{n}, " for n in shape))
    pad = 64 - (10 + len(header) + 1) % 64
    header = header + " " * pad + "\n"
    body = struct.pack("<%d%s" % (len(values), code), *values)
    path.write_bytes(b"\x93NUMPY\x01\x00" + struct.pack("<H", len(header)) + header.encode() + body)


class Lcg:
    """Deterministic values, the same on every machine."""

    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % 2**64
        return (self.state >> 33) % n


def scene(width, height, frame):
    """A binary image: discs and bars that move with the frame number."""
    cells = []
    for y in range(height):
        for x in range(width):
            on = ((x - 12 - frame) ** 2 + (y - 10) ** 2 <= 30
                  or (x - 40) ** 2 + (y - 30 + frame) ** 2 <= 20
                  or (5 <= x <= 50 and y == 40 - frame // 2)
                  or (x == 55 and 5 <= y <= 35)
                  or (x + y) % 23 == 0 and x > 58)
            cells.append(255 if on else 0)
    return cells


def make_frames(folder):
    """The frames every object meets, and the scene the chains run on."""
    rng = Lcg(7)
    frames = {}

    def add(name, celltype, shape, values):
        path = folder / f"{name}.npy"
        write_npy(path, celltype, shape, values)
        frames[name] = str(path)

    def count(shape):
        n = 1
        for s in shape:
            n *= s
        return n

    add("bin", "char", (48, 64, 1), scene(64, 48, 0))
    add("char4", "char", (24, 32, 4), [rng.next(256) for _ in range(count((24, 32, 4)))])
    add("char1", "char", (17, 9, 1), [rng.next(2) * 255 for _ in range(17 * 9)])
    add("long1", "long", (24, 32, 1), [rng.next(2001) - 1000 for _ in range(24 * 32)])
    add("long3", "long", (5, 7, 3), [rng.next(201) - 100 for _ in range(5 * 7 * 3)])
    add("float32_1", "float32", (24, 32, 1), [(rng.next(20001) - 10000) / 37.0 for _ in range(24 * 32)])
    add("float32_3", "float32", (40, 3), [float(rng.next(300)) for _ in range(40 * 3)])
    add("float32_4", "float32", (30, 4), [(rng.next(2001) - 1000) / 7.0 for _ in range(30 * 4)])
    add("float64_1", "float64", (24, 32, 1), [(rng.next(20001) - 10000) / 3.0 for _ in range(24 * 32)])
    add("float64_2", "float64", (6, 5, 2), [(rng.next(2001) - 1000) / 11.0 for _ in range(6 * 5 * 2)])
    add("char_3d", "char", (3, 6, 8, 1), [rng.next(2) * 255 for _ in range(3 * 6 * 8)])
    add("float32_3d", "float32", (2, 3, 4, 2), [(rng.next(2001) - 1000) / 9.0 for _ in range(48)])
    add("line", "char", (12, 1), [rng.next(2) * 255 for _ in range(12)])
    add("one", "char", (1, 1, 1), [255])
    for f in range(6):
        add(f"scene{f}", "char", (48, 64, 1), scene(64, 48, 3 * f))
    return frames


OBJECTS = ["zelk.label", "zelk.label @mode 1", "zelk.label @charmode 1 @threshold 3",
           "zelk.floodfill @seed 12 10", "zelk.binedge", "zelk.hough", "zelk.extrema",
           "zelk.moments", "zelk.centroids", "zelk.mass", "zelk.sum", "zelk.mean",
           "zelk.covariance", "zelk.ravg @alpha 0.25", "zelk.trackpoints @size 40 30",
           "zelk.blobs.moments", "zelk.blobs.centroids", "zelk.blobs.bounds",
           "zelk.blobs.orientation", "zelk.blobs.direction @mode 1", "zelk.blobs.elongation",
           "zelk.blobs.sort",
           # 64-bit values past a 32-bit long (Windows'), which cut to 32 bits
           # would be 10, a seed on the first disc, and 40.
           "zelk.label @threshold 4294967306", "zelk.floodfill @seed 4294967308 10",
           "zelk.trackpoints @size 4294967336 30",
           # Attributes that Max stores as a 4-byte long on Windows.
           "zelk.floodfill @seed 3 5", "zelk.label @threshold -5",
           "zelk.trackpoints @size 64 48", "zelk.blobs.direction @mode 1 @flip 1",
           "zelk.blobs.orientation @mode 1",
           # Sizes Jitter keeps at 1 or more, and outputs held to one plane.
           "zelk.label @adapt 0 @dim 20 10", "zelk.binedge 4 char 9 9"]
EVERY_FRAME = ["bin", "char4", "char1", "long1", "long3", "float32_1", "float32_3", "float32_4",
               "float64_1", "float64_2", "char_3d", "float32_3d", "line", "one", "bin", "long1"]
CHAINS = [
    ["zelk.label @charmode 1", "zelk.blobs.centroids", "zelk.blobs.sort @threshold 40"],
    ["zelk.label", "zelk.blobs.moments", "zelk.blobs.orientation @mode 1"],
    ["zelk.label", "zelk.blobs.moments", "zelk.blobs.direction"],
    ["zelk.label", "zelk.blobs.moments", "zelk.blobs.elongation"],
    ["zelk.label", "zelk.blobs.bounds"],
    ["zelk.binedge", "zelk.hough", "zelk.extrema @threshold 5 @maxpoints 8"],
    ["zelk.binedge", "zelk.hough", "zelk.extrema @threshold 4294967297 @maxpoints 4294967298"],
    ["zelk.label @mode 1", "zelk.mean"],
    ["zelk.label", "zelk.blobs.centroids", "zelk.covariance"],
    ["zelk.label", "zelk.blobs.centroids", "zelk.trackpoints @size 64 48"],
    ["zelk.ravg @alpha 0.5", "zelk.centroids"],
]


def cases(frames):
    for box in OBJECTS:
        steps = [a for f in EVERY_FRAME for a in ("--input", frames[f])]
        yield box, steps, [box]
    for chain in CHAINS:
        steps = [a for f in range(6) for a in ("--input", frames[f"scene{f}"])]
        yield " -> ".join(chain), steps, chain


def normalized(stdout):
    """Event lines with saved files named by their own name only."""
    lines = []
    for line in stdout.splitlines():
        try:
            event = json.loads(line)
        except json.JSONDecodeError:
            lines.append(line)
            continue
        if "file" in event:
            event["file"] = event["file"].replace("\\", "/").rsplit("/", 1)[-1]
        lines.append(json.dumps(event, sort_keys=True))
    return lines


def run(runner, steps, boxes, save):
    save.mkdir(parents=True)
    args = shlex.split(runner) + ["run", "--save", str(save)] + steps + ["--"] + boxes
    p = subprocess.run(args, capture_output=True, text=True, stdin=subprocess.DEVNULL)
    saved = {f.name: f.read_bytes() for f in sorted(save.iterdir())}
    return p.returncode, normalized(p.stdout), saved, p.stderr


def differences(a, b):
    (code_a, lines_a, saved_a, _), (code_b, lines_b, saved_b, _) = a, b
    found = []
    if code_a != code_b:
        found.append(f"exit status {code_a} and {code_b}")
    if lines_a != lines_b:
        for i, (x, y) in enumerate(zip(lines_a + [""] * len(lines_b), lines_b + [""] * len(lines_a))):
            if x != y:
                found.append(f"line {i + 1}:\n       {x}\n       {y}")
                break
    if sorted(saved_a) != sorted(saved_b):
        found.append(f"saved files differ: {sorted(set(saved_a) ^ set(saved_b))[:4]}")
    found += [f"{name} differs" for name in sorted(saved_a) if name in saved_b and saved_a[name] != saved_b[name]]
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--reference", required=True, help="the runner command taken as right")
    parser.add_argument("--candidate", required=True, help="the runner command compared with it")
    parser.add_argument("--keep", type=pathlib.Path, help="keep the frames and outputs here")
    args = parser.parse_args()

    work = args.keep or pathlib.Path(tempfile.mkdtemp(prefix="zelk-compare-"))
    (work / "frames").mkdir(parents=True, exist_ok=True)
    frames = make_frames(work / "frames")
    failed = passed = 0
    for i, (name, steps, boxes) in enumerate(cases(frames)):
        out = work / f"case{i:02d}"
        reference = run(args.reference, steps, boxes, out / "reference")
        candidate = run(args.candidate, steps, boxes, out / "candidate")
        found = differences(reference, candidate)
        if reference[0] != 0:
            found.append(f"the reference runner failed (status {reference[0]})")
        if found:  # what each runner said of itself, to tell why
            found += [f"{who} standard error:\n       " + "\n       ".join(err.splitlines()[-8:])
                      for who, err in (("reference", reference[3]), ("candidate", candidate[3])) if err]
        events = len(reference[1])
        print(f"{'FAIL' if found else 'ok  '} {name}: {events} events, {len(reference[2])} matrices"
              + "".join(f"\n     {f}" for f in found))
        failed += bool(found)
        passed += not found
    print(f"platforms: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
