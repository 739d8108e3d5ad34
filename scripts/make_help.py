#!/usr/bin/env python3
"""Writes help/zelk.X.maxhelp for every object and help/zelk-overview.maxpat.

Each help patch is laid out as Max's own are: the object's name as a title, its
digest under it, and the working example in tabs (subpatchers shown on a tab).
An example takes frames from a camera (jit.grab) or a movie (jit.movie) driven
by a qmetro, builds what the object reads (luminance, a threshold, the objects
upstream of it) and shows every outlet in a jit.pwindow or a print box.

The tables below say what each example holds; the layout is worked out once,
in build_tab. Run from anywhere: python3 scripts/make_help.py (standard library only).
"""

import json
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
HELP_DIR = os.path.join(os.path.dirname(HERE), "help")

APPVERSION = {"major": 8, "minor": 6, "revision": 0, "architecture": "x64", "modernui": 1}

# What the objects say of themselves (zelk list), in the order of the overview.
DIGESTS = [
    ("Regions and lines", [
        ("zelk.label", "numbers the 4-connected blobs of a binary image"),
        ("zelk.floodfill", "fills the region of a binary image 4-connected to a seed cell"),
        ("zelk.binedge", "marks the edge cells of the regions of a binary image"),
        ("zelk.hough", "votes the straight lines of a binary image into an accumulator"),
        ("zelk.extrema", "finds the peaks of a Hough accumulator: one (rho bin, theta bin) per line"),
    ]),
    ("Whole-image measures", [
        ("zelk.moments", "measures the moments and Hu invariants of a one-plane image"),
        ("zelk.centroids", "finds the mass and weighted centroid of a one-plane image"),
        ("zelk.mass", "totals the mass of every plane (char cells count value/255)"),
        ("zelk.sum", "sums every plane of a matrix, one value per plane"),
    ]),
    ("Over time, and points", [
        ("zelk.mean", "running mean of a stream of frames since a reset or new shape"),
        ("zelk.covariance", "outer product of the running mean deviation of a vector stream"),
        ("zelk.ravg", "running (exponential) average of a stream of frames"),
        ("zelk.trackpoints", "draws a list of points into a char image, numbered from 1"),
    ]),
    ("Blobs of a label image", [
        ("zelk.blobs.moments", "measures the moments and Hu invariants of every labelled blob"),
        ("zelk.blobs.centroids", "finds the centroid and mass of every blob of a label image"),
        ("zelk.blobs.bounds", "measures the bounding box of every blob of a label image"),
        ("zelk.blobs.orientation", "gives the major-axis angle of every blob up to half a turn"),
        ("zelk.blobs.direction", "gives the major-axis angle of every blob over a full turn"),
        ("zelk.blobs.elongation", "measures how stretched every blob is (0 for a disc)"),
        ("zelk.blobs.sort", "gives blobs identifiers that stay with them from frame to frame"),
    ]),
]
DIGEST = {name: text for _, group in DIGESTS for name, text in group}

# Outlets of the list-output objects (the rest have a matrix outlet and dumpout).
LIST_OUTLETS = {
    "zelk.moments": ["list", "list", "list", "float", ""],
    "zelk.centroids": ["list", "float", ""],
    "zelk.mass": ["", ""],
    "zelk.sum": ["", ""],
}


def outlets_of(text):
    """(numinlets, outlettype) of an object box, by its class."""
    cls = text.split()[0]
    if cls in LIST_OUTLETS:
        return 1, LIST_OUTLETS[cls]
    if cls.startswith("zelk.") or cls in ("jit.grab", "jit.movie", "jit.rgb2luma"):
        return 1, ["jit_matrix", ""]
    if cls == "jit.op":
        return 2, ["jit_matrix", ""]
    if cls in ("qmetro", "metro"):
        return 2, ["bang"]
    if cls == "loadbang":
        return 1, ["bang"]
    if cls == "print":
        return 1, []
    raise ValueError("no outlets known for " + cls)


# ---------------------------------------------------------------------------
# What the examples hold. A box is (text, note); text "pwindow" is a
# jit.pwindow. The chain runs from the source down, each box into the next;
# outs are columns hanging below the chain's last box, each from the outlet
# given; attrs are message boxes (or a button) wired into the chain's last box.

