#!/usr/bin/env python3
"""Writes help/zelk.X.maxhelp for every object, the examples in examples/
and help/zelk-overview.maxpat.

Each help patch is laid out as Max's own are: the top-level patcher is kept
off the tabs; every tab opens with the object's name and digest; the last tab,
"?", says what goes in and comes out and which objects go with it. The first
tab holds the source every tab shares: the package's clip playing (a toggle
switches to the camera, which opens only then), scaled to 320 x 240, sent on
to the other tabs. Every tab shows its input, the thresholded image (the
threshold in a number box) and the object's result as a Max user looks at
one: labels in colours, what was found drawn over the frame with jit.lcd,
per-blob values in a jit.cellblock, lists in number and message boxes.
Attributes are set with attrui.

The layout is worked out on a grid, so boxes never overlap and every box
lies inside its window (tests/runner/help_patches_test.cpp checks both).
Run from anywhere: python3 scripts/make_help.py (standard library only).
"""

import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
HELP_DIR = os.path.join(TOP, "help")
EXAMPLES_DIR = os.path.join(TOP, "examples")

APPVERSION = {"major": 8, "minor": 6, "revision": 0, "architecture": "x64", "modernui": 1}
CLIP = "zelk-clip.mov"
W, H = 320, 240            # every frame, from the clip or the camera

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


# ---------------------------------------------------------------------------
# Ports of every box the patches use: (inlets, outlet types), as Max has them.

LIST_OUTLETS = {
    "zelk.moments": ["list", "list", "list", "float", ""],
    "zelk.centroids": ["list", "float", ""],
    "zelk.mass": ["", ""],
    "zelk.sum": ["", ""],
}


def ports(text):
    words = text.split()
    cls, args = words[0], [w for w in words[1:] if not w.startswith("@")]
    if cls in LIST_OUTLETS:
        return 1, LIST_OUTLETS[cls]
    if cls.startswith("zelk.") or cls in ("jit.movie", "jit.grab", "jit.rgb2luma", "jit.matrix", "jit.lcd",
                                          "jit.transpose"):
        return 1, ["jit_matrix", ""]
    if cls == "jit.op":
        return 2, ["jit_matrix", ""]
    if cls == "jit.pack":
        return int(args[0]) if args else 4, ["jit_matrix", ""]
    if cls == "jit.iter":
        return 1, ["", "", ""]
    if cls in ("qmetro", "metro"):
        return 2, ["bang"]
    if cls in ("loadbang", "loadmess"):
        return 1, ["bang" if cls == "loadbang" else ""]
    if cls in ("print", "s", "send"):
        return 1, []
    if cls in ("r", "receive"):
        return 0, [""]
    if cls == "gate":
        return 2, [""] * int(args[0])
    if cls in ("t", "trigger"):
        return 1, [{"b": "bang", "i": "int", "f": "float"}.get(a, "") for a in args]
    if cls in ("sel", "select", "route"):
        return (2 if len(args) == 1 else 1), ["bang" if cls != "route" else ""] * len(args) + [""]
    if cls in ("+", "-", "*", "/"):
        return 2, ["int" if "." not in args[0] else "float"]
    if cls == "pack":
        return len(args), [""]
    if cls == "unpack":
        return 1, [{"f": "float", "i": "int"}.get(a, "") for a in args]
    if cls == "prepend":
        return 2, [""]
    if cls == "expr":
        refs = [int(n) for n in re.findall(r"\$[if](\d)", text)]
        return max(refs + [1]), [""]
    if cls in ("p", "patcher"):
        raise ValueError("subpatcher ports are counted from its inside")
    raise ValueError("no ports known for " + cls)


# ---------------------------------------------------------------------------
# Patchers.

CHAR_W = 7.0   # Arial 12 in a box, pixels per character, roughly
ROW = 30.0     # one row of the grid


def text_width(text, size=12.0):
    return len(text) * CHAR_W * size / 12.0


def box_width(text):
    return float(max(40, int(text_width(text)) + 16))


def lines_of_text(text, width, size=12.0):
    per_line = max(1, int((width - 8) / (CHAR_W * size / 12.0 * 0.92)))
    lines, cur = 1, 0
    for w in text.split():
        add = len(w) + (1 if cur else 0)
        if cur + add > per_line and cur:
            lines, cur = lines + 1, len(w)
        else:
            cur += add
    return lines


