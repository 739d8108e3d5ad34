#include "moments/centroids.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "moments/byte_rows.h"
#include "moments/moments.h"

namespace moments {
namespace {

struct Sums {
  double s = 0, sx = 0, sy = 0;
};

// Integer cells weigh by integer products; they are formed in 64 bits so
// that a long value times a large index stays exact instead of wrapping.
template <class T>
double weigh(T v, long i) {
  if constexpr (std::is_integral_v<T>)
    return static_cast<double>(static_cast<std::int64_t>(v) * i);
  else
    return static_cast<double>(v) * static_cast<double>(i);
}

template <class T>
void sequential(const frame::Matrix& m, long width, long height, Sums& a) {
  const long step = static_cast<long>(sizeof(T));
  for (long y = 0; y < height; ++y) {
    const std::byte* row = m.data + y * m.dimstride[1];
    for (long x = 0; x < width; ++x) {
      T v;
      std::memcpy(&v, row + x * step, sizeof v);  // rows need not be aligned
      a.s += static_cast<double>(v);
      a.sy += weigh(v, y);
      a.sx += weigh(v, x);
    }
  }
}

// Bytes: exact integer sums per row; within 2^53 they equal the double sums.
void byte_sums(const frame::Matrix& m, long width, long height, Sums& a) {
  u128 s = 0, sx = 0, sy = 0;
  for (long y = 0; y < height; ++y) {
    u128 r[2];
    byte_row_centroid(reinterpret_cast<const std::uint8_t*>(m.data + y * m.dimstride[1]), width, r);
    s += r[0];
    sx += r[1];
    sy += static_cast<u128>(y) * r[0];
  }
  if (exact_in_double(s) && exact_in_double(sx) && exact_in_double(sy)) {
    a.s = static_cast<double>(s);
    a.sx = static_cast<double>(sx);
    a.sy = static_cast<double>(sy);
  } else {
    sequential<std::uint8_t>(m, width, height, a);
  }
}

}  // namespace

// The widest row the exact byte kernel takes, in 64 bits: as a `long` the
// bound would be 0 where `long` has 32 bits (Windows).
constexpr std::int64_t kByteSumsMaxWidth = std::int64_t{1} << 32;

Centroid compute_centroid(const frame::Matrix& m) {
  const long width = m.dim[0], height = m.dim[1];
  Sums a;
  if (width > 0 && height > 0) {
    switch (m.type) {
      case frame::CellType::Char:
        if (static_cast<std::int64_t>(width) <= kByteSumsMaxWidth)
          byte_sums(m, width, height, a);
        else
          sequential<std::uint8_t>(m, width, height, a);
        a.s *= kCharScale;
        a.sx *= kCharScale;
        a.sy *= kCharScale;
        break;
      case frame::CellType::Long:
        sequential<std::int32_t>(m, width, height, a);
        break;
      case frame::CellType::Float32:
        sequential<float>(m, width, height, a);
        break;
      case frame::CellType::Float64:
        sequential<double>(m, width, height, a);
        break;
      default:
        break;
    }
  }
  Centroid c{static_cast<float>(a.s), -1.0f, -1.0f};
  if (a.s > 0) {
    c.cx = static_cast<float>(a.sx / a.s);
    c.cy = static_cast<float>(a.sy / a.s);
  }
  return c;
}

}  // namespace moments
