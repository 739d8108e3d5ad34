// The working region of a two-matrix computation: the output's dimension
// count and plane count, and per dimension the smaller of the two sizes.
#pragma once

#include <algorithm>

#include "frame/matrix.h"

namespace temporal {

struct Region {
  long dimcount = 0;
  long dim[frame::kMaxDims] = {};
  long planecount = 0;
};

// A dimension the input does not have counts as size 1 (its only index is
// 0, so its stride is never used); negative sizes count as 0.
inline Region working_region(const frame::Matrix& in, const frame::Matrix& out) {
  Region r;
  r.dimcount = std::clamp(out.dimcount, 0L, static_cast<long>(frame::kMaxDims));
  r.planecount = std::max(out.planecount, 0L);
  for (long i = 0; i < r.dimcount; ++i) {
    const long in_dim = i < in.dimcount ? in.dim[i] : 1;
    r.dim[i] = std::max(std::min(in_dim, out.dim[i]), 0L);
  }
  return r;
}

// False when a size of zero leaves the matrix without cells; the region
// of a matrix with more dimensions than the other would not show it.
inline bool has_cells(const frame::Matrix& m) {
  for (long i = 0; i < m.dimcount; ++i)
    if (m.dim[i] <= 0) return false;
  return true;
}

// Rows the walk visits: 1 for one dimension, the product of the higher
// sizes otherwise; -1 when the product does not fit (a zero size wins).
inline long long region_rows(const Region& r) {
  if (r.dimcount < 1) return 0;
  long long rows = 1;
  bool overflow = false;
  for (long i = 1; i < r.dimcount; ++i) {
    if (r.dim[i] == 0) return 0;
    overflow = overflow || __builtin_mul_overflow(rows, r.dim[i], &rows);
  }
  return overflow ? -1 : rows;
}

}  // namespace temporal
