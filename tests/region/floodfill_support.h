// The fill as text rows, shared by floodfill_test.cpp and
// floodfill_opencv_test.cpp.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "region/floodfill.h"
#include "support/owned_matrix.h"

namespace {

inline std::vector<std::string> as_rows(zt::OwnedMatrix& m) {
  std::vector<std::string> rows;
  for (long y = 0; y < m.matrix().dim[1]; ++y) {
    std::string r;
    for (long x = 0; x < m.matrix().dim[0]; ++x) {
      const auto v = m.at<std::uint8_t>(x, y);
      r += v == 255 ? '#' : (v == 0 ? '.' : '?');
    }
    rows.push_back(r);
  }
  return rows;
}

// Fills `in` from (x, y) into a fresh output with its own padding.
inline std::vector<std::string> fill(zt::OwnedMatrix& in, long x, long y) {
  const long w = in.matrix().dim[0], h = in.matrix().dim[1];
  zt::OwnedMatrix out(frame::CellType::Char, 1, {w, h}, 5);
  region::FillStack stack;
  EXPECT_TRUE(region::reserve_fill_stack(stack, region::fill_stack_bytes(w, h)));
  region::flood_fill(frame::plane_view<const std::uint8_t>(in.matrix(), w, h),
                     frame::plane_view<std::uint8_t>(out.matrix(), w, h), stack.records, x, y);
  region::release_fill_stack(stack);
  for (long r = 0; r < h; ++r)  // row padding stays as it was
    for (long b = w; b < out.matrix().dimstride[1]; ++b)
      EXPECT_EQ(static_cast<int>(out.row_ptr(r)[b]), 0xA5);
  return as_rows(out);
}

}  // namespace