class Patcher:
    """Boxes and lines of one patcher, with ids obj-1, obj-2, ... in order."""

    def __init__(self):
        self.boxes, self.lines = [], []

    def add(self, box):
        box["id"] = "obj-%d" % (len(self.boxes) + 1)
        self.boxes.append({"box": box})
        return box["id"]

    def box(self, bid):
        return next(b["box"] for b in self.boxes if b["box"]["id"] == bid)

    def obj(self, text, x, y, width=None):
        inlets, outlets = ports(text)
        return self.add({"maxclass": "newobj", "text": text, "numinlets": inlets, "numoutlets": len(outlets),
                         "outlettype": outlets, "patching_rect": [x, y, width or box_width(text), 22.0]})

    def message(self, text, x, y, width=None):
        return self.add({"maxclass": "message", "text": text, "numinlets": 2, "numoutlets": 1,
                         "outlettype": [""], "patching_rect": [x, y, width or box_width(text), 22.0]})

    def ui(self, cls, x, y, w, h, inlets, outlets, **extra):
        box = {"maxclass": cls, "numinlets": inlets, "numoutlets": len(outlets), "outlettype": outlets,
               "parameter_enable": 0, "patching_rect": [x, y, w, h]}
        box.update(extra)
        return self.add(box)

    def toggle(self, x, y):
        return self.ui("toggle", x, y, 24.0, 24.0, 1, ["int"])

    def number(self, x, y, width=60.0):
        return self.ui("number", x, y, width, 22.0, 1, ["", "bang"])

    def flonum(self, x, y, width=80.0):
        return self.ui("flonum", x, y, width, 22.0, 1, ["", "bang"])

    def attrui(self, attr, x, y, width=200.0):
        return self.ui("attrui", x, y, width, 22.0, 1, [""], attr=attr)

    def pwindow(self, x, y, w=240.0, h=180.0):
        return self.ui("jit.pwindow", x, y, w, h, 1, ["jit_matrix", ""])

    def cellblock(self, x, y, w, h, cols, rows):
        return self.ui("jit.cellblock", x, y, w, h, 2, ["list", "", "", ""], cols=cols, rows=rows,
                       colwidth=int(w / max(1, cols)), readonly=1)

    def comment(self, text, x, y, width, size=12.0, bold=False):
        box = {"maxclass": "comment", "text": text, "numinlets": 1, "numoutlets": 0,
               "patching_rect": [x, y, width, lines_of_text(text, width, size) * size * 1.25 + 4.0]}
        if size != 12.0:
            box["fontsize"] = size
        if bold:
            box["fontface"] = 1
        self.add(box)
        return box["patching_rect"][3]

    def sub(self, name, inner, x, y, hidden=True):
        """A subpatcher box `p NAME` holding `inner` (a Patcher)."""
        kinds = [b["box"]["maxclass"] for b in inner.boxes]
        patcher = inner.patcher([100.0, 100.0, 640.0, 480.0])
        text = "p " + name
        return self.add({"maxclass": "newobj", "text": text, "numinlets": kinds.count("inlet"),
                         "numoutlets": kinds.count("outlet"), "outlettype": [""] * kinds.count("outlet"),
                         "patching_rect": [x, y, box_width(text), 22.0], "patcher": patcher})

    def inlet(self, x, y):
        return self.ui("inlet", x, y, 30.0, 30.0, 0, [""])

    def outlet(self, x, y):
        return self.ui("outlet", x, y, 30.0, 30.0, 1, [])

    def line(self, src, outlet, dst, inlet=0):
        self.lines.append({"patchline": {"source": [src, outlet], "destination": [dst, inlet]}})

    def chain(self, *ids):
        for a, b in zip(ids, ids[1:]):
            self.line(a, 0, b, 0)

    def check(self):
        """Every cord joins an outlet and an inlet that its boxes have."""
        boxes = {b["box"]["id"]: b["box"] for b in self.boxes}
        for entry in self.lines:
            (src, outlet), (dst, inlet) = entry["patchline"]["source"], entry["patchline"]["destination"]
            if outlet >= boxes[src]["numoutlets"] or inlet >= boxes[dst]["numinlets"]:
                raise ValueError("bad cord %s:%d -> %s:%d (%s -> %s)" % (
                    src, outlet, dst, inlet, boxes[src].get("text", boxes[src]["maxclass"]),
                    boxes[dst].get("text", boxes[dst]["maxclass"])))

    def patcher(self, rect, **extra):
        self.check()
        p = {"fileversion": 1, "appversion": dict(APPVERSION), "classnamespace": "box", "rect": rect}
        p.update(extra)
        p["boxes"], p["lines"] = self.boxes, self.lines
        return p


# ---------------------------------------------------------------------------
# Subpatchers every help shares.

def source_patcher():
    """Frames at about 30 a second from the clip, or from the camera while
    the right inlet is 1 (it opens then, and closes at 0); every frame 320 x 240."""
    p = Patcher()
    play, camera = p.inlet(10, 10), p.inlet(200, 10)
    qm = p.obj("qmetro 33", 10, 60)
    gate = p.obj("gate 2 1", 10, 100)
    movie = p.obj("jit.movie @moviefile %s @autostart 1 @loop 1" % CLIP, 10, 150)
    grab = p.obj("jit.grab", 430, 150)
    t = p.obj("t i i", 200, 50)
    plus = p.obj("+ 1", 250, 80)
    sel = p.obj("sel 1 0", 200, 110)
    opening, closing = p.message("open", 430, 110), p.message("close", 480, 110)
    size = p.obj("jit.matrix 4 char %d %d" % (W, H), 10, 200)
    out = p.outlet(10, 250)
    p.chain(play, qm)
    p.line(qm, 0, gate, 1)
    p.line(gate, 0, movie)
    p.line(gate, 1, grab)
    p.chain(camera, t)
    p.line(t, 1, plus)
    p.line(plus, 0, gate, 0)
    p.line(t, 0, sel)
    p.line(sel, 0, opening)
    p.line(sel, 1, closing)
    p.line(opening, 0, grab)
    p.line(closing, 0, grab)
    p.line(movie, 0, size)
    p.line(grab, 0, size)
    p.line(size, 0, out)
    return p


def colours_patcher():
    """A label image in colours: label k of every plane times its own factor,
    modulo 256, so neighbouring labels differ; 0 stays black."""
    p = Patcher()
    i = p.inlet(10, 10)
    spread = p.obj("jit.matrix 4 long %d %d @planemap 0 0 0 0" % (W, H), 10, 50)
    times = p.obj("jit.op @op * @val 0 97 157 211", 10, 90)
    wrap = p.obj("jit.op @op % @val 256", 10, 130)
    chars = p.obj("jit.matrix 4 char %d %d" % (W, H), 10, 170)
    o = p.outlet(10, 210)
    p.chain(i, spread, times, wrap, chars, o)
    return p


def iterated_drawing(colour, pen, figure, lcd_y):
    """jit.lcd drawing one figure per cell of a matrix, cleared first and sent
    when jit.iter is done. `figure(p)` adds the boxes that turn jit.iter's
    values into drawing messages: (the box taking the values, the box
    sending the messages)."""
    p = Patcher()
    i = p.inlet(10, 10)
    t = p.obj("t a b", 10, 50)
    clear = p.message("brgb 0 0 0, frgb %s, pensize %d %d, clear" % (colour, pen, pen), 200, 80)
    it = p.obj("jit.iter", 10, 90)
    first, last = figure(p)
    done = p.obj("route done", 380, 130)
    bang = p.message("bang", 380, 170)
    lcd = p.obj("jit.lcd 4 char %d %d" % (W, H), 10, lcd_y)
    o = p.outlet(10, lcd_y + 40)
    p.chain(i, t)
    p.line(t, 1, clear)
    p.line(clear, 0, lcd)
    p.line(t, 0, it)
    p.line(it, 0, first)
    p.line(it, 2, done)
    p.line(done, 0, bang)
    p.line(last, 0, lcd)
    p.line(bang, 0, lcd)
    p.line(lcd, 0, o)
    return p


def drawing_patcher(per_cell, colour="255 220 0", pen=2):
    """A figure per cell: jit.iter's values go into the message box `per_cell`."""
    def figure(p):
        m = p.message(per_cell, 10, 170)
        return m, m
    return iterated_drawing(colour, pen, figure, 250)


