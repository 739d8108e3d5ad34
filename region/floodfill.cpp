#include "region/floodfill.h"

namespace region {

bool reserve_fill_stack(FillStack& s, std::int64_t bytes, void* (*alloc)(std::size_t)) {
  if (s.records && s.bytes == bytes) return true;
  release_fill_stack(s);
  s.records = static_cast<FillRecord*>(alloc(static_cast<std::size_t>(bytes)));
  if (!s.records) return false;
  s.bytes = bytes;
  return true;
}

void release_fill_stack(FillStack& s) {
  std::free(s.records);
  s.records = nullptr;
  s.bytes = 0;
}

void flood_fill(const frame::PlaneView<const std::uint8_t>& in,
                const frame::PlaneView<std::uint8_t>& out, FillRecord* stack, long x, long y) {
  if (x < 0 || x >= in.width || y < 0 || y >= in.height) return;
  if (in.row(y)[x] == 0) return;
  RunFill<std::uint8_t> f{in, out, stack, 255};
  long left, right;
  f.fill_run(x, y, &left, &right);
  if (in.height == 1) return;
  // A two-row image of fewer than four columns has room for no record at
  // the first limit test; its seed's own pass still reaches the other row,
  // through the cells directly beside the seed's run only.
  f.spread(y, left, right, in.height == 2);
}

}  // namespace region
