// The running average on host-free matrices: the row runs, the float32
// state of the integer types and the division into parts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "support/owned_matrix.h"
#include "temporal/ravg.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// Padding that rounds rows up to 16 bytes, as the host lays them out.
long pad16(CellType t, long planes, long width) {
  const long row = planes * static_cast<long>(frame::cell_size(t)) * width;
  return (row + 15) / 16 * 16 - row;
}

struct Ravg {
  OwnedMatrix in, out, internal;
  Ravg(CellType t, long planes, std::vector<long> dims)
      : in(t, planes, dims, pad16(t, planes, dims[0])),
        out(t, planes, dims, pad16(t, planes, dims[0])),
        internal(CellType::Float32, planes, dims, pad16(CellType::Float32, planes, dims[0])) {
    for (long y = 0; y < internal.rows(); ++y)  // a cleared internal matrix, padding too
      std::memset(internal.row_ptr(y), 0, static_cast<size_t>(internal.matrix().dimstride[1]));
  }
  void frame(double alpha) {
    const temporal::Region r = temporal::working_region(in, out);
    ASSERT_TRUE(temporal::ravg_rows_fit(r, in, out, internal));
    temporal::ravg_slice(alpha, r.dimcount, r.dim, in, out, internal);
  }
};

TEST(RavgCompute, ConstantCharSettlesAt254) {
  Ravg avg(CellType::Char, 4, {5, 3});
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 5; ++x)
      for (long p = 0; p < 4; ++p) avg.in.at<std::uint8_t>(x, y, p) = 255;
  std::vector<int> first;
  int reached = 0;
  for (int frame = 1; frame <= 400; ++frame) {
    avg.frame(0.05);
    const int v = avg.out.at<std::uint8_t>(4, 2, 3);
    ASSERT_EQ(v, avg.out.at<std::uint8_t>(0, 0, 0));  // every value alike
    if (frame <= 3) first.push_back(v);
    if (v == 254 && !reached) reached = frame;
    if (reached) {
      ASSERT_EQ(v, 254) << "frame " << frame;
    }
  }
  EXPECT_EQ(first, (std::vector<int>{12, 24, 36}));
  EXPECT_EQ(reached, 109);
  EXPECT_FLOAT_EQ(avg.internal.at<float>(4, 2, 3), 254.9998f);
}

TEST(RavgCompute, AlphaOneAndZero) {
  Ravg avg(CellType::Long, 1, {20, 2});
  avg.in.at<std::int32_t>(3, 1) = 2147483647;
  avg.in.at<std::int32_t>(17, 1) = 2147483647;  // scalar tail and SIMD block alike
  avg.in.at<std::int32_t>(4, 1) = -77;
  avg.frame(1.0);
  EXPECT_EQ(avg.out.at<std::int32_t>(3, 1), INT32_MIN);  // 2^31 as float32, low 32 bits
  EXPECT_EQ(avg.out.at<std::int32_t>(17, 1), INT32_MIN);
  EXPECT_EQ(avg.out.at<std::int32_t>(4, 1), -77);
  avg.in.at<std::int32_t>(4, 1) = 5000;
  avg.frame(0.0);
  EXPECT_EQ(avg.out.at<std::int32_t>(4, 1), -77);  // the previous average stays

  Ravg f(CellType::Float32, 2, {3, 3});
  f.out.at<float>(1, 1, 1) = 3.5f;
  f.in.at<float>(1, 1, 1) = 100.0f;
  f.frame(0.0);
  EXPECT_EQ(f.out.at<float>(1, 1, 1), 3.5f);
  f.frame(1.0);
  EXPECT_EQ(f.out.at<float>(1, 1, 1), 100.0f);
}

TEST(RavgCompute, LongStateBeyond32BitsKeepsItsLowBits) {
  // An average above 2^31 truncates to 64 bits; the cell keeps the low 32.
  Ravg avg(CellType::Long, 1, {20, 1});
  for (long x = 0; x < 20; ++x) avg.internal.at<float>(x) = 2147483904.0f + 256.0f * x;
  avg.frame(0.0);
  for (long x = 0; x < 20; ++x)
    EXPECT_EQ(avg.out.at<std::int32_t>(x),
              static_cast<std::int32_t>(static_cast<std::uint32_t>(2147483904LL + 256 * x)))
        << x;
  // A char cell of such a state keeps its low byte (0: a multiple of 256).
  Ravg c(CellType::Char, 1, {20, 1});
  for (long x = 0; x < 20; ++x) c.internal.at<float>(x) = x % 2 ? -3.7f : 2147483904.0f;
  c.frame(0.0);
  for (long x = 0; x < 20; ++x) EXPECT_EQ(c.out.at<std::uint8_t>(x), x % 2 ? 253 : 0) << x;
}

