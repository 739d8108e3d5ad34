#include "blobs/moments.h"

#include <cmath>
#include <cstring>

namespace blobs {
namespace {

// Sums of i, i^2, i^3 for i from 0 to n - 1 (n >= 1), exact modulo 2^64:
// the divisions are made on the factors before they are multiplied.
struct PowerSums {
  std::uint64_t s1, s2, s3;
};
inline PowerSums power_sums_below(std::uint64_t n) {
  std::uint64_t a = n - 1, b = n;
  if (a % 2 == 0) a /= 2; else b /= 2;
  const std::uint64_t s1 = a * b;
  std::uint64_t c = 2 * n - 1;
  a = n - 1;
  b = n;
  if (a % 2 == 0) a /= 2; else b /= 2;
  if (a % 3 == 0) a /= 3; else if (b % 3 == 0) b /= 3; else c /= 3;
  return PowerSums{s1, a * b * c, s1 * s1};
}

}  // namespace

int MomentTables::accumulate(const frame::PlaneView<const std::uint8_t>& labels) {
  std::memset(sum, 0, sizeof sum);
  highest = 0;
  highest = scan_label_runs(labels, *this);
  return highest;
}

void MomentTables::row(long y) {
  y1 = static_cast<std::uint64_t>(y);
  y2 = y1 * y1;
  y3 = y2 * y1;
}

// Sums of x, x^2 and x^3 over the run a .. a+n-1 from the power sums of
// 0 .. n-1, so a run of any length costs the same.
void MomentTables::run(int v, long x, long n, long) {
  const std::uint64_t a = static_cast<std::uint64_t>(x), un = static_cast<std::uint64_t>(n);
  const PowerSums t = power_sums_below(un);
  const std::uint64_t a2 = a * a;
  const std::uint64_t s1 = un * a + t.s1;
  const std::uint64_t s2 = un * a2 + 2 * a * t.s1 + t.s2;
  const std::uint64_t s3 = un * a2 * a + 3 * a2 * t.s1 + 3 * a * t.s2 + t.s3;
  LabelSums& s = sum[v];
  s.mass += un;
  s.x += s1;
  s.y += un * y1;
  s.xx += s2;
  s.yy += un * y2;
  s.xy += y1 * s1;
  s.xyy += y2 * s1;
  s.xxy += y1 * s2;
  s.xxx += s3;
  s.yyy += un * y3;
}

BlobMoments blob_moments(const LabelSums& s) {
  BlobMoments r{};
  const auto d = [](std::uint64_t v) { return static_cast<double>(static_cast<std::int64_t>(v)); };
  const double m = d(s.mass);
  if (m < 1) return r;
  const double sx = d(s.x), sy = d(s.y), sxx = d(s.xx), syy = d(s.yy), sxy = d(s.xy);
  const double sxyy = d(s.xyy), sxxy = d(s.xxy), sxxx = d(s.xxx), syyy = d(s.yyy);
  const double xb = sx / m, yb = sy / m;
  const double mu20 = sxx - sx * xb;
  const double mu02 = syy - sy * yb;
  const double mu11 = sxy - sx * yb;
  const double mu30 = sxxx - xb * (3.0 * mu20 + sx * xb);
  const double mu03 = syyy - yb * (3.0 * mu02 + sy * yb);
  const double mu21 = sxxy - xb * (2.0 * mu11 + xb * sy) - yb * mu20;
  const double mu12 = sxyy - yb * (2.0 * mu11 + sx * yb) - xb * mu02;
  const double m2 = m * m;
  const double m25 = std::pow(m, 2.5);
  const double n20 = mu20 / m2, n02 = mu02 / m2, n11 = mu11 / m2;
  const double n21 = mu21 / m25, n12 = mu12 / m25, n30 = mu30 / m25, n03 = mu03 / m25;
  const double a = n30 + n12, b = n21 + n03;
  const double p = n30 - 3.0 * n12, q = 3.0 * n21 - n03;
  double* v = r.value;
  v[kEta20] = n20;
  v[kEta02] = n02;
  v[kEta11] = n11;
  v[kEta21] = n21;
  v[kEta12] = n12;
  v[kEta30] = n30;
  v[kEta03] = n03;
  v[kHu1] = n20 + n02;
  v[kHu2] = (n20 - n02) * (n20 - n02) + 4.0 * n11 * n11;
  v[kHu3] = p * p + q * q;
  v[kHu4] = a * a + b * b;
  v[kHu5] = p * a * (a * a - 3.0 * (b * b)) + q * b * (3.0 * (a * a) - b * b);
  v[kHu6] = (n20 - n02) * (a * a - b * b) + 4.0 * n11 * a * b;
  v[kHu7] = q * a * (a * a - 3.0 * (b * b)) - p * b * (3.0 * (a * a) - b * b);
  v[kCentroidX] = xb;
  v[kCentroidY] = yb;
  v[kMass] = m;
  return r;
}

void MomentTables::write(long count, const frame::Matrix& out) const {
  for (long k = 0; k < count && k < kLabels - 1; ++k) {
    float* cell = reinterpret_cast<float*>(out.data + k * out.dimstride[0]);
    const BlobMoments b = blob_moments(sum[k + 1]);
    for (long p = 0; p < kMomentPlanes; ++p) cell[p] = static_cast<float>(b.value[p]);
  }
}

}  // namespace blobs
