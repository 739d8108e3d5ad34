#include "temporal/ravg.h"

#include <algorithm>
#include <type_traits>

#include "frame/walk.h"

namespace temporal {

namespace {

unsigned long groups(long stride, unsigned long group_bytes) {
  return static_cast<unsigned long>(stride) / group_bytes;
}

// Whole groups of a row and their bytes in each matrix.
struct Run {
  unsigned long groups = 0;
  unsigned long in_bytes = 0, out_bytes = 0, internal_bytes = 0;
  long values = 0;
};

Run row_run(const frame::Matrix& in, const frame::Matrix& internal) {
  Run run;
  const long in_stride = in.dimstride[1], internal_stride = internal.dimstride[1];
  switch (in.type) {
    case frame::CellType::Char:
      run.groups = std::min(groups(in_stride, 4), groups(internal_stride, 16));
      run.in_bytes = run.out_bytes = 4 * run.groups;
      run.internal_bytes = 16 * run.groups;
      run.values = static_cast<long>(4 * run.groups);
      break;
    case frame::CellType::Long:
      run.groups = std::min(groups(in_stride, 16), groups(internal_stride, 16));
      run.in_bytes = run.out_bytes = run.internal_bytes = 16 * run.groups;
      run.values = static_cast<long>(4 * run.groups);
      break;
    case frame::CellType::Float32:
    case frame::CellType::Float64:
      run.groups = groups(in_stride, 16);
      run.in_bytes = run.out_bytes = 16 * run.groups;
      run.values = static_cast<long>(16 * run.groups / frame::cell_size(in.type));
      break;
    default:
      break;
  }
  return run;
}

bool fits(const Region& r, const frame::Matrix& m, unsigned long run_bytes) {
  __int128 last = 0;
  for (long i = 1; i < r.dimcount; ++i) {
    if (r.dim[i] == 0) return true;
    if (m.dimstride[i] < 0) return false;
    last += static_cast<__int128>(r.dim[i] - 1) * m.dimstride[i];
  }
  return last + run_bytes <= m.size;
}

template <class T>
void slice(double alpha, long dimcount, const long* dim, long first_cell, const frame::Matrix& in,
           const frame::Matrix& out, const frame::Matrix& internal, BlendKernel kernel) {
  using W = std::conditional_t<std::is_same_v<T, double>, double, float>;
  using S = std::conditional_t<std::is_integral_v<T>, float, T>;
  const W a = static_cast<W>(alpha);
  const W b = static_cast<W>(1.0 - alpha);
  // A part may be cut along dimension 0: its run is what the row's run from
  // the row's start leaves of the part's own cells, never the next part's.
  const long n = std::clamp(row_run(in, internal).values - first_cell * in.planecount, 0L,
                            dim[0] * in.planecount);
  const BlendRow<T, W, S> blend = blend_row_for<T, W, S>(kernel, a, b);
  if constexpr (std::is_integral_v<T>) {
    frame::walk_rows<3>(dimcount, dim, {in.data, out.data, internal.data},
                        {in.dimstride, out.dimstride, internal.dimstride},
                        [&](const std::array<std::byte*, 3>& row, long) {
                          blend(reinterpret_cast<const T*>(row[0]), reinterpret_cast<T*>(row[1]),
                                reinterpret_cast<S*>(row[2]), n, a, b);
                        });
  } else {
    frame::walk_rows<2>(dimcount, dim, {in.data, out.data}, {in.dimstride, out.dimstride},
                        [&](const std::array<std::byte*, 2>& row, long) {
                          auto* o = reinterpret_cast<T*>(row[1]);
                          blend(reinterpret_cast<const T*>(row[0]), o, o, n, a, b);
                        });
  }
}

}  // namespace

long ravg_row_values(const frame::Matrix& in, const frame::Matrix& internal) {
  return row_run(in, internal).values;
}

bool ravg_rows_fit(const Region& r, const frame::Matrix& in, const frame::Matrix& out,
                   const frame::Matrix& internal) {
  if (r.dimcount < 1) return true;
  const Run run = row_run(in, internal);
  const bool integer = in.type == frame::CellType::Char || in.type == frame::CellType::Long;
  return fits(r, in, run.in_bytes) && fits(r, out, run.out_bytes) &&
         (!integer || fits(r, internal, run.internal_bytes));
}

void ravg_slice(double alpha, long dimcount, const long* dim, const frame::Matrix& in,
                const frame::Matrix& out, const frame::Matrix& internal, BlendKernel kernel,
                long first_cell) {
  if (dimcount < 1) return;
  frame::dispatch_type(in.type, [&](auto tag) {
    slice<decltype(tag)>(alpha, dimcount, dim, first_cell, in, out, internal, kernel);
  });
}

}  // namespace temporal
