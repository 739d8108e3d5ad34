// Hough votes against OpenCV's HoughLines.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <random>
#include <vector>

#include "hough_support.h"
#include "region/hough.h"
#include "support/owned_matrix.h"

namespace {

using zt::OwnedMatrix;

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
