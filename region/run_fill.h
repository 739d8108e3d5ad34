// The run fill: a scan-line seed fill with parent spans, 4-connected. Shared
// by labelling and flood fill. A cell is filled when its input is non-zero
// and its target is still 0; runs are always written whole.
#pragma once

#include <algorithm>
#include <cstdint>

#include "frame/matrix.h"

namespace region {

struct FillRecord {
  std::int32_t row;
  std::int32_t left;
  std::int32_t right;
  std::int32_t parent_left;
  std::int32_t parent_right;
  std::int32_t direction;
};

// The fill stops once the stack holds this many records at the top of its
// loop: floor(W * H / 4), in 64 bits (a 32-bit `long`, as on Windows, would
// overflow above about 358 million cells once counted in bytes).
inline std::int64_t fill_stack_limit(long width, long height) {
  return static_cast<std::int64_t>(width) * height / 4;
}

// Records the stack buffer must have room for: the limit, plus every run one
// popped record can push (at most W + 2), and the seed when the limit is 0.
inline std::int64_t fill_stack_room(long width, long height) {
  return fill_stack_limit(width, height) + width + 2;
}

// Bytes of that room.
inline std::int64_t fill_stack_bytes(long width, long height) {
  return fill_stack_room(width, height) * static_cast<std::int64_t>(sizeof(FillRecord));
}

template <class T>
struct RunFill {
  const frame::PlaneView<const std::uint8_t>& in;
  const frame::PlaneView<T>& target;
  FillRecord* stack;
  T value;
  long count = 0;
  long top = 0, bottom = -1, leftmost = 0, rightmost = -1;  // the box of the cells written

  // Writes the maximal run of non-zero input around (x, y); returns its ends.
  void fill_run(long x, long y, long* left, long* right) {
    const std::uint8_t* src = in.row(y);
    T* dst = target.row(y);
    long l = x, r = x;
    while (r < in.width - 1 && src[r + 1] != 0) ++r;
    while (l > 0 && src[l - 1] != 0) --l;
    for (long i = l; i <= r; ++i) dst[i] = value;
    if (count == 0) top = bottom = y, leftmost = l, rightmost = r;
    top = std::min(top, y), bottom = std::max(bottom, y);
    leftmost = std::min(leftmost, l), rightmost = std::max(rightmost, r);
    count += r - l + 1;
    *left = l;
    *right = r;
  }

  // Searches cells from..to of row y for unwritten runs, pushing each.
  void search(long y, long from, long to, const FillRecord& parent, std::int32_t direction,
              long* sp) {
    if (y < 0 || y >= in.height) return;
    const std::uint8_t* src = in.row(y);
    const T* dst = target.row(y);
    long x = from;
    while (x <= to) {
      if (src[x] != 0 && dst[x] == 0) {
        long l, r;
        fill_run(x, y, &l, &r);
        stack[(*sp)++] = FillRecord{static_cast<std::int32_t>(y), static_cast<std::int32_t>(l),
                                    static_cast<std::int32_t>(r), parent.left, parent.right,
                                    direction};
        x = r + 2;
      } else {
        ++x;
      }
    }
  }

  // The fill from a seed whose run (seed_left..seed_right on row y) is
  // already written; runs the stack loop until empty or at the limit.
  // `seed_pass_free`: the seed record's own pass is made before the first
  // limit test, so a region too small for any stack still reaches the
  // runs next to the seed's.
  void spread(long y, long seed_left, long seed_right, bool seed_pass_free = false) {
    long sp = 0;
    stack[sp++] = FillRecord{static_cast<std::int32_t>(y), static_cast<std::int32_t>(seed_left),
                             static_cast<std::int32_t>(seed_right),
                             static_cast<std::int32_t>(seed_right + 1),
                             static_cast<std::int32_t>(seed_right),
                             y == in.height - 1 ? -1 : 1};
    const std::int64_t limit = fill_stack_limit(in.width, in.height);
    bool free_pass = seed_pass_free;
    while (sp > 0 && (sp < limit || free_pass)) {
      free_pass = false;
      const FillRecord p = stack[--sp];
      search(p.row - p.direction, p.left, p.right, p, p.direction, &sp);
      search(p.row + p.direction, p.left, p.parent_left - 1, p, -p.direction, &sp);
      search(p.row + p.direction, p.parent_right + 1, p.right, p, -p.direction, &sp);
    }
  }
};

}  // namespace region
