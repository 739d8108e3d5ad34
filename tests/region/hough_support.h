// Votes and images shared by hough_test.cpp and hough_opencv_test.cpp.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "region/hough.h"
#include "support/owned_matrix.h"

namespace {

struct Accumulator {
  region::HoughGeometry g;
  zt::OwnedMatrix m;
  long at(long i, long t) { return m.at<std::int32_t>(i, t); }
  long total() {
    long s = 0;
    for (long t = 0; t < g.n_theta; ++t)
      for (long i = 0; i < g.n_rho; ++i) s += at(i, t);
    return s;
  }
};

inline Accumulator vote(const zt::OwnedMatrix& in, double rho = region::kDefaultRho,
                        double theta = region::kDefaultTheta,
                        region::VoteKernel kernel = region::VoteKernel::Fastest) {
  const long w = in.matrix().dim[0], h = in.matrix().dim[1];
  const auto g = region::hough_geometry(rho, theta, w, h);
  Accumulator a{g, zt::OwnedMatrix(frame::CellType::Long, 1, {g.n_rho, g.n_theta}, 12)};
  region::HoughTables tables;
  region::fill_angle_tables(tables, g, [](double v) { return std::sin(v); },
                            [](double v) { return std::cos(v); });
  region::hough_vote(frame::plane_view<const std::uint8_t>(in.matrix(), w, h),
                     frame::plane_view<std::int32_t>(a.m.matrix(), g.n_rho, g.n_theta), tables, g,
                     kernel);
  for (long t = 0; t < g.n_theta; ++t)  // padding untouched
    for (long b = g.n_rho * 4; b < a.m.matrix().dimstride[1]; ++b)
      EXPECT_EQ(static_cast<int>(a.m.row_ptr(t)[b]), 0xA5);
  return a;
}

// A one-plane byte image read as img.at<std::uint8_t>(y, x): a cv::Mat or a
// zt::Scene.
template <class Image>
zt::OwnedMatrix from_mat(const Image& img, long padding = 5) {
  zt::OwnedMatrix m(frame::CellType::Char, 1, {img.cols, img.rows}, padding);
  for (int y = 0; y < img.rows; ++y)
    for (int x = 0; x < img.cols; ++x) m.at<std::uint8_t>(x, y) = img.template at<std::uint8_t>(y, x);
  return m;
}

}  // namespace