CAMERA = "grab"
MOVIE = "movie"

LUMA = ("jit.rgb2luma", "colour (4-plane ARGB) to one plane of brightness")
BINARY = ("jit.op @op > @val 128", "binary image: non-zero where brighter than 128, one-plane char")
LABEL = ("zelk.label @charmode 1",
         "label image: one-plane char, 0 background, 1 2 3 ... per blob")
BLOB_MOMENTS = ("zelk.blobs.moments", "blob moment matrix: one cell per label, 17 planes of float32")
BLOB_CENTROIDS = ("zelk.blobs.centroids", "one cell per label: x, y, mass (3 planes of float32)")
EDGES = ("zelk.binedge", "outlines only, so filled shapes vote for fewer false lines")
HOUGH = ("zelk.hough", "the line accumulator zelk.extrema reads: long, distance bins by angle bins")

BANG = None  # a button in place of a message box


def tab(name, source, chain, outs, attrs=(), notes=()):
    return {"name": name, "source": source, "chain": chain, "outs": outs, "attrs": list(attrs),
            "notes": list(notes)}


HELP = {
    "zelk.label": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY,
                   ("zelk.label @charmode 1", "numbers each 4-connected blob: cells touching only at a corner "
                    "are different blobs. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "label image: 0 background, blobs 1, 2, 3 ... in raster order of their "
                        "first cell; at most 2048 blobs, and in char output labels above 255 are written as 0")])],
            attrs=[("charmode 1", "char output: the label image the zelk.blobs objects read"),
                   ("charmode 0", "long output (default): labels past 255 kept"),
                   ("threshold 30", "remove blobs of 30 cells or fewer, renumber the rest without gaps"),
                   ("threshold 0", "keep every blob (default)"),
                   ("mode 1", "write each blob's area (long) or its rank by area, largest 1 (char)"),
                   ("mode 0", "write labels (default)")]),
        tab("modes", CAMERA,
            chain=[LUMA, BINARY],
            outs=[(0, [("zelk.label @charmode 1 @threshold 30", "small blobs removed"),
                       ("pwindow", "labels of the blobs larger than 30 cells")]),
                  (0, [("zelk.label @charmode 1 @mode 1", "ranks"),
                       ("pwindow", "each blob's rank by area: the largest is 1")]),
                  (0, [("zelk.label @mode 1", "areas, long output"),
                       ("pwindow", "each cell holds the area of its blob (long)")])],
            notes=["one binary image, three ways of numbering its blobs"]),
    ],
    "zelk.floodfill": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY,
                   ("zelk.floodfill @seed 40 40", "keeps the one region 4-connected to the seed cell. "
                    "Right outlet: dumpout")],
            outs=[(0, [("pwindow", "255 on the region holding the seed, 0 elsewhere; all black when the seed "
                        "lies on background or outside the image")])],
            attrs=[("seed 160 120", "seed cell: column, row"),
                   ("seed 40 40", "another seed"),
                   ("seed 0 0", "the top-left cell (default)")],
            notes=["takes a one-plane char binary image"]),
    ],
    "zelk.binedge": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY,
                   ("zelk.binedge", "a foreground cell with a background cell among its eight neighbours is "
                    "an edge cell. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "outlines: 255 for char (1 for long, 1.0 for float32/float64), 0 "
                        "elsewhere; the image border is no boundary")])],
            notes=["takes one plane of any type; zero is background"]),
    ],
    "zelk.hough": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, EDGES,
                   ("zelk.hough", "every foreground cell votes for the lines through it. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "accumulator (long): one column per distance bin (distance 0 in the "
                        "middle), one row per angle from 0 at the top; bright cells are lines")])],
            attrs=[("rho 1", "distance bin width in cells (1 to 20)"),
                   ("rho 4", "the default width"),
                   ("theta 0.0174533", "angle step in radians: just over 1 degree, 179 rows"),
                   ("theta 0.0872664626", "5 degrees, 35 rows (default)")],
            notes=["takes a one-plane char binary image",
                   "zelk.extrema finds the peaks of the accumulator: see the peaks tab"]),
        tab("peaks", CAMERA,
            chain=[LUMA, BINARY, EDGES, HOUGH],
            outs=[(0, [("zelk.extrema @threshold 20", "peaks of the accumulator"),
                       ("pwindow", "one (distance bin, angle bin) pair per line")]),
                  (0, [("pwindow", "the accumulator itself")])]),
    ],
    "zelk.extrema": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, EDGES, HOUGH,
                   ("zelk.extrema @threshold 20 @maxpoints 16", "a cell is a peak when it has more votes than "
                    "the threshold and more than each neighbour. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "peak list: float32, 2 planes, maxpoints cells; each a (distance bin, "
                        "angle bin) pair, in raster order of the accumulator; 0 0 after the last peak")])],
            attrs=[("threshold 40", "votes a peak must exceed (default 20)"),
                   ("maxpoints 64", "length of the list: the most peaks reported (default 64)"),
                   ("mode 1", "compare with the 4 neighbours beside, above and below"),
                   ("mode 0", "compare with all 8 neighbours (default)")],
            notes=["any other input than a zelk.hough accumulator is refused with a console line"]),
    ],
    "zelk.moments": [
        tab("basic", CAMERA,
            chain=[LUMA,
                   ("zelk.moments", "one plane, two dimensions, any type: cell values are the weights. Sends "
                    "after every matrix, right to left. Right outlet: dumpout")],
            outs=[(0, [("print moments", "normalised central moments: eta20 eta02 eta11 eta21 eta12 eta30 "
                        "eta03")]),
                  (1, [("print hu", "the seven Hu invariants")]),
                  (2, [("print centroids", "weighted centroid: column, row")]),
                  (3, [("print mass", "sum of the cell values (a float)")])],
            notes=["a frame without mass sends the last values again",
                   "put a threshold (jit.op @op > @val 128) before it for the moments of the shapes alone"]),
    ],
    "zelk.centroids": [
        tab("basic", CAMERA,
            chain=[LUMA,
                   ("zelk.centroids", "one plane, two dimensions, any type. Sends after every matrix and on "
                    "bang, right to left. Right outlet: dumpout")],
            outs=[(0, [("print centroids", "weighted centroid: column, row; -1 -1 when there is no mass")]),
                  (1, [("print mass", "sum of the cells (char cells count value/255)")])],
            attrs=[(BANG, "sends the last values again"),
                   ("outputmode 0", "no lists"),
                   ("outputmode 1", "lists again (default)")]),
    ],
    "zelk.mass": [
        tab("basic", CAMERA,
            chain=[("zelk.mass", "any type, planes and dimensions. Sends after every matrix and on bang. "
                    "Right outlet: dumpout")],
            outs=[(0, [("print mass", "one float per plane: a list of four for the A R G B planes of a "
                        "camera frame; char cells count value/255")])],
            attrs=[(BANG, "sends the last values again")],
            notes=["a one-plane image gives a single float"]),
    ],
    "zelk.sum": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY,
                   ("zelk.sum", "any type, planes and dimensions. Sends after every matrix and on bang. "
                    "Right outlet: dumpout")],
            outs=[(0, [("print sum", "one value per plane, undivided: here the sum of the binary image's "
                        "cells")])],
            attrs=[(BANG, "sends the last values again")],
            notes=["zelk.mass gives the same divided by 255 for char cells"]),
    ],
    "zelk.mean": [
        tab("basic", MOVIE,
            chain=[("zelk.mean", "each value the mean of that value over every frame since the last "
                    "restart. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "the mean frame: the first frame passes through, the second gives the "
                        "mean of two, and so on")])],
            attrs=[("reset", "restart: the next frame is the first of a new mean")],
            notes=["a frame of another size, plane count or type restarts the mean too"]),
    ],
    "zelk.covariance": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL, BLOB_MOMENTS,
                   ("zelk.blobs.orientation", "the vector: one angle per blob, a one-dimensional one-plane "
                    "float32 matrix of N values"),
                   ("zelk.covariance", "keeps the running mean and mean deviation d of the vectors. Right "
                    "outlet: dumpout")],
            outs=[(0, [("pwindow", "N x N float64: element (i, j) = d[i] d[j]; all zeros after a restart")])],
            attrs=[("reset", "restart the statistics with the next vector")],
            notes=["takes one-dimensional, one-plane float32 or float64 vectors; a new length restarts",
                   "angles that stay the same give zeros: turn a shape in front of the camera"]),
    ],
    "zelk.ravg": [
        tab("basic", MOVIE,
            chain=[("zelk.ravg @alpha 0.1", "out = alpha x new frame + (1 - alpha) x previous average, every "
                    "value apart. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "the running average: moving things leave a fading wake")])],
            attrs=[("alpha 0.05", "slow: long wakes (default)"),
                   ("alpha 0.5", "fast"),
                   ("alpha 1", "no averaging: frames pass through")],
            notes=["any type and plane count; input and output must be the same size"]),
    ],
    "zelk.trackpoints": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL,
                   ("zelk.blobs.centroids", "the point list: x, y and a flag per point (float32, 3 planes); "
                    "here the flag is the blob's mass, 0 for a missing label"),
                   ("zelk.trackpoints @size 320 240", "draws every point whose flag is not 0. Right outlet: "
                    "dumpout")],
            outs=[(0, [("pwindow", "char image of the set size: point k writes k at its pixel (faint: 1, 2, "
                        "3 ...); points in column 0 or row 0 are not drawn")])],
            attrs=[("size 640 480", "width and height of the image: match the camera's"),
                   ("size 320 240", "the default")]),
    ],
    "zelk.blobs.moments": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL,
                   ("zelk.blobs.moments", "measures every blob in one pass. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "blob moment matrix: one cell per label, 17 planes of float32: eta20 "
                        "eta02 eta11 eta21 eta12 eta30 eta03, Hu 1-7, centroid x, y, mass (pixels); a "
                        "missing label gives zeros")])],
            notes=["takes the char label image of zelk.label @charmode 1"]),
        tab("descriptors", CAMERA,
            chain=[LUMA, BINARY, LABEL, BLOB_MOMENTS],
            outs=[(0, [("zelk.blobs.orientation @mode 1", "axis angle"),
                       ("pwindow", "degrees, 0 up to 180")]),
                  (0, [("zelk.blobs.direction @mode 1", "angle over a full turn"),
                       ("pwindow", "degrees, 0 up to 360")]),
                  (0, [("zelk.blobs.elongation", "stretch"),
                       ("pwindow", "0 for a disc, larger for thinner")]),
                  (0, [("zelk.blobs.sort @threshold 20", "identifiers"),
                       ("pwindow", "an identifier per blob that follows it")])],
            notes=["what the blob moment matrix feeds"]),
    ],
    "zelk.blobs.centroids": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL,
                   ("zelk.blobs.centroids", "centroid and mass of every blob. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "one cell per label, 3 planes of float32: x, y, mass in pixels; a "
                        "missing label gives -1 -1 0")])],
            notes=["takes the char label image of zelk.label @charmode 1; zelk.blobs.sort reads its output"]),
    ],
    "zelk.blobs.bounds": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL,
                   ("zelk.blobs.bounds", "bounding box of every blob. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "one cell per label, 4 planes of long: left, top, right, bottom, "
                        "inclusive pixel coordinates")])],
            notes=["takes the char label image of zelk.label @charmode 1"]),
    ],
    "zelk.blobs.orientation": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL, BLOB_MOMENTS,
                   ("zelk.blobs.orientation @mode 1", "angle of each blob's major axis, from the direction of "
                    "x towards y. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "one float32 per blob: 0 up to pi radians (180 degrees); 0 for a missing "
                        "label or a blob as wide as tall")])],
            attrs=[("mode 1", "degrees"),
                   ("mode 0", "radians (default)")],
            notes=["takes the blob moment matrix of zelk.blobs.moments"]),
    ],
    "zelk.blobs.direction": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL, BLOB_MOMENTS,
                   ("zelk.blobs.direction @mode 1", "the axis angle over a full turn: the skew of the blob "
                    "along its axis picks the end. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "one float32 per blob: 0 up to 2 pi radians (360 degrees); with flip 1 "
                        "from -pi up to pi")])],
            attrs=[("mode 1", "degrees"),
                   ("mode 0", "radians (default)"),
                   ("flip 1", "turn every result by half a turn"),
                   ("flip 0", "no turn (default)")],
            notes=["takes the blob moment matrix of zelk.blobs.moments"]),
    ],
    "zelk.blobs.elongation": [
        tab("basic", CAMERA,
            chain=[LUMA, BINARY, LABEL, BLOB_MOMENTS,
                   ("zelk.blobs.elongation", "how stretched each blob is. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "one float32 per blob: 0 for a disc or square, larger for longer, "
                        "thinner blobs; NaN for a one-pixel blob or a missing label, infinity for a blob in "
                        "one row")])],
            notes=["takes the blob moment matrix of zelk.blobs.moments"]),
    ],
    "zelk.blobs.sort": [
        tab("basic", MOVIE,
            chain=[LUMA, BINARY, LABEL, BLOB_CENTROIDS,
                   ("zelk.blobs.sort @threshold 20", "matches every centroid to the nearest blob of earlier "
                    "frames. Right outlet: dumpout")],
            outs=[(0, [("pwindow", "one char per input cell: the identifier of its blob, kept while it "
                        "moves less than threshold pixels a frame; freed identifiers are reused, smallest "
                        "first")])],
            attrs=[("threshold 20", "match radius in pixels"),
                   ("threshold 10", "the default")],
            notes=["takes zelk.blobs.centroids or zelk.blobs.moments output"]),
    ],
}

