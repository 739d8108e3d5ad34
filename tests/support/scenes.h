// The benchmarks' synthetic scenes (bench/scenes.h) without OpenCV, cell for
// cell, for the tests that run where there is no OpenCV (arm64 under qemu).
// scenes_opencv_test.cpp holds them to OpenCV's drawing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace zt {

// A one-plane byte image, rows packed, read as a cv::Mat is: at<T>(y, x).
struct Scene {
  int cols = 0, rows = 0;
  std::vector<std::uint8_t> cells;
  Scene(int width, int height)
      : cols(width), rows(height),
        cells(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0))) {}
  template <class T>
  T& at(int y, int x) {
    static_assert(sizeof(T) == 1);
    return reinterpret_cast<T&>(cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(cols) +
                                      static_cast<std::size_t>(x)]);
  }
  template <class T>
  const T& at(int y, int x) const {
    return const_cast<Scene*>(this)->at<T>(y, x);
  }
};

// A filled disc as cv::circle(..., cv::FILLED, cv::LINE_8) draws it: the
// midpoint circle's spans, clipped to the image.
inline void draw_disc(Scene& s, int cx, int cy, int radius, std::uint8_t value) {
  auto span = [&](int y, int x0, int x1) {
    if (y < 0 || y >= s.rows) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, s.cols - 1);
    for (int x = x0; x <= x1; ++x) s.at<std::uint8_t>(y, x) = value;
  };
  int err = 0, dx = radius, dy = 0, plus = 1, minus = 2 * radius - 1;
  while (dx >= dy) {
    span(cy - dy, cx - dx, cx + dx);
    span(cy + dy, cx - dx, cx + dx);
    span(cy - dx, cx - dy, cx + dy);
    span(cy + dx, cx - dy, cx + dy);
    ++dy;
    err += plus;
    plus += 2;
    if (err > 0) {
      err -= minus;
      --dx;
      minus -= 2;
    }
  }
}

// The random draws of discs_scene, here and in bench/scenes.h: draw(x, y, r)
// for each of `count` discs, radii 4 .. max(5, min(w, h) / 16); none in an
// empty image.
template <class Draw>
void random_discs(int width, int height, int count, unsigned seed, Draw draw) {
  if (width <= 0 || height <= 0) return;
  std::mt19937 rng(seed);
  const int max_radius = std::max(5, std::min(width, height) / 16);
  std::uniform_int_distribution<int> x_dist(0, width - 1);
  std::uniform_int_distribution<int> y_dist(0, height - 1);
  std::uniform_int_distribution<int> r_dist(4, max_radius);
  for (int i = 0; i < count; ++i) {
    const int x = x_dist(rng);
    const int y = y_dist(rng);
    const int r = r_dist(rng);
    draw(x, y, r);
  }
}

// bench/scenes.h's discs_scene: the same random draws, the same discs.
inline Scene discs_scene(int width, int height, int count, unsigned seed) {
  Scene image(width, height);
  random_discs(width, height, count, seed, [&](int x, int y, int r) { draw_disc(image, x, y, r, 255); });
  return image;
}

// bench/scenes.h's noise_scene.
inline Scene noise_scene(int width, int height, unsigned seed) {
  Scene image(width, height);
  std::mt19937 rng(seed);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.at<std::uint8_t>(y, x) = noise(rng) >= 0.0f ? 255 : 0;
  return image;
}

}  // namespace zt
