// The edge value and the edges of a scene, shared by binedge_test.cpp and
// binedge_opencv_test.cpp.
#pragma once

#include <cstdint>

#include "region/binedge.h"
#include "support/owned_matrix.h"

namespace {

template <class T> T on_value() { return T(1); }
template <> inline std::uint8_t on_value<std::uint8_t>() { return 255; }

// The edges, in type T, of a one-plane byte image read as
// img.at<std::uint8_t>(y, x) (a cv::Mat or a zt::Scene); its foreground
// cells become x % 5 + 1.
template <class T, class Image>
zt::OwnedMatrix scene_edges(const Image& img, long padding) {
  const int w = img.cols, h = img.rows;
  // Padding in whole 8-byte units keeps every row aligned for its type.
  zt::OwnedMatrix in(frame::CellTypeOf<T>::value, 1, {w, h}, padding * 8);
  zt::OwnedMatrix out(frame::CellTypeOf<T>::value, 1, {w, h}, padding * 8 + 8);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) in.at<T>(x, y) = img.template at<std::uint8_t>(y, x) ? T(x % 5 + 1) : T(0);
  region::binary_edges(in.matrix(), out.matrix(), w, h);
  return out;
}

}  // namespace
