// What a frame's results hold (its blobs and lines, read from the matrices
// the boxes sent) and the pictures --render writes of them, drawn with
// OpenCV (picture.h); a build without OpenCV has no pictures.
#pragma once

#include <string>
#include <vector>

#include "tools/zelk/array.h"
#include "tools/zelk/graph.h"

namespace zelk::runner {

// What one frame sent: every matrix, copied as it left its box.
struct FrameRecord {
  Array input;
  struct Sent {
    int node, outlet;
    Array matrix;
    int from = -1;  // a window's picture: the box that sent it there
  };
  std::vector<Sent> matrices;
  const Array* find(const Graph& g, const std::string& object) const;  // the first one an object sent
};

// One blob of a frame, as the blob road describes it.
struct BlobView {
  int label = 0;  // from 1
  int id = -1;    // zelk.blobs.sort's identifier, -1 when the patch has none
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // bounds, inclusive
  double cx = -1, cy = -1, mass = 0;
  double angle = 0;       // radians, from x towards y
  bool has_angle = false;
  double direction = 0;   // radians, over a full turn
  bool has_direction = false;
  double elongation = 0;
  bool has_elongation = false;
};
std::vector<BlobView> blobs_of(const Graph& g, const FrameRecord& r);

// A line found by zelk.hough and zelk.extrema: x cos(theta) + y sin(theta) = rho.
struct LineView {
  double rho, theta;
};
std::vector<LineView> lines_of(const Graph& g, const FrameRecord& r);

// Writes fFRAME_bBOX_OBJECT.png for every picture (a window's drawn as its
// sender's would be) and fFRAME_annotated.png
// when the frame has blobs or lines. False, with the reason, when a file
// cannot be written.
bool render_frame(const std::string& dir, long frame, const Graph& g, const FrameRecord& r,
                  std::string* why);

// Writes fFRAME_tab_NAME.png for every window of `patch` (a subpatcher by
// its name, the top level as "main", unless a help file hides it): boxes and
// cords where the file puts them, each jit.pwindow showing what it was sent
// as Jitter displays it, number boxes, toggles, attrui and jit.cellblock
// showing their values.
bool render_patch(const std::string& dir, long frame, const Patch& patch, const Graph& g, const FrameRecord& r,
                  std::string* why);

}  // namespace zelk::runner
