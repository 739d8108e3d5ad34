// Host images and the road to the angle descriptors, shared by
// plugin_test.cpp and plugin_opencv_test.cpp.
#pragma once

#include <cstdint>
#include <memory>

#include "support/host_fixture.h"

namespace {

// A one-plane byte image read as img.at<std::uint8_t>(y, x) (a cv::Mat or a
// zt::Scene) as a host char matrix.
template <class Image>
zt::HostMatrix host_image(const Image& m) {
  auto h = zt::make_matrix(_jit_sym_char, 1, {m.cols, m.rows});
  for (int y = 0; y < m.rows; ++y)
    for (int x = 0; x < m.cols; ++x) zt::cell<std::uint8_t>(h.get(), x, y) = m.template at<std::uint8_t>(y, x);
  return h;
}

struct AngleRoad {
  std::unique_ptr<zelk::host::Box> label = zt::make_box("zelk.label @charmode 1");
  std::unique_ptr<zelk::host::Box> moments = zt::make_box("zelk.blobs.moments");
  std::unique_ptr<zelk::host::Box> orientation = zt::make_box("zelk.blobs.orientation @mode 1");
  std::unique_ptr<zelk::host::Box> direction = zt::make_box("zelk.blobs.direction");
  std::unique_ptr<zelk::host::Box> elongation = zt::make_box("zelk.blobs.elongation");
  AngleRoad() {
    label->connect(0, *moments);
    moments->connect(0, *orientation);
    moments->connect(0, *direction);
    moments->connect(0, *elongation);
  }
};

}  // namespace