// Reference: every value of every whole group, in the row's order.
template <class T, class W>
void reference(const OwnedMatrix& in, OwnedMatrix& out, OwnedMatrix& internal, long n_values,
               double alpha) {
  const W a = static_cast<W>(alpha), b = static_cast<W>(1.0 - alpha);
  for (long y = 0; y < in.rows(); ++y) {
    auto* iv = reinterpret_cast<const T*>(in.row_ptr(y));
    auto* ov = reinterpret_cast<T*>(out.row_ptr(y));
    auto* sv = reinterpret_cast<float*>(internal.row_ptr(y));
    for (long k = 0; k < n_values; ++k) {
      if constexpr (std::is_integral_v<T>) {
        const float s = static_cast<float>(iv[k]) * static_cast<float>(a) + sv[k] * static_cast<float>(b);
        sv[k] = s;
        ov[k] = static_cast<T>(static_cast<std::int64_t>(s));
      } else {
        ov[k] = static_cast<T>(static_cast<W>(iv[k]) * a + static_cast<W>(ov[k]) * b);
      }
    }
  }
}

template <class T, class W>
void check_against_reference(CellType t, long planes, long width, long height, long in_pad) {
  OwnedMatrix in(t, planes, {width, height}, in_pad), out(t, planes, {width, height}, in_pad);
  OwnedMatrix internal(CellType::Float32, planes, {width, height}, pad16(CellType::Float32, planes, width));
  OwnedMatrix ref_out(t, planes, {width, height}, in_pad);
  OwnedMatrix ref_internal(CellType::Float32, planes, {width, height}, pad16(CellType::Float32, planes, width));
  std::mt19937 rng(static_cast<unsigned>(width * 31 + planes));
  std::uniform_real_distribution<double> any(-1000.0, 1000.0);
  // Whole groups of the stride, but never past the row's last cell.
  const long n = std::min(temporal::ravg_row_values(in, internal), width * planes);
  for (int frame = 0; frame < 4; ++frame) {
    for (long y = 0; y < height; ++y) {
      auto* iv = reinterpret_cast<T*>(in.row_ptr(y));
      for (long k = 0; k < in.matrix().dimstride[1] / static_cast<long>(sizeof(T)); ++k)
        iv[k] = std::is_integral_v<T> ? static_cast<T>(static_cast<std::int64_t>(any(rng)) & 0xFFFF)
                                      : static_cast<T>(any(rng));
    }
    const double alpha = 0.1 + 0.2 * frame;
    const temporal::Region r = temporal::working_region(in, out);
    temporal::ravg_slice(alpha, r.dimcount, r.dim, in, out, internal);
    reference<T, W>(in, ref_out, ref_internal, n, alpha);
    for (long y = 0; y < height; ++y) {
      ASSERT_EQ(std::memcmp(out.row_ptr(y), ref_out.row_ptr(y), static_cast<size_t>(out.matrix().dimstride[1])), 0)
          << "row " << y << " width " << width;
      if (std::is_integral_v<T>) {
        ASSERT_EQ(std::memcmp(internal.row_ptr(y), ref_internal.row_ptr(y), static_cast<size_t>(n * 4)), 0);
      }
    }
  }
}

TEST(RavgCompute, EveryTypeMatchesThePerValueFormula) {
  for (long width : {1L, 3L, 4L, 7L, 16L, 33L}) {
    check_against_reference<std::uint8_t, float>(CellType::Char, 3, width, 3, pad16(CellType::Char, 3, width));
    check_against_reference<std::int32_t, float>(CellType::Long, 2, width, 3, pad16(CellType::Long, 2, width));
    check_against_reference<float, float>(CellType::Float32, 1, width, 3, pad16(CellType::Float32, 1, width));
    check_against_reference<double, double>(CellType::Float64, 2, width, 2, pad16(CellType::Float64, 2, width));
  }
}

TEST(RavgCompute, GroupsComeFromTheStrides) {
  // float32, 5 values in a 20-byte row: one group; the fifth value stays.
  Ravg f(CellType::Float32, 1, {5, 2});
  OwnedMatrix in(CellType::Float32, 1, {5, 2}), out(CellType::Float32, 1, {5, 2});
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 5; ++x) {
      in.at<float>(x, y) = 8.0f;
      out.at<float>(x, y) = 2.0f;
    }
  EXPECT_EQ(temporal::ravg_row_values(in, f.internal), 4);
  const temporal::Region r = temporal::working_region(in, out);
  temporal::ravg_slice(0.5, r.dimcount, r.dim, in, out, f.internal);
  EXPECT_EQ(out.at<float>(3, 1), 5.0f);
  EXPECT_EQ(out.at<float>(4, 1), 2.0f);
  EXPECT_EQ(out.at<float>(4, 0), 2.0f);

  // char: the smaller of input stride / 4 and internal stride / 16.
  OwnedMatrix cin(CellType::Char, 1, {40, 1}), internal(CellType::Float32, 1, {9, 1}, 12);
  EXPECT_EQ(temporal::ravg_row_values(cin, internal), 12);  // 48 / 16 groups of 4
  OwnedMatrix lin(CellType::Long, 1, {5, 1});
  EXPECT_EQ(temporal::ravg_row_values(lin, internal), 4);  // 20 / 16
  OwnedMatrix din(CellType::Float64, 3, {1, 1});
  EXPECT_EQ(temporal::ravg_row_values(din, internal), 2);  // 24 / 16 groups of 2
}

