// Descriptors read from the blob moment matrix, one float32 per blob:
// orientation of the major axis (0 up to pi), direction over a full turn,
// and elongation.
#pragma once

#include "blobs/moments.h"
#include "frame/matrix.h"

namespace blobs {

// The decimal constants these descriptors have always used, kept as written
// (not the full-precision values) so results match to the last bit.
inline constexpr double kHalfTurn = 3.14159265358979;
inline constexpr double kQuarterTurn = 1.57079632679;
inline constexpr double kEighthTurn = 0.7853981634;
inline constexpr double kThreeEighths = 2.3561944902;
inline constexpr double kDegrees = 57.29577951308;

struct DirectionSettings {
  bool degrees = false;
  bool flip = false;
};

// Per cell: `c` points at the 17 planes of one blob moment cell.
float orientation_radians(const float* c);
float orientation(const float* c, bool degrees);
float direction(const float* c, DirectionSettings s);
float elongation(const float* c);

// Writes f(cell k) into output cell k for k < n. `in` is a blob moment
// matrix, `out` one float32 plane; both one-dimensional, cells stepped by
// their own dimstride[0].
template <class F>
void for_each_blob(const frame::Matrix& in, const frame::Matrix& out, long n, F&& f) {
  const std::byte* src = in.data;
  std::byte* dst = out.data;
  for (long k = 0; k < n; ++k, src += in.dimstride[0], dst += out.dimstride[0])
    *reinterpret_cast<float*>(dst) = f(reinterpret_cast<const float*>(src));
}

}  // namespace blobs
