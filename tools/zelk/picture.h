// Pictures of a frame's results, drawn and encoded with OpenCV: label images
// in distinct colours, Hough accumulators as heat maps with their peaks, and
// the frame itself annotated with its blobs and lines.
#pragma once

#include <string>

#include <opencv2/core.hpp>

#include "tools/zelk/array.h"
#include "tools/zelk/graph.h"
#include "tools/zelk/render.h"

namespace zelk::runner {

// A colour that stays with a number: labels and identifiers.
cv::Scalar colour_of(int n);

// The frame (grey or colour) with every blob's box in its identifier's
// colour, its centroid, its orientation axis, and the detected lines.
cv::Mat annotate(const Graph& g, const FrameRecord& r);

// 2-D matrices as pictures: labels coloured, accumulators as heat maps,
// anything else as grey scaled to its range. Empty for other matrices.
cv::Mat picture_of(const std::string& object, const Array& m);

// Writes a PNG (fast compression); false, with the reason, when it cannot.
bool write_png(const std::string& path, const cv::Mat& img, std::string* why);

// OpenCV's view of a packed 2-D array (no copy); empty when it is not one.
cv::Mat mat_view(const Array& a);

}  // namespace zelk::runner