def segments_patcher(ends, colour, pen):
    """A line segment per cell, its ends (x1, y1, x2, y2) worked out from
    jit.iter's values by the four expressions `ends`."""
    def figure(p):
        split = p.obj("t l l l l", 10, 130)
        pack = p.obj("pack f f f f", 10, 306)
        for k, text in enumerate(ends):
            e = p.obj("expr " + text, 10, 170 + 32 * k, 330.0)
            p.line(split, k, e)  # right to left: the hot left inlet of pack last
            p.line(e, 0, pack, k)
        seg = p.message("linesegment $1 $2 $3 $4", 10, 340)
        p.line(pack, 0, seg)
        return split, seg
    return iterated_drawing(colour, pen, figure, 380)


def lines_patcher(centre, rho, theta):
    """The lines of zelk.extrema's peaks, drawn across a 320 x 240 frame:
    rho = (distance bin - centre) x rho, theta = angle bin x theta."""
    r = "(($f1-%d)*%g)" % (centre, rho)
    a = "($f2*%g)" % theta
    return segments_patcher(["%s*cos(%s) - 600*sin(%s)" % (r, a, a), "%s*sin(%s) + 600*cos(%s)" % (r, a, a),
                             "%s*cos(%s) + 600*sin(%s)" % (r, a, a), "%s*sin(%s) - 600*cos(%s)" % (r, a, a)],
                            "0 255 255", 1)


def strokes_patcher(both_ways):
    """A stroke through each blob's centroid along its axis: jit.iter's values
    are x, y, mass and the angle in degrees (jit.pack of zelk.blobs.centroids
    and the angle); `both_ways` draws the axis, else from the centroid out."""
    a = "($f4*0.0174533)"
    back = 16 if both_ways else 0
    return segments_patcher(["$f1 - %d*cos(%s)" % (back, a), "$f2 - %d*sin(%s)" % (back, a),
                             "$f1 + 16*cos(%s)" % a, "$f2 + 16*sin(%s)" % a], "255 80 255", 2)


# ---------------------------------------------------------------------------
# A tab: header, the shared source (or its receive), input, threshold,
# the object's chain, attribute controls, notes, and up to three displays.

TAB_W, TAB_H = 880.0, 620.0
LEFT, MID, RIGHT = 10.0, 330.0, 580.0
DISPLAY_Y = 400.0
PANEL_W, PANEL_H = 270.0, 202.5


class Tab:
    def __init__(self, name, first, threshold=60, digest=None):
        self.name = name
        p = self.p = Patcher()
        p.comment(name, 10.0, 8.0, 600.0, size=22.0, bold=True)
        p.comment(digest or DIGEST[name], 10.0, 42.0, 860.0, size=13.0)
        frames = "%s-frame" % name.replace(" ", "-")
        if first:
            start = p.obj("loadmess 1", LEFT, 76.0)
            play = p.toggle(LEFT, 104.0)
            p.comment("play", LEFT + 28.0, 104.0, 40.0)
            cam = p.toggle(LEFT + 80.0, 104.0)
            p.comment("camera", LEFT + 108.0, 104.0, 60.0)
            src = p.sub("source", source_patcher(), LEFT, 136.0)
            p.comment("the clip " + CLIP + ", or the camera; 320 x 240", LEFT + 100.0, 136.0, 200.0, size=10.0)
            p.chain(start, play)
            p.line(play, 0, src, 0)
            p.line(cam, 0, src, 1)
            send = p.obj("s " + frames, LEFT, 170.0)
            p.line(src, 0, send)
            self.frames = src
        else:
            self.frames = p.obj("r " + frames, LEFT, 76.0)
            p.comment("frames from the first tab's source", LEFT, 104.0, 250.0, size=10.0)
        self.y = 206.0      # the next free row of the left column
        self.mid_y = 76.0   # of the middle column
        self.notes_y = 76.0
        self.threshold = threshold
        self.displays = 0

    # The left column: the chain, top down.
    def obj(self, text, after, outlet=0, inlet=0, mid=False):
        """A box in the left column (or the middle one), fed by `after`."""
        if mid:
            b = self.p.obj(text, MID, self.mid_y)
            self.mid_y += ROW
        else:
            b = self.p.obj(text, LEFT, self.y)
            self.y += ROW
        self.p.line(after, outlet, b, inlet)
        return b

    def luma(self):
        return self.obj("jit.rgb2luma", self.frames)

    def binary(self, luma=None):
        """Luminance above the threshold (a number box): 255, else 0."""
        luma = luma or self.luma()
        start = self.p.obj("loadmess %d" % self.threshold, MID, self.mid_y)
        num = self.p.number(MID + 100.0, self.mid_y)
        self.p.comment("threshold (0 to 255)", MID + 166.0, self.mid_y, 80.0, size=11.0)
        setter = self.p.message("val $1", MID, self.mid_y + ROW)
        self.p.chain(start, num, setter)
        self.mid_y += 2 * ROW + 8.0
        op = self.obj("jit.op @op > @val %d" % self.threshold, luma)
        self.p.line(setter, 0, op)
        return op

    def attr(self, attr, target):
        ui = self.p.attrui(attr, MID, self.mid_y, 220.0)
        self.p.line(ui, 0, target)
        self.mid_y += ROW
        return ui

    def click(self, text, target, note=None):
        m = self.p.message(text, MID, self.mid_y)
        self.p.line(m, 0, target)
        if note:
            self.p.comment(note, MID + box_width(text) + 8.0, self.mid_y, 240.0 - box_width(text), size=11.0)
        self.mid_y += ROW
        return m

    def note(self, text):
        self.notes_y += self.p.comment(text, RIGHT, self.notes_y, TAB_W - RIGHT - 10.0, size=11.0) + 6.0

    # The displays along the bottom, left to right.
    def slot(self, label):
        if lines_of_text(label, PANEL_W, 11.0) > 1:
            raise ValueError("%s: display label longer than a line: %s" % (self.name, label))
        x = LEFT + self.displays * (PANEL_W + 20.0)
        self.displays += 1
        self.p.comment(label, x, DISPLAY_Y - 22.0, PANEL_W, size=11.0, bold=True)
        return x

    def window(self, label, source, outlet=0):
        w = self.p.pwindow(self.slot(label), DISPLAY_Y, PANEL_W, PANEL_H)
        self.p.line(source, outlet, w)
        return w

    def table(self, label, source, cols, rows=8, outlet=0, per_cell=True):
        """A jit.cellblock; a one-dimensional matrix (a value per blob) goes
        through jit.transpose first, so that each cell is a row."""
        if per_cell:
            source, outlet = self.obj("jit.transpose", source, outlet, mid=True), 0
        c = self.p.cellblock(self.slot(label), DISPLAY_Y, PANEL_W, PANEL_H, 1 if per_cell else cols, rows)
        self.p.line(source, outlet, c)
        return c

    def done(self):
        if self.displays > 3:
            raise ValueError("%s: more than three displays" % self.name)
        return self.p.patcher([0.0, 26.0, TAB_W, TAB_H], showontab=1)

    def patch(self, digest):
        """The tab as a patch of its own (an example)."""
        return {"patcher": self.p.patcher([100.0, 100.0, TAB_W, TAB_H], description=digest, digest=digest,
                                          tags="zelk jitter")}


