#include "blobs/centroids.h"

#include <cstring>

namespace blobs {

int CentroidTables::accumulate(const frame::PlaneView<const std::uint8_t>& labels) {
  std::memset(mass, 0, sizeof mass);
  std::memset(sum_x, 0, sizeof sum_x);
  std::memset(sum_y, 0, sizeof sum_y);
  highest = 0;
  highest = scan_label_runs(labels, *this);
  return highest;
}

void CentroidTables::write(long count, const frame::Matrix& out) const {
  for (long k = 0; k < count && k < kLabels - 1; ++k) {
    float* cell = reinterpret_cast<float*>(out.data + k * out.dimstride[0]);
    const std::int64_t m = mass[k + 1];
    if (m >= 1) {
      cell[0] = static_cast<float>(static_cast<double>(sum_x[k + 1]) / static_cast<double>(m));
      cell[1] = static_cast<float>(static_cast<double>(sum_y[k + 1]) / static_cast<double>(m));
    } else {
      cell[0] = -1.0f;
      cell[1] = -1.0f;
    }
    cell[2] = static_cast<float>(m);
  }
}

}  // namespace blobs
