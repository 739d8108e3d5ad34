// Centroids and per-plane totals on hand-made matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "compute_totals_support.h"
#include "moments/byte_rows.h"
#include "moments/centroids.h"
#include "moments/moments.h"
#include "moments/plane_totals.h"
#include "support/owned_matrix.h"

namespace moments {
// Test names that say which kernel ran.
inline void PrintTo(ByteKernel k, std::ostream* os) {
  *os << (k == ByteKernel::Fastest ? "Fastest" : k == ByteKernel::Baseline ? "Baseline" : "Portable");
}
}  // namespace moments

namespace {

using frame::CellType;
using moments::Totals;
using zt::OwnedMatrix;

TEST(Centroids, WorkedExamples) {
  OwnedMatrix zeros(CellType::Char, 1, {5, 4});
  moments::Centroid c = moments::compute_centroid(zeros);
  EXPECT_EQ(c.mass, 0.0f);
  EXPECT_EQ(c.cx, -1.0f);
  EXPECT_EQ(c.cy, -1.0f);

  OwnedMatrix one(CellType::Char, 1, {5, 4}, 3);
  one.at<std::uint8_t>(3, 2) = 255;
  c = moments::compute_centroid(one);
  EXPECT_EQ(c.mass, static_cast<float>(255 * moments::kCharScale));
  EXPECT_EQ(c.cx, 3.0f);
  EXPECT_EQ(c.cy, 2.0f);

  OwnedMatrix f(CellType::Float32, 1, {5, 4});
  f.at<float>(1, 3) = 1.0f;
  c = moments::compute_centroid(f);
  EXPECT_EQ(c.mass, 1.0f);
  EXPECT_EQ(c.cx, 1.0f);
  EXPECT_EQ(c.cy, 3.0f);

  OwnedMatrix two(CellType::Char, 1, {2, 1});
  two.at<std::uint8_t>(0) = 1;
  two.at<std::uint8_t>(1) = 255;
  EXPECT_FLOAT_EQ(moments::compute_centroid(two).cx, 255.0f / 256.0f);
}

TEST(Centroids, NonPositiveMassHasNoCentroid) {
  OwnedMatrix l(CellType::Long, 1, {3, 3});
  l.at<std::int32_t>(1, 1) = -5;
  l.at<std::int32_t>(2, 2) = 2;
  moments::Centroid c = moments::compute_centroid(l);
  EXPECT_EQ(c.mass, -3.0f);
  EXPECT_EQ(c.cx, -1.0f);
  EXPECT_EQ(c.cy, -1.0f);

  OwnedMatrix d(CellType::Float64, 1, {3, 3});
  d.at<double>(0, 1) = std::numeric_limits<double>::quiet_NaN();
  c = moments::compute_centroid(d);
  EXPECT_TRUE(std::isnan(c.mass));
  EXPECT_EQ(c.cx, -1.0f);
}

// A long value times its index past 32 bits is formed exactly.
TEST(Centroids, LargeLongProductsStayExact) {
  OwnedMatrix l(CellType::Long, 1, {8, 8});
  l.at<std::int32_t>(7, 6) = std::numeric_limits<std::int32_t>::max();
  const moments::Centroid c = moments::compute_centroid(l);
  EXPECT_EQ(c.cx, 7.0f);
  EXPECT_EQ(c.cy, 6.0f);
}

// The byte fast path of every kernel against the cell-by-cell sums.
TEST(Centroids, BytesMatchTheDefinition) {
  const long sizes[][2] = {{1, 1}, {31, 2}, {640, 480}, {16400, 3}, {1920, 1080}};
  std::mt19937 rng(5);
  for (auto& wh : sizes) {
    OwnedMatrix m(CellType::Char, 1, {wh[0], wh[1]}, 9);
    double s = 0, sx = 0, sy = 0;
    for (long y = 0; y < wh[1]; ++y)
      for (long x = 0; x < wh[0]; ++x) {
        const auto v = static_cast<std::uint8_t>(rng() % 4 ? rng() : 0);
        m.at<std::uint8_t>(x, y) = v;
        s += v;
        sy += static_cast<double>(v * y);
        sx += static_cast<double>(v * x);
      }
    const double K = moments::kCharScale;
    s *= K;
    sx *= K;
    sy *= K;
    for_each_byte_kernel(m, [&](const moments::Centroid& c) {
      EXPECT_EQ(c.mass, static_cast<float>(s));
      EXPECT_EQ(c.cx, static_cast<float>(sx / s));
      EXPECT_EQ(c.cy, static_cast<float>(sy / s));
    });
  }
}

TEST(PlaneTotals, BrightCharPlanes) {
  OwnedMatrix m(CellType::Char, 1, {13, 7}, 3);
  for (long y = 0; y < 7; ++y) std::memset(m.row_ptr(y), 255, 13);
  EXPECT_EQ(totals(m, Totals::Mass), std::vector<float>{13 * 7});
  EXPECT_EQ(totals(m, Totals::Sum), std::vector<float>{255 * 13 * 7});
  OwnedMatrix z(CellType::Char, 1, {13, 7});
  EXPECT_EQ(totals(z, Totals::Mass), std::vector<float>{0});
}

// Every plane count, with rows of odd lengths and padding, against plain
// per-plane byte sums; 3-D, 1-D and one-cell-wide shapes.
class BytePlanes : public testing::TestWithParam<moments::ByteKernel> {
 protected:
  void SetUp() override { was_ = moments::use_byte_kernel(GetParam()); }
  void TearDown() override { moments::use_byte_kernel(was_); }
  moments::ByteKernel was_ = moments::ByteKernel::Fastest;
};
INSTANTIATE_TEST_SUITE_P(Kernels, BytePlanes,
                         testing::Values(moments::ByteKernel::Fastest, moments::ByteKernel::Baseline,
                                         moments::ByteKernel::Portable));

TEST_P(BytePlanes, MatchPlainSums) {
  std::mt19937 rng(11);
  const std::vector<std::vector<long>> shapes = {{37, 5},   {1, 9},    {300},
                                                 {7, 3, 4}, {1000, 2}, {5000, 3}};
  for (long planes = 1; planes <= 32; ++planes)
    for (const auto& dims : shapes) {
      OwnedMatrix m(CellType::Char, planes, dims, dims.size() > 1 ? 5 : 0);
      std::vector<double> want(planes, 0);
      long slices = dims.size() > 2 ? dims[2] : 1, rows = dims.size() > 1 ? dims[1] : 1;
      for (long z = 0; z < slices; ++z)
        for (long y = 0; y < rows; ++y)
          for (long x = 0; x < dims[0]; ++x)
            for (long p = 0; p < planes; ++p) {
              const auto v = static_cast<std::uint8_t>(rng());
              m.at<std::uint8_t>(x, y, p, z) = v;
              want[p] += v;
            }
      const auto sum = totals(m, Totals::Sum), mass = totals(m, Totals::Mass);
      ASSERT_EQ(sum.size(), static_cast<size_t>(planes));
      for (long p = 0; p < planes; ++p) {
        EXPECT_EQ(sum[p], static_cast<float>(want[p])) << planes << " planes, plane " << p;
        EXPECT_EQ(mass[p], static_cast<float>(want[p] / 255.0)) << planes << " planes";
      }
    }
}

TEST(PlaneTotals, AccumulatorWidths) {
  // float32 partial sums show their rounding; the mass sums in double.
  OwnedMatrix f(CellType::Float32, 1, {1000, 100});
  float fs = 0;
  double ds = 0;
  for (long y = 0; y < 100; ++y)
    for (long x = 0; x < 1000; ++x) {
      f.at<float>(x, y) = 0.1f;
      fs += 0.1f;
      ds += 0.1f;
    }
  EXPECT_EQ(totals(f, Totals::Sum)[0], fs);
  EXPECT_EQ(totals(f, Totals::Mass)[0], static_cast<float>(ds));
  EXPECT_NE(fs, static_cast<float>(ds));

  OwnedMatrix l(CellType::Long, 2, {3, 2});
  l.at<std::int32_t>(0, 0, 0) = 2000000000;
  l.at<std::int32_t>(1, 0, 0) = 2000000000;
  l.at<std::int32_t>(2, 1, 0) = -7;
  l.at<std::int32_t>(2, 1, 1) = -7;
  EXPECT_EQ(totals(l, Totals::Sum), (std::vector<float>{3999999993.0f, -7.0f}));
  EXPECT_EQ(totals(l, Totals::Mass), (std::vector<float>{3999999993.0f, -7.0f}));
}

// A char plane past 2^31 reports its true total.
TEST(PlaneTotals, CharSumPastThirtyTwoBits) {
  OwnedMatrix m(CellType::Char, 1, {4096, 2100});
  for (long y = 0; y < 2100; ++y) std::memset(m.row_ptr(y), 255, 4096);
  EXPECT_EQ(totals(m, Totals::Sum)[0], static_cast<float>(255.0 * 4096 * 2100));
}

TEST(PlaneTotals, MoreThanThirtyTwoPlanesAndEmptyMatrices) {
  OwnedMatrix m(CellType::Float64, 40, {3, 2});
  for (long p = 0; p < 40; ++p) m.at<double>(1, 1, p) = static_cast<double>(p);
  const auto t = totals(m, Totals::Sum);
  ASSERT_EQ(t.size(), 32u);
  EXPECT_EQ(t[31], 31.0f);
  OwnedMatrix e(CellType::Long, 3, {0, 4});
  EXPECT_EQ(totals(e, Totals::Mass), (std::vector<float>{0, 0, 0}));
}

}  // namespace