# ---------------------------------------------------------------------------
# Layout.

CHAR_W = 6.8          # Arial 12 in a box, pixels per character, roughly
LINE_H = 15.0         # a comment line
TAB_W = 980.0
NOTE_X = 10.0         # notes of the source and the chain, on their left
NOTE_W = 260.0
CHAIN_X = 285.0       # the source and the chain
ATTR_X = 620.0        # the attribute panel: its lines cross nothing on their way
COL_W = 225.0         # one output column
PWIN = (160.0, 120.0)


def box_width(text):
    return float(max(36, int(math.ceil(len(text) * CHAR_W)) + 14))


def comment_height(text, width):
    chars_per_line = max(1, int((width - 8) / 6.2))
    words, lines, cur = text.split(), 1, 0
    for w in words:
        add = len(w) + (1 if cur else 0)
        if cur + add > chars_per_line and cur:
            lines, cur = lines + 1, len(w)
        else:
            cur += add
    return lines * LINE_H + 5.0


class Patcher:
    """Boxes and lines of one patcher, with ids obj-1, obj-2, ... in order."""

    def __init__(self):
        self.boxes, self.lines = [], []

    def add(self, box):
        box["id"] = "obj-%d" % (len(self.boxes) + 1)
        self.boxes.append({"box": box})
        return box["id"]

    def obj(self, text, x, y):
        numinlets, outlettype = outlets_of(text)
        return self.add({"maxclass": "newobj", "text": text, "numinlets": numinlets,
                         "numoutlets": len(outlettype), "outlettype": outlettype,
                         "patching_rect": [x, y, box_width(text), 22.0]})

    def message(self, text, x, y):
        return self.add({"maxclass": "message", "text": text, "numinlets": 2, "numoutlets": 1,
                         "outlettype": [""], "patching_rect": [x, y, box_width(text), 22.0]})

    def toggle(self, x, y):
        return self.add({"maxclass": "toggle", "numinlets": 1, "numoutlets": 1, "outlettype": ["int"],
                         "parameter_enable": 0, "patching_rect": [x, y, 24.0, 24.0]})

    def button(self, x, y):
        return self.add({"maxclass": "button", "numinlets": 1, "numoutlets": 1, "outlettype": ["bang"],
                         "parameter_enable": 0, "patching_rect": [x, y, 24.0, 24.0]})

    def pwindow(self, x, y):
        return self.add({"maxclass": "jit.pwindow", "numinlets": 1, "numoutlets": 2,
                         "outlettype": ["jit_matrix", ""], "patching_rect": [x, y, PWIN[0], PWIN[1]]})

    def comment(self, text, x, y, width, size=None, bold=False, right=False):
        box = {"maxclass": "comment", "text": text, "numinlets": 1, "numoutlets": 0,
               "patching_rect": [x, y, width, comment_height(text, width) if size is None else size * 1.5]}
        if size is not None:
            box["fontsize"] = size
        if bold:
            box["fontface"] = 1
        if right:
            box["textjustification"] = 2
        self.add(box)
        return box["patching_rect"][3]

    def line(self, src, outlet, dst, inlet=0, midpoints=None):
        cord = {"source": [src, outlet], "destination": [dst, inlet]}
        if midpoints:
            cord["midpoints"] = midpoints
        self.lines.append({"patchline": cord})

    def note(self, text, y):
        """A note on the left of the source and chain boxes; returns its height."""
        return self.comment(text, NOTE_X, y, NOTE_W, right=True)

    def heading(self, name):
        """Title and digest, as at the top of every help tab; returns the y below them."""
        self.comment(name, 10.0, 10.0, 480.0, size=26.0, bold=True)
        self.comment(DIGEST[name], 10.0, 52.0, 620.0, size=13.0)
        return 90.0

    def check(self):
        """Every cord joins an outlet and an inlet that its boxes have."""
        boxes = {b["box"]["id"]: b["box"] for b in self.boxes}
        for entry in self.lines:
            (src, outlet), (dst, inlet) = entry["patchline"]["source"], entry["patchline"]["destination"]
            if outlet >= boxes[src]["numoutlets"] or inlet >= boxes[dst]["numinlets"]:
                raise ValueError("bad cord %s:%d -> %s:%d" % (src, outlet, dst, inlet))

    def patcher(self, rect, **extra):
        self.check()
        p = {"fileversion": 1, "appversion": dict(APPVERSION), "classnamespace": "box", "rect": rect}
        p.update(extra)
        p["boxes"], p["lines"] = self.boxes, self.lines
        return p


