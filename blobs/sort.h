// Blob ordering: identifiers that stay with each blob from frame to frame.
// Each centroid of a frame matches the nearest tracked blob within a radius
// (greedily, in input order) or becomes a new tracked blob; tracked blobs no
// centroid matched are released, and released identifiers are handed out
// again smallest first.
#pragma once

#include <cstdint>

#include "frame/matrix.h"

namespace blobs {

inline constexpr int kMaxTracked = 256;

// A count and room for 256 entries; appending to a full list drops the value.
template <class T>
struct BoundedList {
  std::int32_t count;
  T entry[kMaxTracked];

  bool full() const { return count >= kMaxTracked; }
  void append(T v) {
    if (count < kMaxTracked) entry[count++] = v;
  }
  T take_first() {
    const T v = entry[0];
    for (std::int32_t i = 1; i < count; ++i) entry[i - 1] = entry[i];
    --count;
    return v;
  }
};

// dx·dx + dy·dy rounded once to float32.
float squared_distance(float dx, float dy);

// Part of the computing record, kept between frames; zeroed memory is an
// empty table. The four parallel lists always hold the same count.
struct BlobTracker {
  BoundedList<std::int32_t> matched;
  BoundedList<std::int32_t> id;
  BoundedList<std::int32_t> free_ids;
  BoundedList<float> x;
  BoundedList<float> y;

  // One frame: `in` is a one-dimensional float32 matrix of 3 planes
  // (centroid in planes 0, 1) or 17 (planes 14, 15); `n` cells are read and
  // output cells 0..n-1 of `out` (one char plane) get their identifiers.
  // A new blob that finds the table full is not tracked and gets 0. A frame
  // of no cells leaves the table as it is.
  void track(const frame::Matrix& in, long n, float threshold, const frame::Matrix& out);

 private:
  std::int32_t assign(float cx, float cy, float r2);
  void release_unmatched();
};

}  // namespace blobs
