// Connected-component labelling of a binary image: every 4-connected blob
// gets a number in the raster order of its first cell; an area threshold
// removes small blobs, and a mode writes areas (or ranks by area) instead.
#pragma once

#include <cstdint>

#include "frame/matrix.h"
#include "region/run_fill.h"

namespace region {

inline constexpr long kMaxBlobs = 2048;

struct BlobEntry {
  std::int32_t label;
  std::int32_t area;
};

// What the labels of a region the area threshold removes become while
// labelling: no table entry, and a value the scan passes over.
inline constexpr std::int32_t kRemoved = kMaxBlobs + 1;

// Per-instance tables, rebuilt every frame; entry 0 is the background, the
// last rank entry the removed regions' final value (0).
struct LabelTables {
  BlobEntry blob[kMaxBlobs + 1];
  std::int32_t rank[kRemoved + 1];
};

struct LabelSettings {
  std::int64_t threshold = 0;  // blobs of at most this area are removed; negative acts as 0
  int mode = 0;         // 0 labels, 1 areas (long output) or ranks (char output)
  bool char_output = false;
};

// Labels `in` into `labels`, which must be all 0 on entry. `stack` has room
// for fill_stack_room(W, H) records. A region of at most `threshold` cells
// (when it is above 0) takes no label: it is marked kRemoved, so specks the
// threshold removes leave the 2048 labels to the blobs it keeps. Returns the
// number of blobs labelled (<= 2048).
long label_blobs(const frame::PlaneView<const std::uint8_t>& in,
                 const frame::PlaneView<std::int32_t>& labels, FillRecord* stack,
                 LabelTables& tables, std::int64_t threshold);

// Post-processing of long output: rewrites `labels` in place.
void finish_long(const LabelSettings& s, long count, LabelTables& tables,
                 const frame::PlaneView<std::int32_t>& labels);

// Post-processing of char output: writes the low byte of each final value
// (0 for values above 255) into `out`.
void finish_char(const LabelSettings& s, long count, LabelTables& tables,
                 const frame::PlaneView<const std::int32_t>& labels,
                 const frame::PlaneView<std::uint8_t>& out);

}  // namespace region
