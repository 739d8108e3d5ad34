// Peaks of a Hough accumulator: interior cells above a threshold and
// strictly greater than their 8 (or 4) neighbours, in raster order.
#pragma once

#include <cstdint>

#include "frame/matrix.h"

namespace region {

struct PeakSettings {
  long threshold;  // a peak's count must exceed this
  long maxpoints;  // the most peaks listed
  long mode;       // 0: eight neighbours, 1: four
};

// The attribute values clamped as the search uses them: threshold 0..4096,
// maxpoints 1..4096, mode 0..1.
PeakSettings clamp_peak_settings(long threshold, long maxpoints, long mode);

// Writes each peak's (column, row) into `list` (plane 0 and 1 of cells
// `step` floats apart, s.maxpoints cells, already cleared) and stops when
// s.maxpoints are found. Returns the number found.
long find_peaks(const frame::PlaneView<const std::int32_t>& acc, const PeakSettings& s,
                float* list, long step);

}  // namespace region
