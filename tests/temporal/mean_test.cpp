// The cumulative mean on host-free matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "support/owned_matrix.h"
#include "temporal/mean.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// A mean over frames with its own accumulator, as the object keeps it.
struct Mean {
  std::vector<double> acc;
  double n = 0;
  void frame(const OwnedMatrix& in, const OwnedMatrix& out) {
    const temporal::Region r = temporal::working_region(in, out);
    acc.resize(static_cast<size_t>(temporal::mean_values(r)));
    n += 1;
    temporal::mean_walk(in, out, r, n, acc.data(), r);
  }
};

TEST(MeanCompute, CharFramesTruncateTheRunningMean) {
  OwnedMatrix in(CellType::Char, 1, {3, 2}), out(CellType::Char, 1, {3, 2});
  Mean mean;
  std::vector<int> seen;
  for (int v : {10, 20, 30}) {
    in.at<std::uint8_t>(2, 1) = static_cast<std::uint8_t>(v);
    mean.frame(in, out);
    seen.push_back(out.at<std::uint8_t>(2, 1));
  }
  EXPECT_EQ(seen, (std::vector<int>{10, 15, 20}));
}

TEST(MeanCompute, ConstantHundredDipsToNinetyNine) {
  // 40 values: two whole SIMD blocks and a scalar tail see the same means.
  OwnedMatrix in(CellType::Char, 4, {10, 1}), out(CellType::Char, 4, {10, 1});
  for (long x = 0; x < 10; ++x)
    for (long p = 0; p < 4; ++p) in.at<std::uint8_t>(x, 0, p) = 100;
  Mean mean;
  for (int frame = 1; frame <= 20; ++frame) {
    mean.frame(in, out);
    const int want = (frame == 12 || frame >= 17) ? 99 : 100;
    for (long x = 0; x < 10; ++x)
      for (long p = 0; p < 4; ++p)
        ASSERT_EQ(out.at<std::uint8_t>(x, 0, p), want) << "frame " << frame << " x " << x;
  }
}

TEST(MeanCompute, AccumulatorBytesRoundEveryRowUp) {
  temporal::Region r;
  r.dimcount = 2, r.planecount = 1, r.dim[0] = 3, r.dim[1] = 2;
  EXPECT_EQ(temporal::mean_accumulator_bytes(r), 64);  // 24 bytes -> 32 per row
  r.dim[0] = 2;
  EXPECT_EQ(temporal::mean_accumulator_bytes(r), 64);  // a whole 16 still gains 16
  r.dimcount = 1;
  EXPECT_EQ(temporal::mean_accumulator_bytes(r), 32);
  r.dimcount = 3, r.dim[2] = 5, r.planecount = 4;
  EXPECT_EQ(temporal::mean_accumulator_bytes(r), (64 / 16 + 1) * 16 * 2 * 5);
  EXPECT_EQ(temporal::mean_values(r), 2 * 4 * 2 * 5);
  r.dim[1] = 0;
  EXPECT_EQ(temporal::mean_accumulator_bytes(r), 0);
  r.dimcount = 0;
  EXPECT_EQ(temporal::mean_values(r), 0);
}

// Reference: every value by the formula, in float64.
template <class T>
double next_mean(double a, double m, double n) {
  const double w = 1.0 / n, v = 1.0 - w;
  return a * w + m * v;
}

TEST(MeanCompute, LongAndFloatPathsMatchTheFormula) {
  std::mt19937 rng(7);
  const long w = 37;  // two blocks and a tail per row
  OwnedMatrix li(CellType::Long, 1, {w, 3}, 8), lo(CellType::Long, 1, {w, 3}, 8);
  OwnedMatrix fi(CellType::Float32, 1, {w, 3}, 4), fo(CellType::Float32, 1, {w, 3}, 4);
  OwnedMatrix di(CellType::Float64, 1, {w, 3}), dout(CellType::Float64, 1, {w, 3});
  Mean lmean, fmean, dmean;
  std::vector<double> lref(w * 3, 0.0);
  std::vector<float> fref(w * 3, 0.0f);
  std::vector<double> dref(w * 3, 0.0);
  std::uniform_int_distribution<std::int32_t> any_long(INT32_MIN, INT32_MAX);
  std::uniform_real_distribution<float> any_float(-1e6f, 1e6f);
  for (int frame = 1; frame <= 9; ++frame) {
    for (long y = 0; y < 3; ++y)
      for (long x = 0; x < w; ++x) {
        const size_t k = static_cast<size_t>(y * w + x);
        std::int32_t lv = any_long(rng);
        if (x == 0) lv = INT32_MIN;  // the SIMD sentinel value, exactly
        if (x == 1) lv = INT32_MAX;
        li.at<std::int32_t>(x, y) = lv;
        lref[k] = next_mean<std::int32_t>(lv, lref[k], frame);
        const float fv = any_float(rng);
        fi.at<float>(x, y) = fv;
        fref[k] = static_cast<float>(next_mean<float>(fv, fref[k], frame));
        di.at<double>(x, y) = fv * 1.000001;
        dref[k] = next_mean<double>(fv * 1.000001, dref[k], frame);
      }
    lmean.frame(li, lo);
    fmean.frame(fi, fo);
    dmean.frame(di, dout);
    for (long y = 0; y < 3; ++y)
      for (long x = 0; x < w; ++x) {
        const size_t k = static_cast<size_t>(y * w + x);
        ASSERT_EQ(lo.at<std::int32_t>(x, y),
                  static_cast<std::int32_t>(static_cast<std::int64_t>(lref[k])))
            << frame << " " << x;
        ASSERT_EQ(fo.at<float>(x, y), fref[k]);
        ASSERT_EQ(dout.at<double>(x, y), dref[k]);
      }
  }
  // Row padding is never written.
  EXPECT_EQ(static_cast<int>(*(lo.row_ptr(0) + w * 4)), 0xA5);
  EXPECT_EQ(static_cast<int>(*(fo.row_ptr(1) + w * 4)), 0xA5);
}

