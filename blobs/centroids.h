// Blob centroids: centroid and mass of every label of a label image, as the
// 3-plane float32 blob centroid matrix.
#pragma once

#include <cstdint>

#include "blobs/label_pass.h"
#include "frame/matrix.h"

namespace blobs {

inline constexpr long kCentroidPlanes = 3;

// Part of the computing record: a plain aggregate. The sums are 64-bit so
// that no image that fits in memory can overflow them.
struct CentroidTables {
  std::int64_t mass[kLabels];
  std::int64_t sum_x[kLabels];
  std::int64_t sum_y[kLabels];
  int highest;

  int accumulate(const frame::PlaneView<const std::uint8_t>& labels);
  // Cells 0..count-1 of `out` (one dimension, 3 float32 planes): x, y, mass
  // of label k + 1, or (-1, -1, 0) for a label that does not occur.
  void write(long count, const frame::Matrix& out) const;

  void row(long) {}
  void run(int v, long x, long n, long y) {
    mass[v] += n;
    sum_x[v] += n * x + n * (n - 1) / 2;
    sum_y[v] += n * y;
  }
};

}  // namespace blobs