class OverlayTab(Tab):
    """A tab whose frames go through a trigger: drawing first, frame last."""

    def __init__(self, *a, **k):
        super().__init__(*a, **k)
        self.trigger = self.p.obj("t a a", LEFT, self.y)
        self.p.line(self.frames, 0, self.trigger)
        self.y += ROW

    def luma(self):
        b = self.p.obj("jit.rgb2luma", LEFT, self.y)
        self.p.line(self.trigger, 1, b)
        self.y += ROW
        return b

    def input_window(self):
        w = self.p.pwindow(self.slot("input"), DISPLAY_Y, PANEL_W, PANEL_H)
        self.p.line(self.trigger, 1, w)
        return w

    def overlay(self, label, drawing, source, outlet=0):
        """The drawing over the frame, dimmed to half so that it shows on
        bright shapes too."""
        x = self.slot(label)
        draw = self.p.sub("draw", drawing, MID, self.mid_y)
        self.mid_y += ROW
        self.p.line(source, outlet, draw)
        dim = self.p.obj("jit.op @op * @val 0.5", MID, self.mid_y)
        self.mid_y += ROW
        self.p.line(self.trigger, 0, dim)
        mix = self.p.obj("jit.op @op max", MID, self.mid_y)
        self.mid_y += ROW
        self.p.line(draw, 0, mix, 1)
        self.p.line(dim, 0, mix, 0)
        w = self.p.pwindow(x, DISPLAY_Y, PANEL_W, PANEL_H)
        self.p.line(mix, 0, w)
        return w


# ---------------------------------------------------------------------------
# The helps, one builder per object. Each returns its tabs (first = main).

def help_label():
    t = Tab("zelk.label", True)
    t.window("input", t.frames)
    b = t.binary()
    t.window("binary image: above the threshold", b)
    lab = t.obj("zelk.label", b)
    t.attr("threshold", lab)
    t.attr("mode", lab)
    t.attr("charmode", lab)
    col = t.p.sub("colours", colours_patcher(), LEFT, t.y)
    t.y += ROW
    t.p.line(lab, 0, col)
    t.window("labels in colours: one colour per blob", col)
    t.note("Each 4-connected blob gets a number: 1, 2, 3 ... in the order its first cell comes, row by "
           "row; 0 is background. Cells touching only at a corner are different blobs.")
    t.note("threshold N removes blobs of N cells or fewer and numbers the rest without gaps. "
           "mode 1 writes each blob's area (long output) or its rank by area (char output).")
    t.note("A label image looks black in a jit.pwindow (its values are small numbers): p colours "
           "spreads them over colours. The zelk.blobs objects read the char output (charmode 1).")
    tabs = [t.done()]
    m = Tab("zelk.label", False)
    b = m.binary()
    ranks = m.obj("zelk.label @charmode 1 @mode 1", b)
    m.attr("threshold", ranks)
    spread = m.obj("jit.op @op << @val 5", ranks)
    m.window("binary image", b)
    m.window("ranks x 32 (char, mode 1): largest darkest", spread)
    areas = m.obj("zelk.label @mode 1", b, mid=True)
    scaled = m.obj("jit.op @op / @val 16", areas, mid=True)
    m.window("areas / 16 (long, mode 1): larger brighter", scaled)
    m.note("mode 1 with char output writes each blob's rank by area, the largest 1; with long "
           "output it writes each blob's area in cells.")
    tabs.append(m.done())
    return tabs


def help_floodfill():
    t = Tab("zelk.floodfill", True)
    t.window("input", t.frames)
    b = t.binary()
    t.window("binary image", b)
    ff = t.obj("zelk.floodfill @seed 31 120", b)
    t.attr("seed", ff)
    t.window("the region 4-connected to the seed", ff)
    t.note("Keeps the one region 4-connected to the seed cell (column, row): 255 there, 0 "
           "elsewhere. Here the seed lies on the bar on the left.")
    t.note("All black when the seed lies on background or outside the image.")
    return [t.done()]


def help_binedge():
    t = Tab("zelk.binedge", True)
    t.window("input", t.frames)
    b = t.binary()
    t.window("binary image", b)
    e = t.obj("zelk.binedge", b)
    t.window("edges: foreground cells beside background", e)
    t.note("A foreground cell with a background cell among its eight neighbours is an edge cell: "
           "255 for char (1 for long and float), 0 elsewhere. The image border is no boundary.")
    t.note("Takes one plane of any type; zero is background.")
    return [t.done()]


HOUGH_CENTRE = 139   # (distance bins - 1) / 2 for 320 x 240 at rho 4


def help_hough():
    t = OverlayTab("zelk.hough", True)
    t.input_window()
    b = t.binary()
    e = t.obj("zelk.binedge", b)
    h = t.obj("zelk.hough", e)
    t.attr("rho", h)
    t.attr("theta", h)
    t.window("votes: distances across, angles down", h)
    peaks = t.obj("zelk.extrema @threshold 100 @maxpoints 4", h)
    t.overlay("the strongest lines, drawn", lines_patcher(HOUGH_CENTRE, 4, 0.0872665), peaks)
    t.note("Every foreground cell votes for the lines through it: one column per distance bin "
           "(distance 0 in the middle), one row per angle from 0 at the top. Bright cells are lines.")
    t.note("Edges (zelk.binedge) vote for fewer false lines than filled shapes. zelk.extrema finds "
           "the peaks; p draw turns them back into lines for a 320 x 240 frame at rho 4 and "
           "theta 5 degrees.")
    t.note("theta 0.0174533 (just over a degree) gives 179 rows; the default, 5 degrees, 35.")
    return [t.done()]


