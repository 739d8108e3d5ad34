#include "region/label.h"

#include <cstdlib>
#include <cstring>

namespace region {
namespace {

bool has_zero_byte(std::uint64_t v) {
  return ((v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull) != 0;
}

// First x >= from whose input is non-zero, or width; eight cells a step.
long next_foreground(const std::uint8_t* src, long x, long width) {
  for (std::uint64_t w; x + 8 <= width; x += 8) {
    std::memcpy(&w, src + x, 8);
    if (w != 0) break;
  }
  while (x < width && src[x] == 0) ++x;
  return x;
}

// First x >= from whose input is zero, or width.
long next_background(const std::uint8_t* src, long x, long width) {
  for (std::uint64_t w; x + 8 <= width; x += 8) {
    std::memcpy(&w, src + x, 8);
    if (has_zero_byte(w)) break;
  }
  while (x < width && src[x] != 0) ++x;
  return x;
}

int by_area(const void* a, const void* b) {
  return static_cast<const BlobEntry*>(a)->area - static_cast<const BlobEntry*>(b)->area;
}

// Final value of every label, into tables.rank (entry 0 = background = 0).
// Returns false when every label keeps its own number.
bool final_values(const LabelSettings& s, long count, LabelTables& t) {
  const std::int64_t threshold = s.threshold > 0 ? s.threshold : 0;
  std::int32_t* value = t.rank;
  value[0] = 0;
  value[kRemoved] = 0;
  if (s.mode == 0) {
    if (threshold == 0) {
      for (long k = 1; k <= count; ++k) value[k] = static_cast<std::int32_t>(k);
      return false;
    }
    std::int32_t next = 0;
    for (long k = 1; k <= count; ++k) value[k] = t.blob[k].area > threshold ? ++next : 0;
    return true;
  }
  if (!s.char_output) {
    for (long k = 1; k <= count; ++k)
      value[k] = t.blob[k].area > threshold ? t.blob[k].area : 0;
    return true;
  }
  if (count == 1) {
    value[1] = t.blob[1].area > threshold ? 1 : 0;
    return true;
  }
  std::qsort(t.blob + 1, static_cast<std::size_t>(count), sizeof(BlobEntry), by_area);
  for (long i = 1; i <= count; ++i) {
    const BlobEntry& e = t.blob[i];
    value[e.label] = e.area > threshold ? static_cast<std::int32_t>(count - i + 1) : 0;
  }
  return true;
}

}  // namespace

long label_blobs(const frame::PlaneView<const std::uint8_t>& in,
                 const frame::PlaneView<std::int32_t>& labels, FillRecord* stack,
                 LabelTables& tables, std::int64_t threshold) {
  long count = 0;
  tables.blob[0] = BlobEntry{0, 0};
  for (long y = 0; y < in.height && count < kMaxBlobs; ++y) {
    const std::uint8_t* src = in.row(y);
    const std::int32_t* dst = labels.row(y);
    for (long x = next_foreground(src, 0, in.width); x < in.width && count < kMaxBlobs;
         x = next_foreground(src, x, in.width)) {
      if (dst[x] != 0) {  // runs are always labelled whole: skip the rest of it
        x = next_background(src, x, in.width);
        continue;
      }
      const auto label = static_cast<std::int32_t>(count + 1);
      RunFill<std::int32_t> fill{in, labels, stack, label};
      long left, right;
      fill.fill_run(x, y, &left, &right);
      fill.spread(y, left, right);
      x = right + 1;
      if (threshold > 0 && fill.count <= threshold) {
        // Only this region holds `label` yet; it lies within the box the fill wrote.
        for (long r = fill.top; r <= fill.bottom; ++r) {
          std::int32_t* row = labels.row(r);
          for (long c = fill.leftmost; c <= fill.rightmost; ++c)
            if (row[c] == label) row[c] = kRemoved;
        }
        continue;
      }
      ++count;
      tables.blob[count] = BlobEntry{label, static_cast<std::int32_t>(fill.count)};
    }
  }
  return count;
}

void finish_long(const LabelSettings& s, long count, LabelTables& tables,
                 const frame::PlaneView<std::int32_t>& labels) {
  if (!final_values(s, count, tables)) return;
  const std::int32_t* value = tables.rank;
  for (long y = 0; y < labels.height; ++y) {
    std::int32_t* row = labels.row(y);
    for (long x = 0; x < labels.width; ++x) row[x] = value[row[x]];
  }
}

void finish_char(const LabelSettings& s, long count, LabelTables& tables,
                 const frame::PlaneView<const std::int32_t>& labels,
                 const frame::PlaneView<std::uint8_t>& out) {
  const bool remapped = final_values(s, count, tables);
  const std::int32_t* value = tables.rank;
  for (long y = 0; y < labels.height; ++y) {
    const std::int32_t* src = labels.row(y);
    std::uint8_t* dst = out.row(y);
    if (!remapped) {
      // Labels as they are: a branch-free loop the compiler vectorises.
      for (long x = 0; x < labels.width; ++x)
        dst[x] = static_cast<std::uint8_t>(src[x] > 255 ? 0 : src[x]);
      continue;
    }
    for (long x = 0; x < labels.width; ++x) {
      const std::int32_t v = value[src[x]];
      dst[x] = static_cast<std::uint8_t>(v > 255 ? 0 : v);
    }
  }
}

}  // namespace region
