// Pictures of a frame's results, drawn and encoded with OpenCV: label images
// in distinct colours, Hough accumulators as heat maps with their peaks, and
// the frame itself annotated with its blobs and lines.
#pragma once

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "tools/zelk/array.h"
#include "tools/zelk/graph.h"

namespace zelk::runner {

// What one frame sent: every matrix, copied as it left its box.
struct FrameRecord {
  Array input;
  struct Sent {
    int node, outlet;
    Array matrix;
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

// A colour that stays with a number: labels and identifiers.
cv::Scalar colour_of(int n);

// The frame (grey or colour) with every blob's box in its identifier's
// colour, its centroid, its orientation axis, and the detected lines.
cv::Mat annotate(const Graph& g, const FrameRecord& r);

// 2-D matrices as pictures: labels coloured, accumulators as heat maps,
// anything else as grey scaled to its range. Empty for other matrices.
cv::Mat picture_of(const std::string& object, const Array& m);

// Writes fFRAME_bBOX_OBJECT.png for every picture and fFRAME_annotated.png
// when the frame has blobs or lines. False, with the reason, when a file
// cannot be written.
bool render_frame(const std::string& dir, long frame, const Graph& g, const FrameRecord& r,
                  std::string* why);

// Writes a PNG (fast compression); false, with the reason, when it cannot.
bool write_png(const std::string& path, const cv::Mat& img, std::string* why);

// OpenCV's view of a packed 2-D array (no copy); empty when it is not one.
cv::Mat mat_view(const Array& a);

}  // namespace zelk::runner
