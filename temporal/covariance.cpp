#include "temporal/covariance.h"

#include <algorithm>

namespace temporal {

namespace {

// Vectors are stored in T; every new value is computed in float64 from the
// stored values and rounded to T once.
template <class T>
void update(const frame::Matrix& xm, const frame::Matrix& mean, const frame::Matrix& dev,
            const frame::Matrix& out, long n, long count) {
  const auto* x = reinterpret_cast<const T*>(xm.data);
  auto* mu = reinterpret_cast<T*>(mean.data);
  auto* d = reinterpret_cast<T*>(dev.data);
  if (n == 1) {
    for (long i = 0; i < count; ++i) {
      mu[i] = x[i];
      d[i] = T(0);
    }
  } else {
    const double nd = static_cast<double>(n);
    const double keep = (nd - 1.0) / nd;
    for (long i = 0; i < count; ++i)
      mu[i] = static_cast<T>(static_cast<double>(mu[i]) * keep + static_cast<double>(x[i]) / nd);
    const double m = nd - 1.0;
    const double keep_dev = (m - 1.0) / m;
    for (long i = 0; i < count; ++i)
      d[i] = static_cast<T>(static_cast<double>(d[i]) * keep_dev +
                            (static_cast<double>(x[i]) - static_cast<double>(mu[i])) / m);
  }
  const long rows = out.dimcount >= 2 ? std::min(count, out.dim[1]) : 0;
  const long cols = out.dimcount >= 1 ? std::min(count, out.dim[0]) : 0;
  for (long i = 0; i < rows; ++i) {
    T* row = reinterpret_cast<T*>(out.data + i * out.dimstride[1]);
    for (long j = 0; j < cols; ++j) row[j] = d[i] * d[j];
  }
}

}  // namespace

void covariance_update(const frame::Matrix& x, const frame::Matrix& mean, const frame::Matrix& dev,
                       const frame::Matrix& out, long n) {
  const auto values = [](const frame::Matrix& m) {
    return m.dimcount >= 1 ? std::max(m.dim[0], 0L) : 0L;
  };
  const long count = std::min({values(x), values(mean), values(dev)});
  if (x.type == frame::CellType::Float32)
    update<float>(x, mean, dev, out, n, count);
  else if (x.type == frame::CellType::Float64)
    update<double>(x, mean, dev, out, n, count);
}

}  // namespace temporal