def build_tab(name, t):
    """The patcher of one tab: source, chain, attribute panel, output columns."""
    p = Patcher()
    y = p.heading(name)
    # The source, patched as a Max user would: loadbang starts the qmetro.
    lb = p.obj("loadbang", CHAIN_X, y)
    p.note("starts the frames when the patch opens", y)
    tg = p.toggle(CHAIN_X, y + 32.0)
    p.note("frames on / off", y + 32.0)
    qm = p.obj("qmetro 33", CHAIN_X, y + 66.0)
    p.note("a frame about every 33 ms", y + 66.0)
    p.line(lb, 0, tg)
    p.line(tg, 0, qm)
    sy = y + 104.0
    if t["source"] == CAMERA:
        src = p.obj("jit.grab", CHAIN_X, sy)
        for k, msg in enumerate(("open", "close")):
            p.line(p.message(msg, CHAIN_X + 90.0 + 50.0 * k, y + 66.0), 0, src)
        p.note("camera frames: 4-plane char (ARGB)", sy)
    else:
        src = p.obj("jit.movie", CHAIN_X, sy)
        p.line(p.message("read", CHAIN_X + 90.0, y + 66.0), 0, src)
        p.note("movie frames: 4-plane char (ARGB); read opens a movie", sy)
    p.line(qm, 0, src)
    # The attribute panel's height, so that the chain's last box can sit below it.
    rows = [(text, box_width(text) if text is not BANG else 24.0, note) for text, note in t["attrs"]]
    rows = [(text, w, note, max(24.0, comment_height(note, TAB_W - ATTR_X - w - 30.0)) + 8.0)
            for text, w, note in rows]
    panel_bottom = 90.0 + (24.0 + sum(r[3] for r in rows) if rows else 0.0)
    # The chain, each box into the next, a note beside each.
    prev, y = src, sy + 40.0
    for k, (text, note) in enumerate(t["chain"]):
        if k == len(t["chain"]) - 1 and rows:
            y = max(y, panel_bottom + 24.0)
        b = p.obj(text, CHAIN_X, y)
        p.line(prev, 0, b)
        h = p.note(note, y)
        prev, target_y, y = b, y, y + max(22.0, h) + 16.0
    last = prev
    chain_bottom = y
    # Attribute messages, stacked on the right. Their cords drop beside the
    # panel and run along just above the last box, clear of the chain's boxes.
    ay = 90.0
    if rows:
        p.comment("click to change:", ATTR_X, ay, 200.0)
        ay += 24.0
    for k, (text, w, note, h) in enumerate(rows):
        b = p.button(ATTR_X, ay) if text is BANG else p.message(text, ATTR_X, ay)
        drop, bus = ATTR_X - 14.0 - 6.0 * (len(rows) - 1 - k), target_y - 8.0
        p.line(b, 0, last, midpoints=[drop, ay + 30.0, drop, bus, CHAIN_X + 10.0, bus])
        p.comment(note, ATTR_X + w + 10.0, ay, TAB_W - ATTR_X - w - 30.0)
        ay += h
    for note in t["notes"]:
        ay += p.comment(note, ATTR_X, ay + 6.0, TAB_W - ATTR_X - 20.0) + 10.0
    # Output columns below the chain's last box.
    y = max(chain_bottom, ay) + 14.0
    bottom = y
    widths = [max([COL_W] + [box_width(text) + 15.0 for text, _ in boxes if text != "pwindow"])
              for _, boxes in t["outs"]]
    x = max(20.0, min(CHAIN_X, TAB_W - sum(widths)))
    for (outlet, boxes), width in zip(t["outs"], widths):
        cy, src_box, src_outlet = y, last, outlet
        for text, note in boxes:
            if text == "pwindow":
                b, h = p.pwindow(x, cy), PWIN[1]
            else:
                b, h = p.obj(text, x, cy), 22.0
            p.line(src_box, src_outlet, b)
            cy += h + 4.0
            # Indented, so the cord down to the next box passes beside it.
            cy += p.comment(note, x + 12.0, cy, COL_W - 27.0) + 14.0
            src_box, src_outlet = b, 0
        bottom = max(bottom, cy)
        x += width
    return p.patcher([0.0, 26.0, max(TAB_W, x + 20.0), bottom + 20.0], showontab=1)