TEST(RavgCompute, RowPaddingIsLeftAlone) {
  // 3 char values a row in a whole group of 4: the run ends with the row's
  // last cell, so that a part cut along dimension 0 ends with its own.
  Ravg avg(CellType::Char, 1, {3, 2});
  std::memset(avg.in.row_ptr(1), 200, 16);
  avg.frame(0.5);
  const auto byte = [&](long k) { return std::to_integer<int>(avg.out.row_ptr(1)[k]); };
  EXPECT_EQ(byte(2), 100);
  EXPECT_EQ(byte(3), 0xA5);
  EXPECT_EQ(byte(4), 0xA5);
}

TEST(RavgCompute, ThreeDimensionsAndOneDimension) {
  Ravg cube(CellType::Float32, 1, {4, 2, 3});
  for (long z = 0; z < 3; ++z) cube.in.at<float>(1, 1, 0, z) = 10.0f * (z + 1);
  cube.frame(0.5);
  for (long z = 0; z < 3; ++z) EXPECT_EQ(cube.out.at<float>(1, 1, 0, z), 5.0f * (z + 1));

  Ravg row(CellType::Char, 1, {9});
  row.in.at<std::uint8_t>(8) = 100;
  row.frame(0.25);
  EXPECT_EQ(row.out.at<std::uint8_t>(8), 25);
}

TEST(RavgCompute, PartsOfRowsGiveTheSameBytes) {
  Ravg whole(CellType::Char, 4, {7, 6, 3}), parts(CellType::Char, 4, {7, 6, 3});
  std::mt19937 rng(3);
  for (long z = 0; z < 3; ++z)
    for (long y = 0; y < 6; ++y)
      for (long x = 0; x < 7; ++x)
        for (long p = 0; p < 4; ++p)
          whole.in.at<std::uint8_t>(x, y, p, z) = parts.in.at<std::uint8_t>(x, y, p, z) =
              static_cast<std::uint8_t>(rng());
  for (int frame = 0; frame < 3; ++frame) {
    whole.frame(0.3);
    // Cut along the highest dimension, one part per index.
    for (long z = 0; z < 3; ++z) {
      long dim[3] = {7, 6, 1};
      auto at = [z](OwnedMatrix& m) {
        frame::Matrix v = m.matrix();
        v.data += z * v.dimstride[2];
        return v;
      };
      temporal::ravg_slice(0.3, 3, dim, at(parts.in), at(parts.out), at(parts.internal));
    }
  }
  EXPECT_EQ(std::memcmp(whole.out.matrix().data, parts.out.matrix().data,
                        static_cast<size_t>(whole.out.matrix().size)), 0);
}

TEST(RavgCompute, RowsThatWouldLeaveAMatrixAreCaught) {
  // Same byte size, but the input's long rows would run past the output.
  OwnedMatrix in(CellType::Float32, 1, {12, 2}), out(CellType::Float32, 1, {2, 12});
  OwnedMatrix internal(CellType::Float32, 1, {2, 2});
  const temporal::Region r = temporal::working_region(in, out);
  EXPECT_TRUE(temporal::ravg_rows_fit(r, in, out, internal));  // 2 rows of 48 bytes fit in 96
  frame::Matrix short_out = out.matrix();
  short_out.size = 50;  // the second row ends at byte 56
  EXPECT_FALSE(temporal::ravg_rows_fit(r, in, short_out, internal));
  // The internal matrix counts only for the integer types.
  OwnedMatrix cin(CellType::Char, 1, {32, 2}), cout(CellType::Char, 1, {32, 2});
  OwnedMatrix small(CellType::Float32, 1, {32, 1});
  const temporal::Region cr = temporal::working_region(cin, cout);
  EXPECT_FALSE(temporal::ravg_rows_fit(cr, cin, cout, small));
  OwnedMatrix fin(CellType::Float32, 1, {32, 2}), fout(CellType::Float32, 1, {32, 2});
  EXPECT_TRUE(temporal::ravg_rows_fit(cr, fin, fout, small));
}

}  // namespace
