// Hough votes against OpenCV's HoughLines.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <random>
#include <vector>

#include "region/hough.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

struct Accumulator {
  region::HoughGeometry g;
  OwnedMatrix m;
  long at(long i, long t) { return m.at<std::int32_t>(i, t); }
};

Accumulator vote(const OwnedMatrix& in, double rho = region::kDefaultRho,
                 double theta = region::kDefaultTheta,
                 region::VoteKernel kernel = region::VoteKernel::Fastest) {
  const long w = in.matrix().dim[0], h = in.matrix().dim[1];
  const auto g = region::hough_geometry(rho, theta, w, h);
  Accumulator a{g, OwnedMatrix(CellType::Long, 1, {g.n_rho, g.n_theta}, 12)};
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

OwnedMatrix from_mat(const cv::Mat& img, long padding = 5) {
  OwnedMatrix m(CellType::Char, 1, {img.cols, img.rows}, padding);
  for (int y = 0; y < img.rows; ++y)
    for (int x = 0; x < img.cols; ++x) m.at<std::uint8_t>(x, y) = img.at<std::uint8_t>(y, x);
  return m;
}

// OpenCV's strongest lines, with the same steps, lie at our accumulator's
// local maxima (OpenCV's distance bins are offset by half a bin at most).
TEST(HoughVotes, OpenCvLinesAreOurPeaks) {
  for (int scene = 0; scene < 3; ++scene) {
    cv::Mat img = cv::Mat::zeros(240, 320, CV_8U);
    std::mt19937 rng(40 + scene);
    for (int l = 0; l < 3; ++l)
      cv::line(img, {static_cast<int>(rng() % 320), 0}, {static_cast<int>(rng() % 320), 239}, 255, 1);
    const OwnedMatrix in = from_mat(img);
    const double theta = CV_PI / 180.0;
    auto a = vote(in, 1.0, theta);
    std::vector<cv::Vec3f> lines;
    cv::HoughLines(img, lines, 1.0, theta, 100);
    ASSERT_GE(lines.size(), 3u);
    for (int l = 0; l < 3; ++l) {
      const long t = std::lround(lines[l][1] / theta);
      const long i = std::lround(lines[l][0]) + a.g.c;
      long best = 0;
      for (long dt = -1; dt <= 1; ++dt)
        for (long di = -1; di <= 1; ++di) {
          const long tt = (t + dt + a.g.n_theta) % a.g.n_theta;
          if (i + di >= 0 && i + di < a.g.n_rho) best = std::max(best, a.at(i + di, tt));
        }
      EXPECT_NEAR(best, lines[l][2], 2) << "scene " << scene << " line " << l;
    }
  }
}

}  // namespace