def help_extrema():
    t = OverlayTab("zelk.extrema", True)
    t.input_window()
    b = t.binary()
    h = t.obj("zelk.hough", t.obj("zelk.binedge", b))
    x = t.obj("zelk.extrema @threshold 100 @maxpoints 4", h)
    t.attr("threshold", x)
    t.attr("maxpoints", x)
    t.attr("mode", x)
    t.table("peaks: distance bin, angle bin", x, 2, 8)
    t.overlay("their lines over the frame", lines_patcher(HOUGH_CENTRE, 4, 0.0872665), x)
    t.note("A cell is a peak when it has more votes than threshold and more than each neighbour "
           "(8, or 4 in mode 1). The list has maxpoints cells, in raster order of the "
           "accumulator; 0 0 after the last peak.")
    t.note("Any input but a zelk.hough accumulator is refused with a console line.")
    return [t.done()]


def list_display(t, source, outlet, label, x, y, width=PANEL_W):
    """A list shown in a message box, as Max shows lists; returns the height used."""
    pre = t.obj("prepend set", source, outlet, mid=True)
    box = t.p.message("", x, y, width)
    t.p.box(box)["patching_rect"][3] = 36.0
    t.p.line(pre, 0, box)
    return 40.0 + t.p.comment(label, x, y + 40.0, width, size=10.0) + 6.0


def number_display(t, source, outlet, label, x, y, label_width=150.0, whole=False):
    n = (t.p.number if whole else t.p.flonum)(x, y)
    t.p.line(source, outlet, n)
    t.p.comment(label, x + 86.0, y, label_width, size=10.0)
    return n


def help_moments():
    t = Tab("zelk.moments", True)
    t.window("input", t.frames)
    b = t.binary()
    t.window("binary image: the shape measured", b)
    m = t.obj("zelk.moments", b)
    x, y = t.slot("what it sends, every frame"), DISPLAY_Y
    y += list_display(t, m, 0, "eta20 eta02 eta11 eta21 eta12 eta30 eta03", x, y)
    y += list_display(t, m, 1, "the seven Hu invariants", x, y)
    cx = t.obj("unpack f f", m, 2, mid=True)
    number_display(t, cx, 0, "x", x, y, 30.0)
    number_display(t, cx, 1, "y (centroid)", x + 130.0, y, 54.0)
    number_display(t, m, 3, "mass", x, y + ROW)
    t.note("One plane, two dimensions, any type: cell values are the weights (255 per cell here).")
    t.note("Sends after every matrix, right to left; a frame without mass sends the last values "
           "again.")
    return [t.done()]


def point_patcher(pen=5, colour="255 60 60"):
    """jit.lcd marking the point of an "x y" list: cleared, drawn, sent."""
    p = Patcher()
    i = p.inlet(10, 10)
    t = p.obj("t b l b", 10, 50)
    clear = p.message("brgb 0 0 0, frgb %s, pensize %d %d, clear" % (colour, pen, pen), 200, 90)
    figure = p.message("linesegment $1 $2 $1 $2", 60, 130)
    bang = p.message("bang", 10, 170)
    lcd = p.obj("jit.lcd 4 char %d %d" % (W, H), 10, 210)
    o = p.outlet(10, 250)
    p.chain(i, t)
    p.line(t, 2, clear)
    p.line(t, 1, figure)
    p.line(t, 0, bang)
    for b in (clear, figure, bang):
        p.line(b, 0, lcd)
    p.line(lcd, 0, o)
    return p


def help_centroids():
    t = OverlayTab("zelk.centroids", True)
    t.input_window()
    b = t.binary()
    t.window("binary image", b)
    c = t.obj("zelk.centroids", b)
    t.attr("outputmode", c)
    xy = t.obj("unpack f f", c, mid=True)
    x = LEFT + 2 * (PANEL_W + 20.0)
    number_display(t, xy, 0, "x", MID, t.mid_y, 30.0)
    number_display(t, xy, 1, "y", MID + 130.0, t.mid_y, 30.0)
    number_display(t, c, 1, "mass", MID, t.mid_y + ROW, 120.0)
    t.mid_y += 2 * ROW
    t.overlay("the centroid, marked", point_patcher(), c)
    t.note("The weighted centroid (column, row) of a one-plane image and its mass (char cells count "
           "value/255), sent after every matrix and on bang, right to left; -1 -1 when there is no "
           "mass.")
    return [t.done()]


def help_mass():
    t = Tab("zelk.mass", True)
    t.window("input", t.frames)
    b = t.binary()
    t.window("binary image", b)
    m = t.obj("zelk.mass", b)
    colour = t.obj("zelk.mass", t.frames, mid=True)
    x, y = t.slot("what it sends, every frame"), DISPLAY_Y
    number_display(t, m, 0, "mass of the binary image: its foreground cells", x, y, 180.0)
    list_display(t, colour, 0, "A R G B of the colour frame, each plane apart", x, y + 2 * ROW)
    t.note("One float per plane; char cells count value/255, so a binary image's mass is its number "
           "of foreground cells. Sends after every matrix and on bang.")
    return [t.done()]


def help_sum():
    t = Tab("zelk.sum", True)
    t.window("input", t.frames)
    b = t.binary()
    t.window("binary image", b)
    s = t.obj("zelk.sum", b)
    colour = t.obj("zelk.sum", t.frames, mid=True)
    x, y = t.slot("what it sends, every frame"), DISPLAY_Y
    number_display(t, s, 0, "sum of the binary image (255 a cell)", x, y, 180.0)
    list_display(t, colour, 0, "A R G B sums of the colour frame", x, y + 2 * ROW)
    t.note("One value per plane, undivided; zelk.mass gives the same divided by 255 for char cells.")
    return [t.done()]


def help_mean():
    t = Tab("zelk.mean", True)
    t.window("input", t.frames)
    m = t.obj("zelk.mean", t.frames)
    t.click("reset", m, "start a new mean with the next frame")
    t.window("the mean of every frame since the last reset", m)
    t.note("Each value is the mean of that value over every frame since the last restart: the "
           "first frame passes through, the second gives the mean of two, and so on.")
    t.note("A frame of another size, plane count or type restarts the mean too.")
    return [t.done()]


def help_covariance():
    t = Tab("zelk.covariance", True)
    t.window("input", t.frames)
    b = t.binary()
    t.window("binary image", b)
    lab = t.obj("zelk.label @charmode 1", b)
    mo = t.obj("zelk.blobs.moments", lab)
    o = t.obj("zelk.blobs.orientation", mo)
    c = t.obj("zelk.covariance", o)
    t.click("reset", c, "restart the statistics")
    t.table("N x N: d[i] d[j] of the angles' deviation", c, 5, 8, per_cell=False)
    t.note("Reads vectors: one-dimensional, one-plane float32 or float64 matrices; here one "
           "orientation angle per blob. Keeps their running mean and mean deviation d.")
    t.note("A vector of another length restarts; angles that stay the same give zeros.")
    return [t.done()]


