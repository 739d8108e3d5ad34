#!/usr/bin/env python3
"""Draws package/icon.png: a label image as the package shows one, blobs in
colours on a dark ground with their centroids marked. Standard library only:
python3 scripts/make_icon.py"""

import math
import os
import struct
import zlib

SIZE = 256
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "package", "icon.png")

# (centre x, centre y, half axes, angle in degrees, colour)
BLOBS = [
    (84, 92, 58, 30, 25, (240, 180, 40)),
    (176, 70, 36, 24, -40, (70, 200, 230)),
    (168, 170, 62, 26, 65, (230, 90, 150)),
    (72, 190, 30, 30, 0, (120, 220, 110)),
]
GROUND = (22, 22, 28)


def inside(x, y, blob):
    cx, cy, a, b, angle, _ = blob
    t = math.radians(angle)
    dx, dy = x - cx, y - cy
    u = dx * math.cos(t) + dy * math.sin(t)
    v = -dx * math.sin(t) + dy * math.cos(t)
    return (u / a) ** 2 + (v / b) ** 2 <= 1


def pixel(x, y):
    for blob in BLOBS:
        cx, cy = blob[0], blob[1]
        # A white cross on each centroid.
        if (abs(x - cx) <= 7 and abs(y - cy) <= 1) or (abs(y - cy) <= 7 and abs(x - cx) <= 1):
            return (255, 255, 255)
    for blob in BLOBS:
        if inside(x + 0.5, y + 0.5, blob):
            return blob[5]
    return GROUND


def png(width, height, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    with open(OUT, "wb") as f:
        f.write(png(SIZE, SIZE, rows))
    print(OUT)
