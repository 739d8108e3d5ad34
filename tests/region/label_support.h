// The labelling run as the binding runs it, shared by label_test.cpp and
// label_opencv_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "region/label.h"
#include "support/owned_matrix.h"

namespace {

// Runs the computation as the binding does and returns the output as numbers.
struct Labelled {
  std::vector<std::vector<long>> cells;
  long count = 0;
};

inline Labelled run(const frame::Matrix& in, region::LabelSettings s = {}, long out_padding = 0) {
  const long w = in.dim[0], h = in.dim[1];
  zt::OwnedMatrix labels(frame::CellType::Long, 1, {w, h}, out_padding);
  zt::OwnedMatrix out(frame::CellType::Char, 1, {w, h}, out_padding);
  std::vector<region::FillRecord> stack(static_cast<std::size_t>(region::fill_stack_room(w, h)));
  auto tables = std::make_unique<region::LabelTables>();
  const auto in_view = frame::plane_view<const std::uint8_t>(in, w, h);
  const auto lab = frame::plane_view<std::int32_t>(labels.matrix(), w, h);
  Labelled r;
  r.count = region::label_blobs(in_view, lab, stack.data(), *tables, s.threshold);
  if (s.char_output)
    region::finish_char(s, r.count, *tables, frame::plane_view<const std::int32_t>(labels.matrix(), w, h),
                        frame::plane_view<std::uint8_t>(out.matrix(), w, h));
  else
    region::finish_long(s, r.count, *tables, lab);
  r.cells.assign(static_cast<std::size_t>(h), std::vector<long>(static_cast<std::size_t>(w)));
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x)
      r.cells[y][x] = s.char_output ? out.at<std::uint8_t>(x, y) : labels.at<std::int32_t>(x, y);
  return r;
}

}  // namespace