def help_ravg():
    t = Tab("zelk.ravg", True)
    t.window("input", t.frames)
    r = t.obj("zelk.ravg @alpha 0.1", t.frames)
    t.attr("alpha", r)
    t.window("running average: moving shapes leave a wake", r)
    t.note("out = alpha x new frame + (1 - alpha) x previous average, every value apart.")
    t.note("alpha 1 passes frames through; smaller values give longer wakes. Any type and plane "
           "count.")
    return [t.done()]


def help_trackpoints():
    t = Tab("zelk.trackpoints", True)
    t.window("input", t.frames)
    b = t.binary()
    lab = t.obj("zelk.label @charmode 1", b)
    c = t.obj("zelk.blobs.centroids", lab)
    tp = t.obj("zelk.trackpoints @size 320 240", c)
    t.attr("size", tp)
    t.table("the points: x, y, flag (here the mass)", c, 3, 8)
    col = t.p.sub("colours", colours_patcher(), MID, t.mid_y)
    t.mid_y += ROW
    t.p.line(tp, 0, col)
    t.window("point k written as k, in colours", col)
    t.note("Draws every point whose flag is not 0: point k writes k at its pixel. Points in column "
           "0 or row 0 are not drawn.")
    return [t.done()]


def blob_tab(name, first=True):
    """Input, threshold and char labels: the start of every blob help."""
    t = OverlayTab(name, first)
    t.input_window()
    b = t.binary()
    lab = t.obj("zelk.label @charmode 1", b)
    return t, lab


def help_blobs_moments():
    t, lab = blob_tab("zelk.blobs.moments")
    m = t.obj("zelk.blobs.moments", lab)
    t.table("one row per blob: 17 planes", m, 17, 8)
    c = t.obj("zelk.blobs.centroids", lab, mid=True)
    t.mid_y += ROW
    t.overlay("centroids (planes 14 and 15), marked", drawing_patcher("linesegment $1 $2 $1 $2", "255 60 60", 5), c)
    t.note("Per blob, 17 float32 planes: eta20 eta02 eta11 eta21 eta12 eta30 eta03, Hu 1 to 7, "
           "centroid x, y and mass in pixels; a missing label gives zeros.")
    t.note("Takes the char label image of zelk.label @charmode 1; zelk.blobs.orientation, "
           "direction and elongation read its output.")
    return [t.done()]


def help_blobs_centroids():
    t, lab = blob_tab("zelk.blobs.centroids")
    c = t.obj("zelk.blobs.centroids", lab)
    t.table("x, y, mass per blob", c, 3, 8)
    t.overlay("centroids, marked", drawing_patcher("linesegment $1 $2 $1 $2", "255 60 60", 5), c)
    t.note("One cell per label, 3 planes of float32: x, y and mass in pixels; a missing label gives "
           "-1 -1 0. zelk.blobs.sort reads it.")
    return [t.done()]


def help_blobs_bounds():
    t, lab = blob_tab("zelk.blobs.bounds")
    bo = t.obj("zelk.blobs.bounds", lab)
    t.table("left, top, right, bottom per blob", bo, 4, 8)
    t.overlay("boxes, drawn", drawing_patcher("framerect $1 $2 $3 $4"), bo)
    t.note("One cell per label, 4 planes of long: left, top, right, bottom, inclusive pixel "
           "coordinates.")
    return [t.done()]


def angle_help(name, attrs, note, both_ways):
    t, lab = blob_tab(name)
    m = t.obj("zelk.blobs.moments", lab)
    a = t.obj(name + " @mode 1", m)
    for attr in attrs:
        t.attr(attr, a)
    t.table("degrees, one per blob", a, 1, 8)
    c = t.obj("zelk.blobs.centroids", lab, mid=True)
    both = t.p.obj("jit.pack 2 @jump 3 1", MID, t.mid_y)
    t.mid_y += ROW
    t.p.line(c, 0, both, 0)
    t.p.line(a, 0, both, 1)
    t.overlay("each blob's axis, drawn" if both_ways else "each blob's direction, drawn",
              strokes_patcher(both_ways), both)
    t.note(note)
    t.note("Takes the blob moment matrix of zelk.blobs.moments. p draw strokes each blob's "
           "centroid (zelk.blobs.centroids) along the angle.")
    return [t.done()]


def help_blobs_orientation():
    return angle_help("zelk.blobs.orientation", ["mode"],
                      "The angle of each blob's major axis, from x towards y: 0 up to 180 degrees (mode 1) "
                      "or pi radians (mode 0); 0 for a missing label or a blob as wide as tall.", True)


def help_blobs_direction():
    return angle_help("zelk.blobs.direction", ["mode", "flip"],
                      "The axis angle over a full turn: the blob's skew along its axis picks the end. "
                      "0 up to 360 degrees; flip 1 turns every result by half a turn.", False)


def help_blobs_elongation():
    t, lab = blob_tab("zelk.blobs.elongation")
    m = t.obj("zelk.blobs.moments", lab)
    e = t.obj("zelk.blobs.elongation", m)
    t.table("elongation, one per blob", e, 1, 8)
    bo = t.obj("zelk.blobs.bounds", lab, mid=True)
    t.mid_y += ROW
    t.overlay("the blobs", drawing_patcher("framerect $1 $2 $3 $4"), bo)
    t.note("0 for a disc or a square, larger for longer, thinner blobs; NaN for a one-pixel blob or "
           "a missing label, infinity for a blob in one row.")
    return [t.done()]


def help_blobs_sort():
    t, lab = blob_tab("zelk.blobs.sort")
    c = t.obj("zelk.blobs.centroids", lab)
    s = t.obj("zelk.blobs.sort @threshold 20", c)
    t.attr("threshold", s)
    t.table("identifier per blob", s, 1, 8)
    bo = t.obj("zelk.blobs.bounds", lab, mid=True)
    t.mid_y += ROW
    both = t.p.obj("jit.pack 2 @jump 4 1", MID, t.mid_y)
    t.mid_y += ROW
    t.p.line(s, 0, both, 1)
    t.p.line(bo, 0, both, 0)
    t.overlay("boxes with their identifiers",
              drawing_patcher("framerect $1 $2 $3 $4, moveto $1 $2, write $5"), both)
    t.note("Matches every centroid to the nearest blob of earlier frames: an identifier stays with "
           "its blob while it moves less than threshold pixels a frame; freed identifiers are "
           "reused, smallest first.")
    t.note("A frame without blobs sends its lone (0, 0) cell the identifier 0 and keeps the table.")
    return [t.done()]


