// Flood fill against OpenCV's four-connected floodFill.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <random>
#include <string>
#include <vector>

#include "bench/scenes.h"
#include "floodfill_support.h"
#include "region/floodfill.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

TEST(FloodFill, MatchesOpenCvFourConnectedFill) {
  std::mt19937 rng(7);
  for (int scene = 0; scene < 6; ++scene) {
    const int w = 40 + scene * 37, h = 30 + scene * 23;
    cv::Mat img = scene % 2 ? discs_scene(w, h, 12, 100 + scene) : noise_scene(w, h, 200 + scene);
    if (scene >= 4) img = 255 - img;  // large connected background regions
    OwnedMatrix in(CellType::Char, 1, {w, h}, 7);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        in.at<std::uint8_t>(x, y) = img.at<std::uint8_t>(y, x) ? static_cast<std::uint8_t>(1 + (x * 7 + y) % 255) : 0;
    for (int trial = 0; trial < 12; ++trial) {
      const int sx = static_cast<int>(rng() % w), sy = static_cast<int>(rng() % h);
      if (!img.at<std::uint8_t>(sy, sx)) continue;
      cv::Mat mask = cv::Mat::zeros(h + 2, w + 2, CV_8U);
      cv::floodFill(img, mask, cv::Point(sx, sy), 0, nullptr, 0, 0, 4 | cv::FLOODFILL_MASK_ONLY | (1 << 8));
      const auto ours = fill(in, sx, sy);
      long diff = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) diff += (ours[y][x] == '#') != (mask.at<std::uint8_t>(y + 1, x + 1) != 0);
      EXPECT_EQ(diff, 0) << "scene " << scene << " seed " << sx << "," << sy;
    }
  }
}

}  // namespace