TEST(MeanCompute, NegativeMeansTruncateTowardZero) {
  OwnedMatrix in(CellType::Long, 1, {1}), out(CellType::Long, 1, {1});
  Mean mean;
  in.at<std::int32_t>(0) = -3;
  mean.frame(in, out);
  in.at<std::int32_t>(0) = -4;
  mean.frame(in, out);
  EXPECT_EQ(out.at<std::int32_t>(0), -3);
}

TEST(MeanCompute, ThreeDimensionalSlicesKeepTheirOwnMeans) {
  OwnedMatrix in(CellType::Char, 2, {3, 2, 4}, 5), out(CellType::Char, 2, {3, 2, 4}, 5);
  Mean mean;
  for (int frame = 0; frame < 2; ++frame) {
    for (long z = 0; z < 4; ++z)
      for (long y = 0; y < 2; ++y)
        for (long x = 0; x < 3; ++x)
          for (long p = 0; p < 2; ++p)
            in.at<std::uint8_t>(x, y, p, z) =
                static_cast<std::uint8_t>(frame == 0 ? 10 * z + y + x + p : 10 * z + 3 * (y + x + p));
    mean.frame(in, out);
  }
  for (long z = 0; z < 4; ++z)
    for (long y = 0; y < 2; ++y)
      for (long x = 0; x < 3; ++x)
        for (long p = 0; p < 2; ++p) {
          const double a = 10 * z + y + x + p, b = 10 * z + 3 * (y + x + p);
          EXPECT_EQ(out.at<std::uint8_t>(x, y, p, z), static_cast<int>((a + b) / 2))
              << x << y << p << z;
        }
}

TEST(MeanCompute, WorkingRegionIsTheSmallerOfBoth) {
  OwnedMatrix in(CellType::Float32, 1, {4, 3}), out(CellType::Float32, 1, {2, 5});
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 2; ++x) out.at<float>(x, y) = -1.0f;
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 4; ++x) in.at<float>(x, y) = 7.0f;
  Mean mean;
  mean.frame(in, out);
  EXPECT_EQ(out.at<float>(1, 2), 7.0f);
  EXPECT_EQ(out.at<float>(1, 3), -1.0f);  // beyond the input's rows
  const temporal::Region r = temporal::working_region(in, out);
  EXPECT_EQ(r.dim[0], 2);
  EXPECT_EQ(r.dim[1], 3);
  // A dimension the input lacks counts as 1.
  OwnedMatrix row(CellType::Float32, 1, {4});
  const temporal::Region r1 = temporal::working_region(row, out);
  EXPECT_EQ(r1.dimcount, 2);
  EXPECT_EQ(r1.dim[1], 1);
}

TEST(MeanCompute, SingleCellRowsAndEmptyRegions) {
  OwnedMatrix in(CellType::Char, 3, {1, 4}), out(CellType::Char, 3, {1, 4});
  in.at<std::uint8_t>(0, 3, 2) = 200;
  Mean mean;
  mean.frame(in, out);
  EXPECT_EQ(out.at<std::uint8_t>(0, 3, 2), 200);
  OwnedMatrix empty_in(CellType::Char, 1, {0, 3}), empty_out(CellType::Char, 1, {0, 3});
  mean.acc.clear();
  mean.frame(empty_in, empty_out);  // nothing to touch, nothing touched
  EXPECT_EQ(mean.acc.size(), 0u);
}

}  // namespace
