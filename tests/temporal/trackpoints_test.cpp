// Drawing point lists into an index image, host-free.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "support/owned_matrix.h"
#include "temporal/trackpoints.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

struct Point {
  float x, y, flag;
};

OwnedMatrix points(const std::vector<Point>& list) {
  OwnedMatrix m(CellType::Float32, 3, {static_cast<long>(list.size())});
  for (size_t k = 0; k < list.size(); ++k) {
    m.at<float>(static_cast<long>(k), 0, 0) = list[k].x;
    m.at<float>(static_cast<long>(k), 0, 1) = list[k].y;
    m.at<float>(static_cast<long>(k), 0, 2) = list[k].flag;
  }
  return m;
}

long count_nonzero(OwnedMatrix& image) {
  long n = 0;
  for (long y = 0; y < image.matrix().dim[1]; ++y)
    for (long x = 0; x < image.matrix().dim[0]; ++x) n += image.at<std::uint8_t>(x, y) != 0;
  return n;
}

TEST(TrackpointsCompute, NumbersFromOneAndBoundsFromOne) {
  OwnedMatrix image(CellType::Char, 1, {320, 240}, 5);
  temporal::draw_points(points({{10.9f, 20.2f, 1}, {0.5f, 5, 1}, {319, 239, 1}, {320, 5, 1},
                                {5, 240, 1}, {-0.5f, 7, 1}, {7, 0.99f, 1}}),
                        image);
  EXPECT_EQ(image.at<std::uint8_t>(10, 20), 1);
  EXPECT_EQ(image.at<std::uint8_t>(319, 239), 3);
  EXPECT_EQ(count_nonzero(image), 2);
  EXPECT_EQ(std::to_integer<int>(image.row_ptr(239)[320]), 0xA5);  // padding untouched
}

TEST(TrackpointsCompute, FlagsSkipButUseUpNumbers) {
  OwnedMatrix image(CellType::Char, 1, {16, 16});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  temporal::draw_points(points({{3, 3, 0}, {4, 4, -0.0f}, {5, 5, nan}, {5, 5, 2}, {6, 6, 1}}), image);
  EXPECT_EQ(image.at<std::uint8_t>(3, 3), 0);
  EXPECT_EQ(image.at<std::uint8_t>(4, 4), 0);
  EXPECT_EQ(image.at<std::uint8_t>(5, 5), 4);  // the later point of the pixel wins
  EXPECT_EQ(image.at<std::uint8_t>(6, 6), 5);
}

TEST(TrackpointsCompute, NumbersWrapAt256) {
  std::vector<Point> list(257, Point{0, 0, 0});
  list[254] = {2, 2, 1};
  list[255] = {3, 3, 1};
  list[256] = {4, 4, 1};
  OwnedMatrix image(CellType::Char, 1, {8, 8});
  temporal::draw_points(points(list), image);
  EXPECT_EQ(image.at<std::uint8_t>(2, 2), 255);
  EXPECT_EQ(image.at<std::uint8_t>(3, 3), 0);
  EXPECT_EQ(image.at<std::uint8_t>(4, 4), 1);
}

TEST(TrackpointsCompute, CoordinatesThatAreNoIntegersAreNotDrawn) {
  OwnedMatrix image(CellType::Char, 1, {8, 8});
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  temporal::draw_points(points({{nan, 2, 1}, {2, nan, 1}, {inf, 2, 1}, {2, -inf, 1},
                                {4294967296.0f + 3, 3, 1}, {-4294967296.0f, 3, 1}, {3e9f, 2, 1}}),
                        image);
  EXPECT_EQ(count_nonzero(image), 0);
}

TEST(TrackpointsCompute, ImagesWithoutDrawableCellsStayUntouched) {
  // One column or one row: no x or y satisfies 1 <= v < size.
  for (std::vector<long> dims : {std::vector<long>{1, 8}, {8, 1}, {0, 0}, {0, 5}}) {
    OwnedMatrix image(CellType::Char, 1, dims);
    temporal::draw_points(points({{0, 0, 1}, {1, 1, 1}, {0.5f, 3, 1}}), image);
    for (long y = 0; y < image.rows(); ++y)
      for (long k = 0; k < image.matrix().dimstride[1]; ++k)
        ASSERT_EQ(std::to_integer<int>(image.row_ptr(y)[k]), 0) << dims[0] << "x" << dims[1];
  }
}

}  // namespace
