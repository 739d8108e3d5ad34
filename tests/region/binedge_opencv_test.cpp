// Binary edges against OpenCV: foreground minus its 3x3 erosion.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "bench/scenes.h"
#include "binedge_support.h"
#include "region/binedge.h"
#include "support/owned_matrix.h"

namespace {

using zt::OwnedMatrix;

template <class T>
class BinaryEdgesVsOpenCv : public ::testing::Test {};
using CellTypes = ::testing::Types<std::uint8_t, std::int32_t, float, double>;
TYPED_TEST_SUITE(BinaryEdgesVsOpenCv, CellTypes);

// Foreground minus its 3x3 erosion with replicated borders.
template <class T>
void check_against_erosion(const cv::Mat& img, long padding) {
  const int w = img.cols, h = img.rows;
  OwnedMatrix out = scene_edges<T>(img, padding);
  cv::Mat eroded, expected;
  cv::erode(img, eroded, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}), {-1, -1}, 1,
            cv::BORDER_REPLICATE);
  cv::subtract(img, eroded, expected);
  long diff = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      diff += (out.at<T>(x, y) == on_value<T>()) != (expected.at<std::uint8_t>(y, x) != 0);
  EXPECT_EQ(diff, 0) << w << "x" << h;
}

TYPED_TEST(BinaryEdgesVsOpenCv, MatchesForegroundMinusErosion) {
  check_against_erosion<TypeParam>(noise_scene(67, 41, 3), 0);
  check_against_erosion<TypeParam>(noise_scene(2, 9, 4), 3);
  check_against_erosion<TypeParam>(discs_scene(160, 120, 20, 5), 12);
  check_against_erosion<TypeParam>(255 - discs_scene(97, 61, 9, 6), 1);
  check_against_erosion<TypeParam>(noise_scene(600, 5, 8), 2);  // several chunks per row
}

}  // namespace