BUILDERS = {
    "zelk.label": help_label, "zelk.floodfill": help_floodfill, "zelk.binedge": help_binedge,
    "zelk.hough": help_hough, "zelk.extrema": help_extrema, "zelk.moments": help_moments,
    "zelk.centroids": help_centroids, "zelk.mass": help_mass, "zelk.sum": help_sum,
    "zelk.mean": help_mean, "zelk.covariance": help_covariance, "zelk.ravg": help_ravg,
    "zelk.trackpoints": help_trackpoints, "zelk.blobs.moments": help_blobs_moments,
    "zelk.blobs.centroids": help_blobs_centroids, "zelk.blobs.bounds": help_blobs_bounds,
    "zelk.blobs.orientation": help_blobs_orientation, "zelk.blobs.direction": help_blobs_direction,
    "zelk.blobs.elongation": help_blobs_elongation, "zelk.blobs.sort": help_blobs_sort,
}

SEE_ALSO = {
    "zelk.label": ["zelk.blobs.moments", "zelk.blobs.bounds", "zelk.floodfill", "jit.op"],
    "zelk.floodfill": ["zelk.label", "zelk.binedge"],
    "zelk.binedge": ["zelk.hough", "zelk.label"],
    "zelk.hough": ["zelk.extrema", "zelk.binedge"],
    "zelk.extrema": ["zelk.hough"],
    "zelk.moments": ["zelk.centroids", "zelk.blobs.moments"],
    "zelk.centroids": ["zelk.moments", "zelk.mass", "zelk.blobs.centroids"],
    "zelk.mass": ["zelk.sum", "zelk.centroids"],
    "zelk.sum": ["zelk.mass"],
    "zelk.mean": ["zelk.ravg", "zelk.covariance"],
    "zelk.covariance": ["zelk.mean", "zelk.blobs.orientation"],
    "zelk.ravg": ["zelk.mean"],
    "zelk.trackpoints": ["zelk.blobs.centroids", "zelk.blobs.sort"],
    "zelk.blobs.moments": ["zelk.label", "zelk.blobs.orientation", "zelk.blobs.direction",
                           "zelk.blobs.elongation"],
    "zelk.blobs.centroids": ["zelk.label", "zelk.blobs.sort", "zelk.trackpoints"],
    "zelk.blobs.bounds": ["zelk.label", "zelk.blobs.sort"],
    "zelk.blobs.orientation": ["zelk.blobs.moments", "zelk.blobs.direction"],
    "zelk.blobs.direction": ["zelk.blobs.moments", "zelk.blobs.orientation"],
    "zelk.blobs.elongation": ["zelk.blobs.moments"],
    "zelk.blobs.sort": ["zelk.blobs.centroids", "zelk.label", "zelk.trackpoints"],
}


def question_tab(name):
    """The "?" tab: where the object sits and what goes with it."""
    p = Patcher()
    p.comment(name, 10.0, 8.0, 600.0, size=22.0, bold=True)
    p.comment(DIGEST[name], 10.0, 42.0, 860.0, size=13.0)
    y = 90.0
    y += p.comment("The reference page says every inlet, outlet, attribute and message: "
                   "right-click the object and choose Open Reference, or look it up in the "
                   "Reference window under zelk.", 10.0, y, 600.0) + 14.0
    p.comment("See also", 10.0, y, 200.0, size=13.0, bold=True)
    y += 28.0
    for other in SEE_ALSO[name]:
        p.add({"maxclass": "newobj", "text": other, "numinlets": 1, "numoutlets": 2,
               "outlettype": ["jit_matrix", ""], "patching_rect": [10.0, y, box_width(other), 22.0]})
        p.comment(DIGEST.get(other, "Jitter's operator on every cell of a matrix"),
                  box_width(other) + 20.0, y, 500.0)
        y += ROW
    p.comment("All twenty, working together: the package's home patch, zelk-home in Max's Extras menu.", 10.0,
              y + 10.0, 600.0)
    return p.patcher([0.0, 26.0, TAB_W, TAB_H], showontab=1)


def build_help(name):
    tabs = BUILDERS[name]()
    root = Patcher()
    names = ["basic", "modes"]
    for k, tab in enumerate(tabs):
        root.add({"maxclass": "newobj", "text": "p " + (names[k] if k < 2 else "tab%d" % k),
                  "numinlets": 0, "numoutlets": 0,
                  "patching_rect": [10.0 + 110.0 * k, 10.0, 80.0, 22.0], "patcher": tab})
    root.add({"maxclass": "newobj", "text": "p ?", "numinlets": 0, "numoutlets": 0,
              "patching_rect": [10.0 + 110.0 * len(tabs), 10.0, 50.0, 22.0], "patcher": question_tab(name)})
    return {"patcher": root.patcher([100.0, 100.0, TAB_W, TAB_H + 26.0], showrootpatcherontab=0, showontab=0,
                                    description=DIGEST[name], digest=DIGEST[name], tags="zelk jitter")}


# ---------------------------------------------------------------------------
# Examples: what people come for, each a patch of its own on the clip.

def boxes_with_identifiers(t, lab):
    """Boxes around the blobs with their identifiers written at the corner."""
    c = t.obj("zelk.blobs.centroids", lab)
    s = t.obj("zelk.blobs.sort @threshold 20", c)
    bo = t.obj("zelk.blobs.bounds", lab, mid=True)
    both = t.p.obj("jit.pack 2 @jump 4 1", MID, t.mid_y)
    t.mid_y += ROW
    t.p.line(s, 0, both, 1)
    t.p.line(bo, 0, both, 0)
    return s, both


def example_tracking():
    digest = "blobs tracked from frame to frame, each box with its identifier"
    t = OverlayTab("tracking blobs", True, digest=digest)
    t.input_window()
    b = t.binary()
    t.window("binary image", b)
    lab = t.obj("zelk.label @charmode 1 @threshold 20", b)
    s, both = boxes_with_identifiers(t, lab)
    t.attr("threshold", s)
    t.overlay("boxes with identifiers that stay", drawing_patcher(
        "framerect $1 $2 $3 $4, moveto $1 $2, write $5"), both)
    t.note("zelk.label numbers the blobs of each frame afresh; zelk.blobs.sort gives each an identifier "
           "that stays with it while it moves less than threshold pixels a frame.")
    t.note("jit.pack puts each blob's box (zelk.blobs.bounds) and identifier in one cell; p draw "
           "draws them with jit.lcd, and jit.op @op max lays the drawing over the frame.")
    return t.patch(digest)


