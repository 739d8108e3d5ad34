// Labelling against OpenCV's four-connected components.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <map>
#include <memory>
#include <random>
#include <vector>

#include "label_support.h"
#include "region/label.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// Renumbers labels by the raster order of each label's first cell.
cv::Mat canonical(const cv::Mat& labels) {
  std::map<int, int> order;
  cv::Mat out(labels.size(), CV_32S);
  for (int y = 0; y < labels.rows; ++y)
    for (int x = 0; x < labels.cols; ++x) {
      const int v = labels.at<int>(y, x);
      if (v == 0) {
        out.at<int>(y, x) = 0;
        continue;
      }
      auto it = order.emplace(v, static_cast<int>(order.size()) + 1).first;
      out.at<int>(y, x) = it->second;
    }
  return out;
}

TEST(LabelComputation, MatchesOpenCvConnectedComponents) {
  std::mt19937 rng(7);
  const int sizes[][2] = {{17, 13}, {64, 48}, {160, 120}, {333, 97}};
  const double densities[] = {0.2, 0.45, 0.6, 0.8};
  for (const auto& size : sizes) {
    for (double density : densities) {
      const int w = size[0], h = size[1];
      cv::Mat bin(h, w, CV_8U);
      std::bernoulli_distribution on(density);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bin.at<std::uint8_t>(y, x) = on(rng) ? 255 : 0;
      OwnedMatrix in(CellType::Char, 1, {w, h}, 3);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) in.at<std::uint8_t>(x, y) = bin.at<std::uint8_t>(y, x);
      const auto ours = run(in);
      cv::Mat ref;
      const int n = cv::connectedComponents(bin, ref, 4, CV_32S) - 1;
      if (n > region::kMaxBlobs) continue;
      ASSERT_EQ(ours.count, n) << w << "x" << h << " density " << density;
      cv::Mat mine(h, w, CV_32S);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) mine.at<int>(y, x) = static_cast<int>(ours.cells[y][x]);
      // Ours is already in raster order of first cells; OpenCV's partition matches.
      EXPECT_EQ(cv::countNonZero(canonical(mine) != mine), 0);
      EXPECT_EQ(cv::countNonZero(canonical(ref) != mine), 0) << w << "x" << h << " density " << density;
    }
  }
}

}  // namespace
