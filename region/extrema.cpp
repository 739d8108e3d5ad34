#include "region/extrema.h"

namespace region {
namespace {

long clamp(long v, long lo, long hi) { return v < lo ? lo : (v > hi ? hi : v); }

template <bool Eight>
long search(const frame::PlaneView<const std::int32_t>& acc, const PeakSettings& s, float* list,
            long step) {
  const std::int32_t t = static_cast<std::int32_t>(s.threshold);
  long found = 0;
  for (long y = 1; y < acc.height - 1; ++y) {
    const std::int32_t* a = acc.row(y - 1);
    const std::int32_t* r = acc.row(y);
    const std::int32_t* b = acc.row(y + 1);
    for (long x = 1; x < acc.width - 1; ++x) {
      const std::int32_t v = r[x];
      if (v <= t) continue;
      if (!(v > r[x + 1] && v > r[x - 1] && v > a[x] && v > b[x])) continue;
      if (Eight && !(v > a[x + 1] && v > a[x - 1] && v > b[x + 1] && v > b[x - 1])) continue;
      float* cell = list + found * step;
      cell[0] = static_cast<float>(x);
      cell[1] = static_cast<float>(y);
      if (++found == s.maxpoints) return found;
    }
  }
  return found;
}

}  // namespace

PeakSettings clamp_peak_settings(long threshold, long maxpoints, long mode) {
  return PeakSettings{clamp(threshold, 0, 4096), clamp(maxpoints, 1, 4096), clamp(mode, 0, 1)};
}

long find_peaks(const frame::PlaneView<const std::int32_t>& acc, const PeakSettings& s,
                float* list, long step) {
  return s.mode == 0 ? search<true>(acc, s, list, step) : search<false>(acc, s, list, step);
}

}  // namespace region
