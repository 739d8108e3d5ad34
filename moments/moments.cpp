#include "moments/moments.h"

#include <algorithm>
#include <cstring>

#include "moments/byte_rows.h"

namespace moments {
namespace {

// The sums as the cell-by-cell definition forms them.
template <class T>
void sequential_sums(const frame::Matrix& m, long width, long height, long step, RawSums& s) {
  const long row_stride = m.dimstride[1];
  for (long y = 0; y < height; ++y) {
    const std::byte* row = m.data + y * row_stride;
    const double Y = static_cast<double>(y), y2 = Y * Y;
    for (long x = 0; x < width; ++x) {
      T cell;
      std::memcpy(&cell, row + x * step, sizeof cell);  // rows need not be aligned
      if (cell == 0) continue;
      const double v = static_cast<double>(cell), X = static_cast<double>(x), x2 = X * X;
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
  }
}

// The third-order sums of a byte image cell by cell, as sequential_sums
// forms them (they are the first to outgrow 2^53). A zero byte adds +0,
// which leaves a sum of byte terms unchanged, so no cell needs skipping
// and the loop has no branch.
void sequential_byte_third_order(const frame::Matrix& m, long width, long height, RawSums& s) {
  double m30 = s.m30, m03 = s.m03, m21 = s.m21, m12 = s.m12;
  for (long y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint8_t*>(m.data + y * m.dimstride[1]);
    const double Y = static_cast<double>(y), y2 = Y * Y, y3 = y2 * Y;
    for (long x = 0; x < width; ++x) {
      const double v = row[x], X = static_cast<double>(x), x2 = X * X;
      m30 += (x2 * X) * v;
      m03 += y3 * v;
      m21 += (x2 * Y) * v;
      m12 += (y2 * X) * v;
    }
  }
  s.m30 = m30;
  s.m03 = m03;
  s.m21 = m21;
  s.m12 = m12;
}

// Bytes: exact integer sums, row by row. Where a total stays within 2^53 it
// is the double sum itself; the sums that grow past it are formed cell by
// cell, as defined.
void byte_sums(const frame::Matrix& m, long width, long height, RawSums& s) {
  constexpr long kMaxSide = 1L << 24;
  if (width > kMaxSide || height > kMaxSide) {
    sequential_sums<std::uint8_t>(m, width, height, 1, s);
    return;
  }
  u128 t00 = 0, t10 = 0, t20 = 0, t30 = 0, t01 = 0, t11 = 0, t21 = 0, t02 = 0, t12 = 0, t03 = 0;
  for (long y = 0; y < height; ++y) {
    u128 r[4];
    byte_row_moments(reinterpret_cast<const std::uint8_t*>(m.data + y * m.dimstride[1]), width, r);
    const u128 Y = static_cast<u128>(y), Y2 = Y * Y;
    t00 += r[0];
    t10 += r[1];
    t20 += r[2];
    t30 += r[3];
    t01 += Y * r[0];
    t11 += Y * r[1];
    t21 += Y * r[2];
    t02 += Y2 * r[0];
    t12 += Y2 * r[1];
    t03 += Y2 * Y * r[0];
  }
  const bool low_exact = exact_in_double(t00) && exact_in_double(t10) && exact_in_double(t01) &&
                         exact_in_double(t20) && exact_in_double(t02) && exact_in_double(t11);
  if (!low_exact) {
    sequential_sums<std::uint8_t>(m, width, height, 1, s);
    return;
  }
  s.m00 = static_cast<double>(t00);
  s.m10 = static_cast<double>(t10);
  s.m01 = static_cast<double>(t01);
  s.m20 = static_cast<double>(t20);
  s.m02 = static_cast<double>(t02);
  s.m11 = static_cast<double>(t11);
  if (exact_in_double(t30) && exact_in_double(t03) && exact_in_double(t21) &&
      exact_in_double(t12)) {
    s.m30 = static_cast<double>(t30);
    s.m03 = static_cast<double>(t03);
    s.m21 = static_cast<double>(t21);
    s.m12 = static_cast<double>(t12);
    return;
  }
  s.m30 = s.m03 = s.m21 = s.m12 = 0;
  sequential_byte_third_order(m, width, height, s);
}

}  // namespace

void accumulate_moments(const frame::Matrix& m, RawSums& s) {
  const long width = m.dim[0], height = m.dim[1];
  if (width <= 0 || height <= 0) return;
  switch (m.type) {
    case frame::CellType::Char:
      byte_sums(m, width, height, s);
      break;
    case frame::CellType::Long:
      sequential_sums<std::int32_t>(m, width, height, m.dimstride[0], s);
      break;
    case frame::CellType::Float32:
      sequential_sums<float>(m, width, height, m.dimstride[0], s);
      break;
    case frame::CellType::Float64:
      sequential_sums<double>(m, width, height, m.dimstride[0], s);
      break;
    default:
      break;
  }
}

bool finish_moments(RawSums& s, CentralMoments& c, double centroid[2], const MomentResults& out,
                    PowFn pow_fn) {
  if (s.m00 == 0) return false;
  const double cx = s.m10 / s.m00, cy = s.m01 / s.m00;
  centroid[0] = cx;
  centroid[1] = cy;
  const double K = kCharScale;
  const double M = s.m00 * K;
  s.m10 *= K;
  s.m01 *= K;
  s.m20 *= K;
  s.m02 *= K;
  s.m11 *= K;
  s.m21 *= K;
  s.m12 *= K;
  s.m30 *= K;
  s.m03 *= K;
  const double M2 = M * M, P = pow_fn(M, 2.5);

  c.mu20 = s.m20 - 2 * s.m10 * cx + cx * cx * M;
  c.mu02 = s.m02 - 2 * s.m01 * cy + cy * cy * M;
  c.mu11 = s.m11 - s.m01 * cx - s.m10 * cy + cx * cy * M;
  c.mu30 = s.m30 - 3 * cx * s.m20 + 3 * cx * cx * s.m10 - cx * cx * cx * M;
  c.mu03 = s.m03 - 3 * cy * s.m02 + 3 * cy * cy * s.m01 - cy * cy * cy * M;
  c.mu21 = s.m21 - cy * s.m20 - 2 * cx * s.m11 + 2 * cx * cy * s.m10 + cx * cx * s.m01 -
           cx * cx * cy * M;
  c.mu12 = s.m12 - cx * s.m02 - 2 * cy * s.m11 + 2 * cx * cy * s.m01 + cy * cy * s.m10 -
           cy * cy * cx * M;

  c.mu11 /= M2;
  c.mu20 /= M2;
  c.mu02 /= M2;
  c.mu21 /= P;
  c.mu12 /= P;
  c.mu30 /= P;
  c.mu03 /= P;
  const double n20 = c.mu20, n02 = c.mu02, n11 = c.mu11;
  const double n21 = c.mu21, n12 = c.mu12, n30 = c.mu30, n03 = c.mu03;

  const double sm = n02 + n20, d = n20 - n02, t = 4 * n11;
  const double A = n30 + n12, B = n21 + n03;
  const double cc = n30 - 3 * n12, e = 3 * n21 - n03;
  // Products group from the left: 3·B·B is (3·B)·B, not 3·(B·B); the two
  // differ in the last bits, which cancellation can make visible.
  const double hu[7] = {
      sm,
      d * d + t * n11,
      cc * cc + e * e,
      A * A + B * B,
      cc * (A * A - 3 * B * B) * A + e * (3 * A * A - B * B) * B,
      (A * A - B * B) * d + t * A * B,
      e * (A * A - 3 * B * B) * A - cc * (3 * A * A - B * B) * B,
  };
  for (int i = 0; i < 7; ++i) out.hu[i] = static_cast<float>(hu[i]);
  const double eta[7] = {n20, n02, n11, n21, n12, n30, n03};
  for (int i = 0; i < 7; ++i) out.moments[i] = static_cast<float>(eta[i]);
  out.centroids[0] = static_cast<float>(cx);
  out.centroids[1] = static_cast<float>(cy);
  *out.mass = static_cast<float>(s.m00);
  return true;
}

}  // namespace moments
