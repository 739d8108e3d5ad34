#include "tools/zelk/scene.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include <opencv2/imgproc.hpp>

namespace zelk::runner {
namespace {

struct Body {
  const char* name;
  enum Kind { Ellipse, Box } kind;
  double x0, y, speed;      // start, row, pixels per frame along x
  double half_w, half_h;    // half axes or half sides
  double angle0, spin;      // degrees, degrees per frame
  int from, to;             // frames in which it is present: [from, to)
  unsigned char r, g, b;    // its colour in the camera's view
};

// Bands of their own, so no two shapes ever touch and each keeps one blob.
const Body kBodies[] = {
    {"ellipse A", Body::Ellipse, 200, 90, 3.5, 48, 20, 0, 4, 0, 1 << 30, 245, 150, 40},
    {"ellipse B", Body::Ellipse, 500, 200, -3.0, 34, 14, 30, -3, 0, 1 << 30, 70, 215, 235},
    {"box C", Body::Box, 190, 315, 2.5, 36, 14, 10, 2, 0, 1 << 30, 200, 230, 60},
    {"disc D", Body::Ellipse, 330, 405, 0, 22, 22, 0, 0, 25, 65, 235, 90, 200},
    {"ellipse E", Body::Ellipse, 470, 405, -1.5, 26, 12, 90, 5, 50, 1 << 30, 150, 170, 255},
    // The bars stand still: two straight lines for the Hough transform.
    {"bar left", Body::Box, 62, 240, 0, 180, 4, 70, 0, 0, 1 << 30, 225, 225, 215},
    {"bar bottom", Body::Box, 330, 460, 0, 260, 3, 0, 0, 0, 1 << 30, 225, 225, 215},
};

// Where a body is `n` frames after it appeared: back and forth in its band.
double position(const Body& b, int n) {
  const double lo = 170, hi = 530, span = hi - lo;
  if (b.speed == 0) return b.x0;
  double t = std::fmod(b.x0 - lo + b.speed * n, 2 * span);
  if (t < 0) t += 2 * span;
  return lo + (t <= span ? t : 2 * span - t);
}

}  // namespace

std::vector<SceneShape> scene_shapes(int n) {
  std::vector<SceneShape> out;
  for (const Body& b : kBodies) {
    if (n < b.from || n >= b.to) continue;
    const int age = n - b.from;
    // The long axis is the width's unless the shape is taller than wide.
    const double axis = b.angle0 + b.spin * age + (b.half_w < b.half_h ? 90 : 0);
    out.push_back({b.name, position(b, age), b.y, std::fmod(std::fmod(axis, 180.0) + 180.0, 180.0),
                   b.speed != 0 || b.spin != 0});
  }
  return out;
}

namespace {

// Every body present in frame `n`, drawn into `img` at `scale` in `colour(b)`.
template <class Colour>
void draw_bodies(cv::Mat& img, int n, double scale, int line_type, Colour colour) {
  for (const Body& b : kBodies) {
    if (n < b.from || n >= b.to) continue;
    const int age = n - b.from;
    const cv::Point2f centre(static_cast<float>(position(b, age) * scale), static_cast<float>(b.y * scale));
    const float angle = static_cast<float>(b.angle0 + b.spin * age);
    const cv::Size2f size(static_cast<float>(2 * b.half_w * scale), static_cast<float>(2 * b.half_h * scale));
    if (b.kind == Body::Ellipse) {
      cv::ellipse(img, cv::RotatedRect(centre, size, angle), colour(b), cv::FILLED, line_type);
    } else {
      cv::Point2f corners[4];
      cv::RotatedRect(centre, size, angle).points(corners);
      cv::Point pts[4];
      for (int k = 0; k < 4; ++k) pts[k] = cv::Point(cvRound(corners[k].x), cvRound(corners[k].y));
      cv::fillConvexPoly(img, pts, 4, colour(b), line_type);
    }
  }
}

}  // namespace

Array scene_colour_frame(int n, int width, int height) {
  // The ground: dark blue-grey with a little noise, the same for a frame every time.
  cv::Mat img(height, width, CV_8UC4);
  std::uint32_t state = 2654435761u * static_cast<std::uint32_t>(n + 1);
  for (int y = 0; y < height; ++y) {
    auto* p = img.ptr<unsigned char>(y);
    for (int x = 0; x < width; ++x, p += 4) {
      state = state * 1664525u + 1013904223u;
      const int noise = static_cast<int>(state >> 29) - 4;  // -4..3
      p[0] = 255, p[1] = static_cast<unsigned char>(20 + noise), p[2] = static_cast<unsigned char>(24 + noise),
      p[3] = static_cast<unsigned char>(32 + noise);
    }
  }
  draw_bodies(img, n, static_cast<double>(width) / kSceneWidth, cv::LINE_AA,
              [](const Body& b) { return cv::Scalar(255, b.r, b.g, b.b); });
  Array a;
  a.type = frame::CellType::Char;
  a.planecount = 4;
  a.dims = {width, height};
  a.data.resize(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    std::memcpy(a.data.data() + static_cast<std::size_t>(y) * width * 4, img.ptr(y), static_cast<std::size_t>(width) * 4);
  return a;
}

Array scene_frame(int n) {
  cv::Mat img(kSceneHeight, kSceneWidth, CV_8U, cv::Scalar(0));
  draw_bodies(img, n, 1.0, cv::LINE_8, [](const Body&) { return cv::Scalar(255); });
  Array a;
  a.type = frame::CellType::Char;
  a.planecount = 1;
  a.dims = {kSceneWidth, kSceneHeight};
  a.data.resize(static_cast<std::size_t>(kSceneWidth) * kSceneHeight);
  for (int y = 0; y < kSceneHeight; ++y)
    std::memcpy(a.data.data() + static_cast<std::size_t>(y) * kSceneWidth, img.ptr(y), kSceneWidth);
  return a;
}

}  // namespace zelk::runner
