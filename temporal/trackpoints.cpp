#include "temporal/trackpoints.h"

#include <cstdint>
#include <cstring>

namespace temporal {

namespace {

// Truncation toward zero when the value fits a signed 32-bit integer;
// false for NaN and for values outside that range.
bool to_int32(float v, long* out) {
  const double d = v;
  if (!(d > -2147483649.0 && d < 2147483648.0)) return false;
  *out = static_cast<long>(static_cast<std::int32_t>(v));
  return true;
}

}  // namespace

void draw_points(const frame::Matrix& points, const frame::Matrix& image) {
  if (points.dimcount < 1 || image.dimcount < 2) return;
  // A zero size anywhere leaves the list without cells, whatever dim[0] says.
  for (long i = 0; i < points.dimcount; ++i)
    if (points.dim[i] <= 0) return;
  const long count = points.dim[0];
  const long width = image.dim[0], height = image.dim[1];
  for (long k = 1; k <= count; ++k) {
    float p[3];
    std::memcpy(p, points.data + (k - 1) * points.dimstride[0], sizeof p);
    if (p[2] == 0.0f) continue;
    long px = 0, py = 0;
    if (!to_int32(p[0], &px) || !to_int32(p[1], &py)) continue;
    if (px < 1 || px >= width || py < 1 || py >= height) continue;
    image.data[py * image.dimstride[1] + px * image.dimstride[0]] =
        static_cast<std::byte>(static_cast<std::uint8_t>(k));
  }
}

}  // namespace temporal
