// The single pass over a label image that the per-blob measures share: the
// image is read row by row as runs of equal bytes, and every run of a
// non-zero label goes to the measure's tables at once. Label images are
// mostly long runs, so a measure does its work per run, not per pixel.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "frame/matrix.h"

namespace blobs {

inline constexpr int kLabels = 256;  // label values 0..255; 0 is background

// First index from `x` on whose byte differs from `v` (or `w`), eight bytes
// at a time.
inline long run_end(const std::uint8_t* row, long x, long w, std::uint8_t v) {
  const std::uint64_t pattern = 0x0101010101010101ull * v;
  while (x + 8 <= w) {
    std::uint64_t word;
    std::memcpy(&word, row + x, sizeof word);
    if (const std::uint64_t diff = word ^ pattern) {
      if constexpr (std::endian::native == std::endian::little)
        return x + (std::countr_zero(diff) >> 3);
      else
        return x + (std::countl_zero(diff) >> 3);
    }
    x += 8;
  }
  while (x < w && row[x] == v) ++x;
  return x;
}

// Calls tables.row(y) before each row and tables.run(v, x, n, y) for every
// maximal run of n > 0 cells of label v > 0 starting at column x. Returns
// the highest label in the image, 0 when there is none. The label image has
// one plane of bytes, so cells of a row are adjacent.
template <class Tables>
int scan_label_runs(const frame::PlaneView<const std::uint8_t>& in, Tables& tables) {
  unsigned highest = 0;
  for (long y = 0; y < in.height; ++y) {
    const std::uint8_t* row = in.row(y);
    tables.row(y);
    long x = 0;
    while (x < in.width) {
      const std::uint8_t v = row[x];
      const long end = run_end(row, x + 1, in.width, v);
      if (v != 0) {
        tables.run(v, x, end - x, y);
        if (v > highest) highest = v;
      }
      x = end;
    }
  }
  return static_cast<int>(highest);
}

}  // namespace blobs
