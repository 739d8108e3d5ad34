// Flood fill of a binary image: the foreground cells 4-connected to a seed
// become 255, with the run fill that labelling uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "frame/matrix.h"
#include "region/run_fill.h"

namespace region {

// The fill's stack block, kept by the instance from frame to frame.
struct FillStack {
  FillRecord* records = nullptr;
  std::int64_t bytes = 0;
};

// Makes `s` a block of `bytes`, replacing it only when the size differs.
// On failure `s` holds no block and a size of 0 (the next call tries again).
bool reserve_fill_stack(FillStack& s, std::int64_t bytes, void* (*alloc)(std::size_t) = std::malloc);
void release_fill_stack(FillStack& s);

// Writes 255 on the foreground cells of `in` 4-connected to (x, y) into
// `out`, which must be all 0 on entry over in's extent; `out` has the same
// width and height as `in`. A seed outside the region or on background
// fills nothing. `stack` has room for fill_stack_room(W, H) records.
void flood_fill(const frame::PlaneView<const std::uint8_t>& in,
                const frame::PlaneView<std::uint8_t>& out, FillRecord* stack, long x, long y);

}  // namespace region
