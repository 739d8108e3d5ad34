#include "moments/plane_totals.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "frame/walk.h"
#include "moments/byte_rows.h"

namespace moments {
namespace {

// Accumulator of each cell type: doubles for the mass; for the sum, float32
// partial sums for float32 cells. Byte totals are exact integers (the mass's
// double sum of bytes is exact as long as it is below 2^53, which no matrix
// that fits in memory reaches; the sum's 32-bit total is widened so that a
// plane past 2^31 reports its true total rather than a wrapped one).
template <class T, Totals K>
using Acc = std::conditional_t<std::is_same_v<T, float> && K == Totals::Sum, float, double>;

template <class T, Totals K>
void sum_rows(const frame::Matrix& m, long planes, float* out) {
  Acc<T, K> acc[frame::kMaxPlanes] = {};
  const long pc = m.planecount;
  frame::walk_rows(m, [&](std::byte* row, long width) {
    const long step = frame::cell_step(width, pc);
    for (long p = 0; p < planes; ++p) {
      const std::byte* v = row + p * static_cast<long>(sizeof(T));
      Acc<T, K> a = acc[p];
      for (long x = 0; x < width; ++x) {
        T cell;
        // Rows need not be aligned.
        std::memcpy(&cell, v + x * step * static_cast<long>(sizeof(T)), sizeof cell);
        a += static_cast<Acc<T, K>>(cell);
      }
      acc[p] = a;
    }
  });
  for (long p = 0; p < planes; ++p) out[p] = static_cast<float>(acc[p]);
}

template <Totals K>
void sum_bytes(const frame::Matrix& m, long planes, float* out) {
  std::uint64_t acc[frame::kMaxPlanes] = {};
  const long pc = m.planecount;
  BytePlaneSums sums(pc, planes);
  frame::walk_rows(m, [&](std::byte* row, long width) {
    if (width > 0) sums.add_row(reinterpret_cast<const std::uint8_t*>(row), width * pc);
  });
  sums.finish(acc);
  for (long p = 0; p < planes; ++p) {
    const double total = static_cast<double>(acc[p]);
    out[p] = static_cast<float>(K == Totals::Mass ? total / 255.0 : total);
  }
}

template <Totals K>
void dispatch(const frame::Matrix& m, long planes, float* out) {
  switch (m.type) {
    case frame::CellType::Char:
      sum_bytes<K>(m, planes, out);
      break;
    case frame::CellType::Long:
      sum_rows<std::int32_t, K>(m, planes, out);
      break;
    case frame::CellType::Float32:
      sum_rows<float, K>(m, planes, out);
      break;
    case frame::CellType::Float64:
      sum_rows<double, K>(m, planes, out);
      break;
    default:
      std::fill(out, out + planes, 0.0f);
      break;
  }
}

}  // namespace

long plane_totals(const frame::Matrix& m, Totals kind, float out[frame::kMaxPlanes]) {
  const long planes = std::clamp(m.planecount, 0L, static_cast<long>(frame::kMaxPlanes));
  if (kind == Totals::Mass)
    dispatch<Totals::Mass>(m, planes, out);
  else
    dispatch<Totals::Sum>(m, planes, out);
  return planes;
}

}  // namespace moments
