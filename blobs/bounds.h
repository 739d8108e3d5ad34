// Blob bounds: the inclusive bounding box of every label of a label image,
// as the 4-plane long blob bounds matrix (left, top, right, bottom).
#pragma once

#include <algorithm>
#include <cstdint>

#include "blobs/label_pass.h"
#include "frame/matrix.h"

namespace blobs {

inline constexpr long kBoundsPlanes = 4;
inline constexpr std::int32_t kNoBound = 2147483647;

// Part of the computing record: a plain aggregate.
struct BoundsTables {
  std::int32_t left[kLabels];
  std::int32_t top[kLabels];
  std::int32_t right[kLabels];
  std::int32_t bottom[kLabels];
  int highest;

  int accumulate(const frame::PlaneView<const std::uint8_t>& labels);
  // Cells 0..count-1 of `out` (one dimension, 4 long planes); a label that
  // does not occur keeps the start values (2147483647, 2147483647, 0, 0).
  void write(long count, const frame::Matrix& out) const;

  void row(long) {}
  void run(int v, long x, long n, long y) {
    const auto x0 = static_cast<std::int32_t>(x), x1 = static_cast<std::int32_t>(x + n - 1);
    const auto row = static_cast<std::int32_t>(y);
    left[v] = std::min(left[v], x0);
    right[v] = std::max(right[v], x1);
    top[v] = std::min(top[v], row);
    bottom[v] = std::max(bottom[v], row);
  }
};

}  // namespace blobs
