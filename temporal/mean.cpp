#include "temporal/mean.h"

#include <type_traits>

#include "frame/walk.h"

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

// The strides of an accumulator laid out densely for a region; a region
// past the range of long has no accumulator (mean_values is -1).
struct AccumulatorStrides {
  long dimstride[frame::kMaxDims] = {};
  explicit AccumulatorStrides(const Region& r) {
    long stride = 0;
    bool overflow = __builtin_mul_overflow(r.planecount, static_cast<long>(sizeof(double)), &stride);
    for (long i = 0; i < r.dimcount && !overflow; ++i) {
      dimstride[i] = stride;
      overflow = __builtin_mul_overflow(stride, r.dim[i], &stride);
    }
  }
};

template <class T>
void walk(const frame::Matrix& in, const frame::Matrix& out, const Region& r, double n,
          double* acc, const Region& laid_out, BlendKernel kernel) {
  // Float cells hold their own means; char and long keep them in float64.
  using S = std::conditional_t<std::is_integral_v<T>, double, T>;
  const double w = 1.0 / n;
  const double v = 1.0 - w;
  // An output larger than this goes past the caches, which the accumulator
  // (eight bytes a value) needs more.
  constexpr long long kStreamedOutputBytes = 1 << 20;
  const bool stream_out = mean_values(r) >= kStreamedOutputBytes / static_cast<long long>(sizeof(T));
  const BlendRow<T, double, S> blend = blend_row_for<T, double, S>(kernel, w, v, stream_out);
  const long values = r.dim[0] * r.planecount;
  if constexpr (std::is_integral_v<T>) {
    const AccumulatorStrides acc_strides(laid_out);
    frame::walk_rows<3>(r.dimcount, r.dim, {in.data, out.data, reinterpret_cast<std::byte*>(acc)},
                        {in.dimstride, out.dimstride, acc_strides.dimstride},
                        [&](const std::array<std::byte*, 3>& row, long) {
                          blend(reinterpret_cast<const T*>(row[0]), reinterpret_cast<T*>(row[1]),
                                reinterpret_cast<double*>(row[2]), values, w, v);
                        });
    if (stream_out) finish_streamed_rows();
  } else {
    frame::walk_rows<2>(r.dimcount, r.dim, {in.data, out.data}, {in.dimstride, out.dimstride},
                        [&](const std::array<std::byte*, 2>& row, long) {
                          auto* o = reinterpret_cast<T*>(row[1]);
                          blend(reinterpret_cast<const T*>(row[0]), o, o, values, w, v);
                        });
  }
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

bool region_within(const Region& r, const Region& laid_out) {
  if (r.planecount != laid_out.planecount || r.dimcount != laid_out.dimcount) return false;
  for (long i = 0; i < r.dimcount; ++i)
    if (r.dim[i] > laid_out.dim[i]) return false;
  return true;
}

void mean_walk(const frame::Matrix& in, const frame::Matrix& out, const Region& r, double n,
               double* acc, const Region& laid_out, BlendKernel kernel) {
  if (r.dimcount < 1 || !has_cells(in) || !has_cells(out)) return;
  frame::dispatch_type(out.type, [&](auto tag) {
    walk<decltype(tag)>(in, out, r, n, acc, laid_out, kernel);
  });
}

}  // namespace temporal
