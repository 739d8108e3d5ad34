// The scenes of support/scenes.h, drawn without OpenCV for the tests that
// run without it, are the benchmarks' OpenCV scenes cell for cell.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "bench/scenes.h"
#include "support/scenes.h"

namespace {

long differing(const cv::Mat& a, const zt::Scene& b) {
  EXPECT_EQ(a.cols, b.cols);
  EXPECT_EQ(a.rows, b.rows);
  if (a.cols != b.cols || a.rows != b.rows) return -1;
  long n = 0;
  for (int y = 0; y < a.rows; ++y)
    for (int x = 0; x < a.cols; ++x) n += a.at<std::uint8_t>(y, x) != b.at<std::uint8_t>(y, x);
  return n;
}

// Every radius up to 40, centred inside, across the borders and outside.
TEST(Scenes, DiscsAreOpenCvCircles) {
  for (int r = 0; r <= 40; ++r)
    for (int cy : {-45, -3, 0, 1, 18, 35, 36, 40, 80})
      for (int cx : {-41, -2, 0, 7, 24, 48, 49, 52, 90}) {
        cv::Mat m(37, 50, CV_8U, cv::Scalar(0));
        cv::circle(m, cv::Point(cx, cy), r, cv::Scalar(255), cv::FILLED, cv::LINE_8);
        zt::Scene s(50, 37);
        zt::draw_disc(s, cx, cy, r, 255);
        ASSERT_EQ(differing(m, s), 0) << "radius " << r << " at " << cx << "," << cy;
      }
}

TEST(Scenes, TheBenchmarksScenes) {
  for (int w : {0, 1, 2, 33, 64, 160, 600})
    for (int h : {0, 1, 5, 41, 120})
      for (unsigned seed : {3u, 9u, 11u, 105u}) {
        EXPECT_EQ(differing(discs_scene(w, h, 12, seed), zt::discs_scene(w, h, 12, seed)), 0)
            << w << "x" << h << " seed " << seed;
        EXPECT_EQ(differing(noise_scene(w, h, seed), zt::noise_scene(w, h, seed)), 0)
            << w << "x" << h << " seed " << seed;
      }
}

}  // namespace
