// Centroids and per-plane totals against OpenCV's moments and sums.
#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstring>
#include <random>
#include <vector>

#include "compute_totals_support.h"
#include "moments/byte_rows.h"
#include "moments/centroids.h"
#include "moments/plane_totals.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using moments::Totals;
using zt::OwnedMatrix;

// The byte fast path of every kernel against OpenCV's first moments.
TEST(Centroids, BytesAgreeWithOpenCv) {
  const long sizes[][2] = {{1, 1}, {31, 2}, {640, 480}, {16400, 3}, {1920, 1080}};
  std::mt19937 rng(5);
  for (auto& wh : sizes) {
    OwnedMatrix m(CellType::Char, 1, {wh[0], wh[1]}, 9);
    cv::Mat img(static_cast<int>(wh[1]), static_cast<int>(wh[0]), CV_8U);
    for (long y = 0; y < wh[1]; ++y)
      for (long x = 0; x < wh[0]; ++x) {
        const auto v = static_cast<std::uint8_t>(rng() % 4 ? rng() : 0);
        m.at<std::uint8_t>(x, y) = v;
        img.at<std::uint8_t>(static_cast<int>(y), static_cast<int>(x)) = v;
      }
    const cv::Moments cm = cv::moments(img);
    for_each_byte_kernel(m, [&](const moments::Centroid& c) {
      EXPECT_NEAR(c.cx, cm.m10 / cm.m00, 1e-3);
      EXPECT_NEAR(c.cy, cm.m01 / cm.m00, 1e-3);
    });
  }
}

TEST(PlaneTotals, AgreesWithCvSum) {
  cv::Mat img(480, 640, CV_8UC4);
  cv::randu(img, 0, 256);
  OwnedMatrix m(CellType::Char, 4, {640, 480}, 16);
  for (int y = 0; y < 480; ++y) std::memcpy(m.row_ptr(y), img.ptr(y), 640 * 4);
  const cv::Scalar s = cv::sum(img);
  const auto got = totals(m, Totals::Sum);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(got[p], static_cast<float>(s[p]));
}

}  // namespace