def build_help(name, tabs):
    root = Patcher()
    y = root.heading(name)
    names = ", ".join(t["name"] for t in tabs)
    root.comment("the examples are in the tabs above: " + names, 10.0, y, 620.0)
    for k, t in enumerate(tabs):
        sub = build_tab(name, t)
        root.add({"maxclass": "newobj", "text": "p " + t["name"], "numinlets": 0, "numoutlets": 0,
                  "patching_rect": [10.0 + 110.0 * k, y + 40.0, box_width("p " + t["name"]), 22.0],
                  "patcher": sub})
    return {"patcher": root.patcher([100.0, 100.0, TAB_W, 640.0], description=DIGEST[name],
                                    digest=DIGEST[name], tags="zelk jitter")}


def build_overview():
    p = Patcher()
    p.comment("zelk", 10.0, 10.0, 480.0, size=26.0, bold=True)
    p.comment("twenty computer-vision objects for Jitter: open an object's help for a working example",
              10.0, 52.0, 700.0, size=13.0)
    y = 96.0
    for group, objects in DIGESTS:
        p.comment(group, 10.0, y, 400.0, size=14.0, bold=True)
        y += 28.0
        for name, digest in objects:
            p.obj(name, 20.0, y)
            p.comment(digest, 200.0, y, 560.0)
            y += 28.0
        y += 12.0
    return {"patcher": p.patcher([100.0, 100.0, 800.0, y + 20.0],
                                 description="the zelk objects", digest="the zelk objects", tags="zelk")}


def write(path, doc):
    with open(path, "w", encoding="utf-8") as f:
        json.dump(doc, f, indent="\t", ensure_ascii=False)
        f.write("\n")


def main():
    names = [n for _, group in DIGESTS for n, _ in group]
    missing = sorted(set(names) ^ set(HELP))
    if missing:
        sys.exit("make_help.py: help and digest tables disagree on " + ", ".join(missing))
    os.makedirs(HELP_DIR, exist_ok=True)
    for name in names:
        write(os.path.join(HELP_DIR, name + ".maxhelp"), build_help(name, HELP[name]))
    write(os.path.join(HELP_DIR, "zelk-overview.maxpat"), build_overview())


if __name__ == "__main__":
    main()
