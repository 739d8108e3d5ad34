#include "blobs/bounds.h"

#include <algorithm>
#include <iterator>

namespace blobs {

int BoundsTables::accumulate(const frame::PlaneView<const std::uint8_t>& labels) {
  std::fill(std::begin(left), std::end(left), kNoBound);
  std::fill(std::begin(top), std::end(top), kNoBound);
  std::fill(std::begin(right), std::end(right), 0);
  std::fill(std::begin(bottom), std::end(bottom), 0);
  highest = 0;
  highest = scan_label_runs(labels, *this);
  return highest;
}

void BoundsTables::write(long count, const frame::Matrix& out) const {
  for (long k = 0; k < count && k < kLabels - 1; ++k) {
    std::int32_t* cell = reinterpret_cast<std::int32_t*>(out.data + k * out.dimstride[0]);
    cell[0] = left[k + 1];
    cell[1] = top[k + 1];
    cell[2] = right[k + 1];
    cell[3] = bottom[k + 1];
  }
}

}  // namespace blobs
