// Synthetic binary scenes shared by the benchmarks: deterministic for a seed,
// CV_8U with cells 0 or 255.
#pragma once

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <random>

#include "frame/matrix.h"
#include "tests/support/scenes.h"  // the random draws, shared with the tests

// The computations' view of an OpenCV image (a one-row image as 1-D).
inline frame::Matrix as_frame(const cv::Mat& m, frame::CellType type) {
  frame::Matrix f;
  f.type = type;
  f.planecount = m.channels();
  f.dimcount = m.rows == 1 ? 1 : 2;
  f.dim[0] = m.cols;
  f.dim[1] = m.rows;
  f.dimstride[0] = static_cast<long>(m.elemSize());
  f.dimstride[1] = static_cast<long>(m.step[0]);
  f.data = reinterpret_cast<std::byte*>(m.data);
  return f;
}

// `count` filled discs at random centres, radii 4 .. max(5, min(w, h) / 16),
// overlapping freely.
inline cv::Mat discs_scene(int width, int height, int count, unsigned seed) {
  cv::Mat image(height, width, CV_8U, cv::Scalar(0));
  zt::random_discs(width, height, count, seed, [&](int x, int y, int r) {
    cv::circle(image, cv::Point(x, y), r, cv::Scalar(255), cv::FILLED, cv::LINE_8);
  });
  return image;
}

// Gaussian noise thresholded at its mean: each cell is 255 with probability 1/2.
inline cv::Mat noise_scene(int width, int height, unsigned seed) {
  cv::Mat image(height, width, CV_8U, cv::Scalar(0));
  std::mt19937 rng(seed);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  for (int y = 0; y < height; ++y) {
    unsigned char* row = image.ptr<unsigned char>(y);
    for (int x = 0; x < width; ++x) row[x] = noise(rng) >= 0.0f ? 255 : 0;
  }
  return image;
}