def example_lines():
    digest = "straight lines found with the Hough transform and drawn over the frame"
    t = OverlayTab("finding lines", True, digest=digest)
    t.input_window()
    b = t.binary()
    e = t.obj("zelk.binedge", b)
    h = t.obj("zelk.hough", e)
    t.window("votes: distances across, angles down", h)
    x = t.obj("zelk.extrema @threshold 100 @maxpoints 4", h)
    t.attr("threshold", x)
    t.overlay("the lines found", lines_patcher(HOUGH_CENTRE, 4, 0.0872665), x)
    t.note("The edges of the binary image vote for every line through them (zelk.hough); the "
           "strongest cells of the accumulator are the lines (zelk.extrema).")
    t.note("p draw turns each (distance bin, angle bin) back into a line across a 320 x 240 frame.")
    return t.patch(digest)


def example_motion():
    digest = "what moves, against a running-average background"
    t = OverlayTab("motion", True, threshold=25, digest=digest)
    luma = t.luma()
    split = t.obj("t a a", luma)
    background = t.p.obj("zelk.ravg @alpha 0.05", MID, t.mid_y)
    t.mid_y += ROW
    t.p.line(split, 1, background)
    diff = t.obj("jit.op @op absdiff", split)
    t.p.line(background, 0, diff, 1)
    t.attr("alpha", background)
    moved = t.binary(diff)
    t.window("the background: a running average", background)
    t.window("what differs from it: what moved", moved)
    lab = t.obj("zelk.label @charmode 1 @threshold 20", moved)
    bo = t.obj("zelk.blobs.bounds", lab, mid=True)
    t.overlay("what moves, boxed", drawing_patcher("framerect $1 $2 $3 $4", "255 80 80"), bo)
    t.note("zelk.ravg keeps a slow running average of the frames: what stands still becomes "
           "background. The difference from it, thresholded, is what moves.")
    t.note("alpha sets how fast the background follows: smaller is slower.")
    return t.patch(digest)


def example_measure():
    digest = "objects counted and measured, frame by frame"
    t = Tab("counting and measuring", True, digest=digest)
    t.window("input", t.frames)
    b = t.binary()
    lab = t.obj("zelk.label @charmode 1 @threshold 20", b)
    col = t.p.sub("colours", colours_patcher(), MID, t.mid_y)
    t.mid_y += ROW
    t.p.line(lab, 0, col)
    t.window("the blobs, in colours", col)
    c = t.obj("zelk.blobs.centroids", lab)
    m = t.obj("zelk.blobs.moments", lab)
    o = t.obj("zelk.blobs.orientation @mode 1", m)
    e = t.obj("zelk.blobs.elongation", m, mid=True)
    table = t.obj("jit.pack 3 @jump 3 1 1", c, mid=True)
    t.p.line(o, 0, table, 1)
    t.p.line(e, 0, table, 2)
    t.table("x, y, area, angle, elongation", table, 5, 8)
    it = t.obj("jit.iter", c, mid=True)
    count = t.obj("+ 1", it, 1, mid=True)
    number_display(t, count, 0, "blobs counted", MID, t.mid_y, 150.0, whole=True)
    t.mid_y += ROW
    t.note("zelk.label @threshold 20 leaves out specks of 20 cells or fewer; each remaining blob "
           "gets a row: its centroid and area, its axis angle in degrees and how stretched it is.")
    t.note("A frame without blobs gives one empty row (label images always hold one cell).")
    return t.patch(digest)


EXAMPLES = {
    "zelk-tracking.maxpat": example_tracking,
    "zelk-lines.maxpat": example_lines,
    "zelk-motion.maxpat": example_motion,
    "zelk-measure.maxpat": example_measure,
}


def build_home():
    """The package's home patch: a working pipeline, then every object."""
    digest = "twenty computer-vision objects for Jitter: the clip labelled, measured and drawn"
    t = OverlayTab("zelk", True, digest=digest)
    t.input_window()
    b = t.binary()
    t.window("binary image", b)
    lab = t.obj("zelk.label @charmode 1 @threshold 20", b)
    s, both = boxes_with_identifiers(t, lab)
    t.overlay("blobs, their boxes and identifiers", drawing_patcher(
        "framerect $1 $2 $3 $4, moveto $1 $2, write $5"), both)
    t.note("The road most patches take: frames to luminance (jit.rgb2luma), a threshold (jit.op), "
           "blobs numbered (zelk.label), measured (zelk.blobs.*) and tracked (zelk.blobs.sort).")
    t.note("Every object on the right has a help patch: select it and choose Open Help. The examples "
           "folder holds more: tracking, lines, motion, measuring.")
    x, y = TAB_W + 20.0, 8.0
    for group, objects in DIGESTS:
        t.p.comment(group, x, y, 400.0, size=13.0, bold=True)
        y += 24.0
        for name, digest_text in objects:
            t.p.add({"maxclass": "newobj", "text": name, "numinlets": 1, "numoutlets": 2,
                     "outlettype": ["jit_matrix", ""], "patching_rect": [x, y, 160.0, 22.0]})
            t.p.comment(digest_text, x + 170.0, y, 420.0, size=11.0)
            y += 26.0
        y += 8.0
    return {"patcher": t.p.patcher([60.0, 60.0, TAB_W + 620.0, max(TAB_H, y + 10.0)], description=digest,
                                   digest=digest, tags="zelk jitter")}


def write(path, doc):
    with open(path, "w", encoding="utf-8") as f:
        json.dump(doc, f, indent="\t", ensure_ascii=False)
        f.write("\n")


def main():
    names = [n for _, group in DIGESTS for n, _ in group]
    missing = sorted(set(names) ^ set(BUILDERS))
    if missing:
        sys.exit("make_help.py: builder and digest tables disagree on " + ", ".join(missing))
    os.makedirs(HELP_DIR, exist_ok=True)
    for name in names:
        write(os.path.join(HELP_DIR, name + ".maxhelp"), build_help(name))
    write(os.path.join(HELP_DIR, "zelk-home.maxpat"), build_home())
    os.makedirs(EXAMPLES_DIR, exist_ok=True)
    for name, build in EXAMPLES.items():
        write(os.path.join(EXAMPLES_DIR, name), build())


if __name__ == "__main__":
    main()
