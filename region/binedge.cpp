#include "region/binedge.h"

#include <cstdint>

#include "frame/cpu.h"

namespace region {
namespace {

template <class T> constexpr T edge_value() { return T(1); }
template <> constexpr std::uint8_t edge_value<std::uint8_t>() { return 255; }

// One row of the decision. a, c, b: the rows above, at and below, where a
// missing row is replaced by the current one: a row's cells are already
// neighbours of (or are) the cell, so the in-region rule is unchanged and
// nothing outside the region is read. The same holds for the first and
// last columns, whose missing side is replaced by the cell's own column.
template <class T>
[[gnu::always_inline]] inline void edge_row(const T* a, const T* c, const T* b, T* o, long ostep, long width) {
  const T on = edge_value<T>();
  // A cell is an edge unless its whole 3x3 block is foreground. Written
  // without early exits (same decision) so the compiler can vectorise it.
  auto interior = [&](long x) {
    const bool all = (a[x - 1] != 0) & (a[x] != 0) & (a[x + 1] != 0) & (c[x - 1] != 0) &
                     (c[x + 1] != 0) & (b[x - 1] != 0) & (b[x] != 0) & (b[x + 1] != 0);
    return ((c[x] != 0) & !all) ? on : T(0);
  };
  auto border = [&](long x) {
    const long l = x > 0 ? x - 1 : x;
    const long r = x < width - 1 ? x + 1 : x;
    const bool all = (a[l] != 0) & (a[x] != 0) & (a[r] != 0) & (c[l] != 0) & (c[r] != 0) &
                     (b[l] != 0) & (b[x] != 0) & (b[r] != 0);
    return ((c[x] != 0) & !all) ? on : T(0);
  };
  if (width <= 0) return;
  o[0] = border(0);
  if (width == 1) return;
  if (ostep == 1) {
    // Interior of a packed row in chunks: first whether each 3-cell column
    // is all foreground, then three neighbouring columns at a time (fewer
    // loads and tests per cell than the nine-cell form above).
    constexpr long kChunk = 256;
    std::uint8_t full[kChunk + 2];
    for (long x0 = 1; x0 < width - 1; x0 += kChunk) {
      const long len = width - 1 - x0 < kChunk ? width - 1 - x0 : kChunk;
      const T* ac = a + x0 - 1;
      const T* cc = c + x0 - 1;
      const T* bc = b + x0 - 1;
      for (long j = 0; j < len + 2; ++j) full[j] = (ac[j] != 0) & (cc[j] != 0) & (bc[j] != 0);
      T* oc = o + x0;
      for (long j = 0; j < len; ++j) {
        const bool all = full[j] & full[j + 1] & full[j + 2];
        oc[j] = ((cc[j + 1] != 0) & !all) ? on : T(0);
      }
    }
  } else {
    for (long x = 1; x < width - 1; ++x) o[x * ostep] = interior(x);
  }
  o[(width - 1) * ostep] = border(width - 1);
}

template <class T>
[[gnu::always_inline]] inline void edges(const frame::Matrix& in, const frame::Matrix& out,
                                         long width, long height) {
  const auto src = frame::plane_view<const T>(in, width, height);
  const auto dst = frame::plane_view<T>(out, width, height);
  for (long y = 0; y < height; ++y) {
    const T* c = src.row(y);
    const T* a = y > 0 ? src.row(y - 1) : c;
    const T* b = y < height - 1 ? src.row(y + 1) : c;
    edge_row(a, c, b, dst.row(y), dst.step, width);
  }
}

template <class T>
void edges_baseline(const frame::Matrix& in, const frame::Matrix& out, long width, long height) {
  edges<T>(in, out, width, height);
}

#if defined(ZELK_X86_KERNELS)
// The same code compiled for wider vectors, chosen when the processor has them.
template <class T>
__attribute__((target("avx2"))) void edges_avx2(const frame::Matrix& in, const frame::Matrix& out,
                                                long width, long height) {
  edges<T>(in, out, width, height);
}
#endif

}  // namespace

void binary_edges(const frame::Matrix& in, const frame::Matrix& out, long width, long height) {
#if defined(ZELK_X86_KERNELS)
  const bool wide = frame::cpu_has_avx2();
#else
  const bool wide = false;
#endif
  frame::dispatch_type(in.type, [&](auto t) {
    using T = decltype(t);
#if defined(ZELK_X86_KERNELS)
    if (wide) return edges_avx2<T>(in, out, width, height);
#endif
    (void)wide;
    edges_baseline<T>(in, out, width, height);
  });
}

}  // namespace region
