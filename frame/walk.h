// The n-dimensional walk: a matrix of one dimension is one row; a matrix of
// more than two is a stack of 2-D slices visited in increasing order of each
// higher index. Within a slice rows go in increasing y. Several matrices of
// the same working size are walked in lockstep, each by its own strides.
#pragma once

#include <array>
#include <cstddef>

#include "frame/matrix.h"

namespace frame {

namespace detail {
template <std::size_t N, class RowFn>
void walk_level(long level, const long* dim, std::array<std::byte*, N> base,
                const std::array<const long*, N>& stride, RowFn& row) {
  if (level < 1) return;
  if (level <= 2) {
    const long height = level == 1 ? 1 : dim[1];
    for (long y = 0; y < height; ++y) {
      std::array<std::byte*, N> r;
      for (std::size_t k = 0; k < N; ++k) r[k] = base[k] + (level == 1 ? 0 : y * stride[k][1]);
      row(r, dim[0]);
    }
    return;
  }
  for (long i = 0; i < dim[level - 1]; ++i) {
    std::array<std::byte*, N> b;
    for (std::size_t k = 0; k < N; ++k) b[k] = base[k] + i * stride[k][level - 1];
    walk_level<N>(level - 1, dim, b, stride, row);
  }
}
}  // namespace detail

// Calls row(std::array<std::byte*, N> row_starts, long width) for every row.
// `dim` is the working size (dimcount entries); strides[k] is matrix k's
// dimstride array.
template <std::size_t N, class RowFn>
void walk_rows(long dimcount, const long* dim, std::array<std::byte*, N> bases,
               std::array<const long*, N> strides, RowFn&& row) {
  detail::walk_level<N>(dimcount, dim, bases, strides, row);
}

// Single-matrix form: row(std::byte* row_start, long width).
template <class RowFn>
void walk_rows(const Matrix& m, RowFn&& row) {
  walk_rows<1>(m.dimcount, m.dim, {m.data}, {m.dimstride},
               [&](const std::array<std::byte*, 1>& r, long width) { row(r[0], width); });
}

// Step in values between cells handed to a kernel: 0 when a row has a
// single cell, so a kernel may advance unconditionally.
inline long cell_step(long width, long planecount) { return width > 1 ? planecount : 0; }

}  // namespace frame
