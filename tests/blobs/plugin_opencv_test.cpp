// The blob descriptors through the host on shapes OpenCV draws: a binary
// image -> zelk.label @charmode 1 -> blob moments -> orientation, direction,
// elongation.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <vector>

#include "plugin_support.h"
#include "support/host_fixture.h"

namespace {

using zelk::host::Box;
using zelk::host::matrix_info;
using zt::cell;

// The float32 cells of the last matrix a box sent.
std::vector<float> last_floats(const Box& b, long plane = 0) {
  const auto sent = zt::sent_matrices(b);
  EXPECT_FALSE(sent.empty()) << b.object_name();
  if (sent.empty()) return {};
  std::vector<float> v;
  for (long k = 0; k < matrix_info(sent.back()).dim[0]; ++k) v.push_back(cell<float>(sent.back(), k, 0, plane));
  return v;
}

TEST(BlobRoad, BinaryImageToAngles) {
  AngleRoad road;
  // In raster order of their first cells: a bar along x, an ellipse at 30
  // degrees, a disc, a bar along y.
  cv::Mat image(120, 160, CV_8U, cv::Scalar(0));
  cv::rectangle(image, cv::Rect(10, 5, 40, 4), cv::Scalar(255), cv::FILLED);
  cv::ellipse(image, cv::Point(100, 40), cv::Size(30, 8), 30, 0, 360, cv::Scalar(255), cv::FILLED);
  cv::circle(image, cv::Point(30, 60), 12, cv::Scalar(255), cv::FILLED);
  cv::rectangle(image, cv::Rect(140, 70, 3, 40), cv::Scalar(255), cv::FILLED);
  road.label->send_matrix(host_image(image).get());
  const std::vector<float> deg = last_floats(*road.orientation);
  ASSERT_EQ(deg.size(), 4u);
  EXPECT_EQ(deg[0], 0.0f);
  EXPECT_NEAR(deg[1], 30.0f, 1.0f);
  EXPECT_NEAR(deg[3], 90.0f, 1e-4);
  const std::vector<float> el = last_floats(*road.elongation);
  EXPECT_GT(el[0], 10.0f);
  EXPECT_LT(el[2], 0.01f);  // a disc
  EXPECT_GT(el[3], 10.0f);
  // The direction is the orientation or half a turn beyond it.
  const std::vector<float> dir = last_floats(*road.direction);
  for (int k = 0; k < 4; ++k) {
    const double o = deg[k] / 57.29577951308;
    const double d = std::fmod(dir[k] + 2 * 3.14159265358979, 3.14159265358979);
    EXPECT_TRUE(std::fabs(d - o) < 1e-4 || std::fabs(d - o) > 3.1415) << k << " " << dir[k] << " " << deg[k];
  }
  // A mass and centroid check on the moment matrix itself.
  EXPECT_EQ(last_floats(*road.moments, 16)[0], 160.0f);
  EXPECT_EQ(last_floats(*road.moments, 14)[0], 29.5f);
}

}  // namespace
