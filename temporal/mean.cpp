#include "temporal/mean.h"

#include <type_traits>

#include "frame/walk.h"
#include "temporal/blend.h"

namespace temporal {

namespace {

long long row_values(const Region& r) {
  long long v = 0;
  if (__builtin_mul_overflow(static_cast<long long>(r.dim[0]), r.planecount, &v)) return -1;
  return v;
}

long long times_rows(long long per_row, const Region& r) {
  const long long rows = region_rows(r);
  long long total = 0;
  if (per_row < 0 || rows < 0 || __builtin_mul_overflow(per_row, rows, &total)) return -1;
  return total;
}

template <class T>
void walk(const frame::Matrix& in, const frame::Matrix& out, const Region& r, double n,
          double* acc) {
  const double w = 1.0 / n;
  const double v = 1.0 - w;
  const long width = r.dim[0];
  const long values = width * r.planecount;
  frame::walk_rows<2>(r.dimcount, r.dim, {in.data, out.data}, {in.dimstride, out.dimstride},
                      [&](const std::array<std::byte*, 2>& row, long) {
                        const auto* a = reinterpret_cast<const T*>(row[0]);
                        auto* o = reinterpret_cast<T*>(row[1]);
                        if constexpr (std::is_integral_v<T>) {
                          blend_row(a, o, acc, values, w, v);
                          acc += values;
                        } else {
                          blend_row(a, o, o, values, w, v);
                        }
                      });
}

}  // namespace

long long mean_accumulator_bytes(const Region& r) {
  if (r.dimcount < 1) return 0;
  long long bytes = row_values(r);
  if (bytes < 0 || __builtin_mul_overflow(bytes, 8LL, &bytes)) return -1;
  return times_rows((bytes / 16 + 1) * 16, r);
}

long long mean_values(const Region& r) {
  if (r.dimcount < 1) return 0;
  return times_rows(row_values(r), r);
}

void mean_walk(const frame::Matrix& in, const frame::Matrix& out, const Region& r, double n,
               double* acc) {
  if (r.dimcount < 1 || !has_cells(in) || !has_cells(out)) return;
  frame::dispatch_type(out.type, [&](auto tag) { walk<decltype(tag)>(in, out, r, n, acc); });
}

}  // namespace temporal
