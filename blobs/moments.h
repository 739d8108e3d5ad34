// Blob moments: mass, centroid, the seven normalised central moments of
// orders two and three and the seven Hu invariants of every label of a label
// image, as the 17-plane float32 blob moment matrix.
#pragma once

#include <cstdint>

#include "blobs/label_pass.h"
#include "frame/matrix.h"

namespace blobs {

inline constexpr long kMomentPlanes = 17;

// Planes of a blob moment matrix cell.
enum MomentPlane : int {
  kEta20, kEta02, kEta11, kEta21, kEta12, kEta30, kEta03,
  kHu1, kHu2, kHu3, kHu4, kHu5, kHu6, kHu7,
  kCentroidX, kCentroidY, kMass
};

// Per-label raw sums. Kept unsigned so that sums beyond 64 bits (images far
// wider than any camera) wrap instead of being undefined; read back as the
// signed 64-bit values they stand for.
struct LabelSums {
  std::uint64_t mass;
  std::uint64_t x, y, xx, yy, xy, xyy, xxy, xxx, yyy;
};

// Part of the computing record, so a plain aggregate that zeroed memory
// makes valid.
struct MomentTables {
  LabelSums sum[kLabels];
  int highest;
  std::uint64_t y1, y2, y3;  // y, y^2, y^3 of the row being scanned

  // Zeroes the tables and makes the pass; returns the highest label L.
  int accumulate(const frame::PlaneView<const std::uint8_t>& labels);
  // Cells 0..count-1 of `out` (one dimension, 17 float32 planes) from the
  // last pass: cell k describes label k + 1.
  void write(long count, const frame::Matrix& out) const;

  // Pass callbacks.
  void row(long y);
  void run(int v, long x, long n, long y);
};

// The 17 values of one label from its sums, before rounding to float32.
struct BlobMoments {
  double value[kMomentPlanes];
};
BlobMoments blob_moments(const LabelSums& s);

}  // namespace blobs
