#include "tools/zelk/scene.h"

#include <cmath>
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
};

// Bands of their own, so no two shapes ever touch and each keeps one blob.
const Body kBodies[] = {
    {"ellipse A", Body::Ellipse, 200, 90, 3.5, 48, 20, 0, 4, 0, 1 << 30},
    {"ellipse B", Body::Ellipse, 500, 200, -3.0, 34, 14, 30, -3, 0, 1 << 30},
    {"box C", Body::Box, 190, 315, 2.5, 36, 14, 10, 2, 0, 1 << 30},
    {"disc D", Body::Ellipse, 330, 405, 0, 22, 22, 0, 0, 25, 65},
    {"ellipse E", Body::Ellipse, 470, 405, -1.5, 26, 12, 90, 5, 50, 1 << 30},
    // The bars stand still: two straight lines for the Hough transform.
    {"bar left", Body::Box, 62, 240, 0, 180, 4, 70, 0, 0, 1 << 30},
    {"bar bottom", Body::Box, 330, 460, 0, 260, 3, 0, 0, 0, 1 << 30},
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

Array scene_frame(int n) {
  cv::Mat img(kSceneHeight, kSceneWidth, CV_8U, cv::Scalar(0));
  for (const Body& b : kBodies) {
    if (n < b.from || n >= b.to) continue;
    const int age = n - b.from;
    const cv::Point2f centre(static_cast<float>(position(b, age)), static_cast<float>(b.y));
    const float angle = static_cast<float>(b.angle0 + b.spin * age);
    const cv::Size2f size(static_cast<float>(2 * b.half_w), static_cast<float>(2 * b.half_h));
    if (b.kind == Body::Ellipse) {
      cv::ellipse(img, cv::RotatedRect(centre, size, angle), cv::Scalar(255), cv::FILLED, cv::LINE_8);
    } else {
      cv::Point2f corners[4];
      cv::RotatedRect(centre, size, angle).points(corners);
      cv::Point pts[4];
      for (int k = 0; k < 4; ++k) pts[k] = cv::Point(cvRound(corners[k].x), cvRound(corners[k].y));
      cv::fillConvexPoly(img, pts, 4, cv::Scalar(255), cv::LINE_8);
    }
  }
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
