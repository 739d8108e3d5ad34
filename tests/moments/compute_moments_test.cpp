// The moment computation on hand-made matrices and against a cell-by-cell
// reference (against OpenCV in compute_moments_opencv_test.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "compute_moments_support.h"
#include "moments/byte_rows.h"
#include "moments/moments.h"
#include "support/owned_matrix.h"

namespace moments {
// Test names that say which kernel ran.
inline void PrintTo(ByteKernel k, std::ostream* os) {
  *os << (k == ByteKernel::Fastest ? "Fastest" : k == ByteKernel::Baseline ? "Baseline" : "Portable");
}
}  // namespace moments

namespace {

using frame::CellType;
using zt::OwnedMatrix;

template <class T>
void put(std::byte* at, T v) {
  std::memcpy(at, &v, sizeof v);
}

void expect_all(const float* got, std::initializer_list<double> want, double tol = 1e-6) {
  int i = 0;
  for (double w : want) {
    EXPECT_NEAR(got[i], w, tol * std::max(1.0, std::fabs(w))) << "element " << i;
    ++i;
  }
}

// The sums exactly as the definition adds them, cell by cell.
template <class T>
moments::RawSums reference_sums(const frame::Matrix& m) {
  moments::RawSums s{};
  for (long y = 0; y < m.dim[1]; ++y)
    for (long x = 0; x < m.dim[0]; ++x) {
      T c;
      std::memcpy(&c, m.data + y * m.dimstride[1] + x * m.dimstride[0], sizeof c);
      if (c == 0) continue;
      const double v = c, X = x, Y = y, x2 = X * X, y2 = Y * Y;
      s.m00 += v;
      s.m10 += X * v;
      s.m01 += Y * v;
      s.m20 += x2 * v;
      s.m02 += y2 * v;
      s.m11 += (X * Y) * v;
      s.m30 += (x2 * X) * v;
      s.m03 += (y2 * Y) * v;
      s.m21 += (x2 * Y) * v;
      s.m12 += (y2 * X) * v;
    }
  return s;
}

void expect_same_sums(const moments::RawSums& a, const moments::RawSums& b) {
  EXPECT_EQ(0, std::memcmp(&a, &b, sizeof a))
      << a.m00 << " " << b.m00 << " | " << a.m30 << " " << b.m30 << " | " << a.m03 << " " << b.m03
      << " | " << a.m21 << " " << b.m21 << " | " << a.m12 << " " << b.m12;
}

void fill_random(OwnedMatrix& m, unsigned seed, int zero_percent = 30) {
  std::mt19937 rng(seed);
  for (long y = 0; y < m.matrix().dim[1]; ++y)
    for (long x = 0; x < m.matrix().dim[0]; ++x)
      m.at<std::uint8_t>(x, y) = (rng() % 100) < static_cast<unsigned>(zero_percent)
                                     ? 0
                                     : static_cast<std::uint8_t>(rng() % 256);
}

TEST(Moments, WorkedExamples) {
  {
    OwnedMatrix m(CellType::Char, 1, {2, 1});
    m.at<std::uint8_t>(0) = m.at<std::uint8_t>(1) = 255;
    Out o;
    ASSERT_TRUE(run(m, o));
    expect_all(o.centroids, {0.5, 0});
    EXPECT_EQ(o.mass, 510.0f);
    expect_all(o.moments, {0.125, 0, 0, 0, 0, 0, 0});
    expect_all(o.hu, {0.125, 0.015625, 0, 0, 0, 0, 0});
  }
  {
    OwnedMatrix m(CellType::Char, 1, {3, 3}, 5);
    m.at<std::uint8_t>(0, 0) = m.at<std::uint8_t>(2, 2) = 255;
    Out o;
    ASSERT_TRUE(run(m, o));
    expect_all(o.centroids, {1, 1});
    EXPECT_EQ(o.mass, 510.0f);
    expect_all(o.moments, {0.5, 0.5, 0.5, 0, 0, 0, 0});
    expect_all(o.hu, {1, 1, 0, 0, 0, 0, 0});
  }
  {
    OwnedMatrix m(CellType::Float32, 1, {2, 1});
    m.at<float>(0) = m.at<float>(1) = 1.0f;
    Out o;
    ASSERT_TRUE(run(m, o));
    expect_all(o.centroids, {0.5, 0});
    EXPECT_EQ(o.mass, 2.0f);
    expect_all(o.moments, {31.875, 0, 0, 0, 0, 0, 0});
    expect_all(o.hu, {31.875, 1016.015625, 0, 0, 0, 0, 0});
  }
}

TEST(Moments, SingleCellHasNoSpread) {
  for (CellType t : {CellType::Char, CellType::Long, CellType::Float32, CellType::Float64}) {
    // Rows 3 bytes longer than their cells: not aligned for the cell type.
    OwnedMatrix m(t, 1, {7, 5}, 3);
    std::byte* c = m.row_ptr(3) + 4 * m.matrix().dimstride[0];
    switch (t) {
      case CellType::Char:
        put<std::uint8_t>(c, 9);
        break;
      case CellType::Long:
        put<std::int32_t>(c, 9);
        break;
      case CellType::Float32:
        put<float>(c, 9);
        break;
      default:
        put<double>(c, 9);
        break;
    }
    Out o;
    ASSERT_TRUE(run(m, o));
    expect_all(o.centroids, {4, 3});
    EXPECT_EQ(o.mass, 9.0f);
    expect_all(o.moments, {0, 0, 0, 0, 0, 0, 0}, 1e-9);
    expect_all(o.hu, {0, 0, 0, 0, 0, 0, 0}, 1e-9);
  }
}

TEST(Moments, ZeroMassLeavesResultsAlone) {
  OwnedMatrix m(CellType::Float32, 1, {4, 4});
  m.at<float>(1, 1) = 2;
  m.at<float>(2, 2) = -2;  // a total of exactly 0 is no mass
  Out o;
  std::fill(o.moments, o.moments + 7, 7.0f);
  o.mass = 3;
  EXPECT_FALSE(run(m, o));
  EXPECT_EQ(o.moments[0], 7.0f);
  EXPECT_EQ(o.mass, 3.0f);
  OwnedMatrix empty(CellType::Char, 1, {0, 5});
  EXPECT_FALSE(run(empty, o));
}

TEST(Moments, NanAndNegativeTotals) {
  OwnedMatrix m(CellType::Float64, 1, {3, 2});
  m.at<double>(0, 0) = 1;
  m.at<double>(2, 1) = std::numeric_limits<double>::quiet_NaN();
  Out o;
  ASSERT_TRUE(run(m, o));
  EXPECT_TRUE(std::isnan(o.mass));
  for (float v : o.moments) EXPECT_TRUE(std::isnan(v));
  for (float v : o.hu) EXPECT_TRUE(std::isnan(v));
  for (float v : o.centroids) EXPECT_TRUE(std::isnan(v));

  OwnedMatrix n(CellType::Long, 1, {3, 1});
  n.at<std::int32_t>(0) = -3;
  n.at<std::int32_t>(2) = -1;
  ASSERT_TRUE(run(n, o));
  EXPECT_EQ(o.mass, -4.0f);
  EXPECT_FLOAT_EQ(o.centroids[0], 0.5f);
  EXPECT_TRUE(std::isfinite(o.moments[0]));  // second order: divided by M^2
  EXPECT_TRUE(std::isnan(o.moments[5]));     // third order: M^2.5 of a negative M
}

TEST(Moments, CharAndFloatScaleApart) {
  OwnedMatrix c(CellType::Char, 1, {9, 6}), f(CellType::Float32, 1, {9, 6});
  fill_random(c, 3);
  for (long y = 0; y < 6; ++y)
    for (long x = 0; x < 9; ++x) f.at<float>(x, y) = c.at<std::uint8_t>(x, y) / 255.0f;
  Out oc, of;
  ASSERT_TRUE(run(c, oc));
  ASSERT_TRUE(run(f, of));
  EXPECT_NEAR(oc.centroids[0], of.centroids[0], 1e-5);
  EXPECT_NEAR(oc.centroids[1], of.centroids[1], 1e-5);
  EXPECT_NEAR(oc.mass / 255.0, of.mass, 1e-4);
  for (int i = 0; i < 7; ++i) {
    const double order = i < 3 ? 2 : 3;
    EXPECT_NEAR(of.moments[i], oc.moments[i] * std::pow(255.0, order / 2),
                1e-4 * std::fabs(of.moments[i]) + 1e-9);
  }
}

TEST(Moments, ThinImages) {
  OwnedMatrix row(CellType::Char, 1, {40, 1}), col(CellType::Char, 1, {1, 40}, 7);
  for (long i = 0; i < 40; ++i) row.at<std::uint8_t>(i) = col.at<std::uint8_t>(0, i) = 255;
  Out a, b;
  ASSERT_TRUE(run(row, a));
  ASSERT_TRUE(run(col, b));
  expect_all(a.centroids, {19.5, 0});
  expect_all(b.centroids, {0, 19.5});
  EXPECT_EQ(a.mass, 255.0f * 40);
  EXPECT_FLOAT_EQ(a.moments[0], b.moments[1]);
  EXPECT_FLOAT_EQ(a.moments[5], b.moments[6]);
}

// The integer fast path must give the very sums of the cell-by-cell
// definition: tails that are not a whole tile, rows longer than a segment,
// padded rows, and images whose third-order sums pass 2^53.
class ByteKernels : public testing::TestWithParam<moments::ByteKernel> {
 protected:
  void SetUp() override { was_ = moments::use_byte_kernel(GetParam()); }
  void TearDown() override { moments::use_byte_kernel(was_); }
  moments::ByteKernel was_ = moments::ByteKernel::Fastest;
};
INSTANTIATE_TEST_SUITE_P(Kernels, ByteKernels,
                         testing::Values(moments::ByteKernel::Fastest, moments::ByteKernel::Baseline,
                                         moments::ByteKernel::Portable));

TEST_P(ByteKernels, MomentSumsEqualTheDefinition) {
  const long sizes[][2] = {{1, 1},    {15, 3},   {17, 2},      {640, 480},
                           {2049, 3}, {4111, 5}, {1920, 1080}, {3000, 2500}};
  unsigned seed = 1;
  for (auto& wh : sizes) {
    OwnedMatrix m(CellType::Char, 1, {wh[0], wh[1]}, (wh[0] % 3) * 5);
    fill_random(m, seed++);
    moments::RawSums s{};
    moments::accumulate_moments(m, s);
    SCOPED_TRACE(testing::Message() << wh[0] << " x " << wh[1]);
    expect_same_sums(s, reference_sums<std::uint8_t>(m));
  }
  OwnedMatrix bright(CellType::Char, 1, {1920, 1080});
  for (long y = 0; y < 1080; ++y) std::memset(bright.row_ptr(y), 255, 1920);
  moments::RawSums s{};
  moments::accumulate_moments(bright, s);
  expect_same_sums(s, reference_sums<std::uint8_t>(bright));
  Out o;
  ASSERT_TRUE(run(bright, o));
  EXPECT_EQ(o.mass, 255.0f * 1920 * 1080);
  expect_all(o.centroids, {959.5, 539.5});
}

TEST(Moments, OtherTypesEqualTheDefinition) {
  OwnedMatrix m(CellType::Long, 1, {33, 7}, 12);
  std::mt19937 rng(9);
  for (long y = 0; y < 7; ++y)
    for (long x = 0; x < 33; ++x) m.at<std::int32_t>(x, y) = static_cast<std::int32_t>(rng());
  moments::RawSums s{};
  moments::accumulate_moments(m, s);
  expect_same_sums(s, reference_sums<std::int32_t>(m));
}

}  // namespace
