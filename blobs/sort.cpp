#include "blobs/sort.h"

#include <algorithm>
#include <cmath>

namespace blobs {

// The products are exact in double, their sum need not be; rounding the
// double sum again to float32 goes wrong only when that sum falls exactly
// halfway between two floats, and then the sum's own rounding error (a
// two-sum, exact without fused operations) tells which way the true value lies.
float squared_distance(float dx, float dy) {
  const double a = static_cast<double>(dx) * dx, b = static_cast<double>(dy) * dy;
  const double s = a + b;
  const double b_part = s - a;
  const double err = (a - (s - b_part)) + (b - b_part);
  const float f = static_cast<float>(s);
  if (err == 0 || std::isnan(err)) return f;  // exact sum, or an infinity or NaN
  // Past the largest float, rounding goes to infinity, standing for 2^128.
  const auto value = [](float v) { return std::isinf(v) ? 0x1p128 : static_cast<double>(v); };
  const double fv = value(f);
  if (s == fv) return f;
  const float g = std::nextafter(f, s > fv ? HUGE_VALF : 0.0f);  // the float on s's other side
  const double gv = value(g);
  if (s != (fv + gv) / 2) return f;
  return (err > 0) == (gv > fv) ? g : f;
}

std::int32_t BlobTracker::assign(float cx, float cy, float r2) {
  float best = -1.0f;
  std::int32_t best_index = -1;
  for (std::int32_t j = 0; j < x.count; ++j) {
    const float dx = cx - x.entry[j];
    const float dy = cy - y.entry[j];
    const float dist = squared_distance(dx, dy);
    if (dist < r2 && (dist < best || best == -1.0f)) {
      best = dist;
      best_index = j;
    }
  }
  if (best_index >= 0) {
    x.entry[best_index] = cx;
    y.entry[best_index] = cy;
    matched.entry[best_index] = 1;
    return id.entry[best_index];
  }
  // A full table cannot record the blob: handing it an identifier would
  // either lose a released one or repeat one in use, so it gets none.
  if (x.full()) return 0;
  x.append(cx);
  y.append(cy);
  matched.append(1);
  const std::int32_t fresh = free_ids.count > 0 ? free_ids.take_first() : x.count;
  id.append(fresh);
  return fresh;
}

// Same result as releasing the first unmatched blob and starting over, in
// one pass: identifiers leave in position order, the rest keep theirs.
void BlobTracker::release_unmatched() {
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < x.count; ++i) {
    if (matched.entry[i] == 0) {
      free_ids.append(id.entry[i]);
      continue;
    }
    matched.entry[kept] = matched.entry[i];
    id.entry[kept] = id.entry[i];
    x.entry[kept] = x.entry[i];
    y.entry[kept] = y.entry[i];
    ++kept;
  }
  matched.count = id.count = x.count = y.count = kept;
}

void BlobTracker::track(const frame::Matrix& in, long n, float threshold, const frame::Matrix& out) {
  // No cell at all is a frame without blobs: the table stays as it is, so
  // blobs missing for a frame keep their identifiers when they come back.
  if (n == 0) return;
  const float r2 = threshold * threshold;
  const long px = in.planecount == 3 ? 0 : 14;
  std::fill(matched.entry, matched.entry + matched.count, 0);
  for (long k = 0; k < n; ++k) {
    const float* cell = reinterpret_cast<const float*>(in.data + k * in.dimstride[0]);
    const float cx = cell[px], cy = cell[px + 1];
    auto* dst = reinterpret_cast<std::uint8_t*>(out.data + k * out.dimstride[0]);
    // A lone (0, 0) cell stands for a frame without blobs: it answers 0 and
    // leaves the table as it is, so the blobs are found again afterwards.
    if (cx == 0.0f && cy == 0.0f && n == 1) {
      *dst = 0;
      return;
    }
    *dst = static_cast<std::uint8_t>(assign(cx, cy, r2) & 0xFF);
  }
  release_unmatched();
  std::sort(free_ids.entry, free_ids.entry + free_ids.count);
}

}  // namespace blobs
