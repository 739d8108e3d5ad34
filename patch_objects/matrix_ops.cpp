#include "patch_objects/matrix_ops.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <type_traits>
#include <utility>

#include "frame/cpu.h"
#include "frame/walk.h"

namespace zelk::objects {
namespace {

template <class T>
constexpr bool kIsChar = std::is_same_v<T, std::uint8_t>;
template <class T>
constexpr bool kIsFloat = std::is_floating_point_v<T>;

template <class T>
T truth(bool b) {
  return b ? T(kIsChar<T> ? 255 : 1) : T(0);
}

// A double into int32, truncated; out of range saturates, NaN is 0.
std::int32_t saturate_int32(double v) {
  if (std::isnan(v)) return 0;
  if (v <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (v >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

std::uint8_t clamp_char(double v) {
  if (!(v > 0)) return 0;  // NaN too
  return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

// int64 results of int32 operands wrap into int32, as the cell holds them.
std::int32_t wrap32(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

template <Op op>
std::int32_t bit_op(std::int32_t a, std::int32_t b) {
  if constexpr (op == Op::BitAnd) return a & b;
  else if constexpr (op == Op::BitOr) return a | b;
  else if constexpr (op == Op::BitXor) return a ^ b;
  else if constexpr (op == Op::BitNot) return ~a;
  else if constexpr (op == Op::ShiftLeft)
    return b < 0 || b > 31 ? 0 : static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << b);
  else
    return b < 0 || b > 31 ? (a < 0 ? -1 : 0) : a >> b;
}

constexpr bool is_bitwise(Op op) { return op >= Op::BitAnd && op <= Op::ShiftLeft; }
constexpr bool is_float_only(Op op) { return op == Op::Fold || op == Op::Wrap || op >= Op::Sin; }
// Whether jit.op defines `op` on cells of type T.
template <class T>
constexpr bool defined_on(Op op) {
  return kIsFloat<T> ? !is_bitwise(op) : !is_float_only(op);
}

// The arithmetic operators on one cell type.
template <class T, Op op>
T arith(T a, T b) {
  if constexpr (kIsChar<T>) {
    const int x = a, y = b;
    if constexpr (op == Op::Add) return static_cast<T>(std::min(x + y, 255));
    else if constexpr (op == Op::Sub) return static_cast<T>(std::max(x - y, 0));
    else if constexpr (op == Op::AddMod) return static_cast<T>((x + y) & 255);
    else if constexpr (op == Op::SubMod) return static_cast<T>((x - y) & 255);
    else if constexpr (op == Op::Mul) return static_cast<T>((x * y) >> 8);
    else if constexpr (op == Op::Div) return y ? static_cast<T>(std::min((x << 8) / y, 255)) : T(0);
    else if constexpr (op == Op::Mod) return y ? static_cast<T>(x % y) : T(0);
    else if constexpr (op == Op::Abs) return a;
    else if constexpr (op == Op::Avg) return static_cast<T>((x + y) >> 1);
    else return static_cast<T>(x > y ? x - y : y - x);  // AbsDiff
  } else if constexpr (kIsFloat<T>) {
    if constexpr (op == Op::Add || op == Op::AddMod) return a + b;
    else if constexpr (op == Op::Sub || op == Op::SubMod) return a - b;
    else if constexpr (op == Op::Mul) return a * b;
    else if constexpr (op == Op::Div) return b != 0 ? a / b : T(0);
    else if constexpr (op == Op::Mod) return b != 0 ? std::fmod(a, b) : T(0);
    else if constexpr (op == Op::Abs) return std::fabs(a);
    else if constexpr (op == Op::Avg) return (a + b) * T(0.5);
    else return std::fabs(a - b);  // AbsDiff
  } else {
    const std::int64_t x = a, y = b;
    if constexpr (op == Op::Add || op == Op::AddMod) return wrap32(x + y);
    else if constexpr (op == Op::Sub || op == Op::SubMod) return wrap32(x - y);
    else if constexpr (op == Op::Mul) return wrap32(x * y);
    else if constexpr (op == Op::Div) return y ? wrap32(x / y) : 0;
    else if constexpr (op == Op::Mod) return y ? wrap32(x % y) : 0;
    else if constexpr (op == Op::Abs) return wrap32(x < 0 ? -x : x);
    else if constexpr (op == Op::Avg) return wrap32((x + y) / 2);
    else return wrap32(x > y ? x - y : y - x);  // AbsDiff
  }
}

// Positive modulo, and modulo mirrored at every multiple of b; 0 when b is 0.
template <class T>
T wrap_to(T a, T b) {
  if (b == 0) return T(0);
  return a - b * std::floor(a / b);
}
template <class T>
T fold_to(T a, T b) {
  if (b == 0) return T(0);
  const T m = wrap_to(a, T(2) * b);
  return std::fabs(m) > std::fabs(b) ? T(2) * b - m : m;
}

template <class T, Op op>
T float_only(T a, T b) {
  if constexpr (op == Op::Fold) return fold_to(a, b);
  else if constexpr (op == Op::Wrap) return wrap_to(a, b);
  else if constexpr (op == Op::Sin) return std::sin(a);
  else if constexpr (op == Op::Cos) return std::cos(a);
  else if constexpr (op == Op::Tan) return std::tan(a);
  else if constexpr (op == Op::Asin) return std::asin(a);
  else if constexpr (op == Op::Acos) return std::acos(a);
  else if constexpr (op == Op::Atan) return std::atan(a);
  else if constexpr (op == Op::Atan2) return std::atan2(a, b);
  else if constexpr (op == Op::Sinh) return std::sinh(a);
  else if constexpr (op == Op::Cosh) return std::cosh(a);
  else if constexpr (op == Op::Tanh) return std::tanh(a);
  else if constexpr (op == Op::Asinh) return std::asinh(a);
  else if constexpr (op == Op::Acosh) return std::acosh(a);
  else if constexpr (op == Op::Atanh) return std::atanh(a);
  else if constexpr (op == Op::Exp) return std::exp(a);
  else if constexpr (op == Op::Exp2) return std::exp2(a);
  else if constexpr (op == Op::Ln) return std::log(a);
  else if constexpr (op == Op::Log2) return std::log2(a);
  else if constexpr (op == Op::Log10) return std::log10(a);
  else if constexpr (op == Op::Hypot) return std::hypot(a, b);
  else if constexpr (op == Op::Pow) return std::pow(a, b);
  else if constexpr (op == Op::Sqrt) return std::sqrt(a);
  else if constexpr (op == Op::Ceil) return std::ceil(a);
  else if constexpr (op == Op::Floor) return std::floor(a);
  else if constexpr (op == Op::Round) return std::round(a);
  else return std::trunc(a);  // Trunc
}

template <class T, Op op>
T cell(T a, T b, T previous) {
  if constexpr (!defined_on<T>(op)) return a;
  else if constexpr (op == Op::Pass) return a;
  else if constexpr (op == Op::FlipPass) return b;
  else if constexpr (op == Op::Ignore) return previous;
  else if constexpr (op == Op::FlipDiv) return arith<T, Op::Div>(b, a);
  else if constexpr (op == Op::FlipSub) return arith<T, Op::Sub>(b, a);
  else if constexpr (op == Op::FlipMod) return arith<T, Op::Mod>(b, a);
  else if constexpr (op == Op::Gt) return truth<T>(a > b);
  else if constexpr (op == Op::Lt) return truth<T>(a < b);
  else if constexpr (op == Op::Ge) return truth<T>(a >= b);
  else if constexpr (op == Op::Le) return truth<T>(a <= b);
  else if constexpr (op == Op::Eq) return truth<T>(a == b);
  else if constexpr (op == Op::Ne) return truth<T>(a != b);
  else if constexpr (op == Op::GtPass) return a > b ? a : T(0);
  else if constexpr (op == Op::LtPass) return a < b ? a : T(0);
  else if constexpr (op == Op::GePass) return a >= b ? a : T(0);
  else if constexpr (op == Op::LePass) return a <= b ? a : T(0);
  else if constexpr (op == Op::EqPass) return a == b ? a : T(0);
  else if constexpr (op == Op::NePass) return a != b ? a : T(0);
  else if constexpr (op == Op::And) return truth<T>(a != 0 && b != 0);
  else if constexpr (op == Op::Or) return truth<T>(a != 0 || b != 0);
  else if constexpr (op == Op::Not) return truth<T>(a == 0);
  else if constexpr (op == Op::Min) return std::min(a, b);
  else if constexpr (op == Op::Max) return std::max(a, b);
  else if constexpr (is_bitwise(op)) {
    if constexpr (kIsChar<T>) {
      if constexpr (op == Op::ShiftLeft) return b > 7 ? 0 : static_cast<T>(a << b);
      else if constexpr (op == Op::ShiftRight) return b > 7 ? 0 : static_cast<T>(a >> b);
      else return static_cast<T>(bit_op<op>(a, b));
    } else {
      return bit_op<op>(a, b);
    }
  } else if constexpr (is_float_only(op)) {
    return float_only<T, op>(a, b);
  } else {
    return arith<T, op>(a, b);
  }
}

// Calls f(std::integral_constant<Op, op>) for the runtime `op`: the row
// kernel is chosen once, not per cell.
template <class F, std::size_t... I>
void with_op(Op op, F&& f, std::index_sequence<I...>) {
  ((op == static_cast<Op>(I) ? (f(std::integral_constant<Op, static_cast<Op>(I)>{}), true) : false) || ...);
}
template <class F>
void with_op(Op op, F&& f) {
  with_op(op, f, std::make_index_sequence<static_cast<std::size_t>(Op::Count)>{});
}

}  // namespace

bool parse_op(std::string_view name, Op* op) {
  for (std::size_t i = 0; i < std::size(kOpSymbols); ++i)
    if (kOpSymbols[i] == name) return *op = static_cast<Op>(i), true;
  for (const auto& [alias, o] : kOpAliases)
    if (alias == name) return *op = o, true;
  return false;
}

const std::vector<std::string_view>& op_names() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> n(std::begin(kOpSymbols), std::end(kOpSymbols));
    for (const auto& a : kOpAliases) n.push_back(a.first);
    return n;
  }();
  return names;
}

template <class T>
T apply_op(Op op, T a, T b, T previous) {
  T r{};
  with_op(op, [&](auto k) { r = cell<T, decltype(k)::value>(a, b, previous); });
  return r;
}

template <class T>
T scalar_as(const Scalar& s) {
  if constexpr (kIsChar<T>) return clamp_char(s.is_float ? s.value * 256 : s.value);
  else if constexpr (kIsFloat<T>) return static_cast<T>(s.value);
  else return saturate_int32(s.value);
}

template <class D, class S>
D convert_value(double v);

template <class D, class S>
D convert_cell(S v) {
  if constexpr (std::is_same_v<D, S>) return v;
  else return convert_value<D, S>(static_cast<double>(v));
}

void apply_ops(const frame::Matrix& a, const frame::Matrix* b, const std::vector<Scalar>& scalars,
               const std::vector<Op>& ops, const frame::Matrix& out) {
  const long planes = a.planecount;
  frame::dispatch_type(a.type, [&](auto zero) {
    using T = decltype(zero);
    std::byte* b_base = b ? b->data : a.data;
    const long* b_stride = b ? b->dimstride : a.dimstride;
    for (long p = 0; p < planes; ++p) {
      const auto plane = static_cast<std::size_t>(p);
      const Op op = ops.empty() ? Op::Pass : ops[plane % ops.size()];
      const T value = scalars.empty() ? T(0) : scalar_as<T>(scalars[plane % scalars.size()]);
      with_op(op, [&](auto k) {
        constexpr Op o = decltype(k)::value;
        if constexpr (o == Op::Ignore) return;  // the output keeps what it held
        frame::walk_rows<3>(a.dimcount, a.dim, {a.data, b_base, out.data}, {a.dimstride, b_stride, out.dimstride},
                            [&](const std::array<std::byte*, 3>& r, long width) {
                              const T* __restrict x = reinterpret_cast<const T*>(r[0]) + p;
                              const T* __restrict y = reinterpret_cast<const T*>(r[1]) + p;
                              T* __restrict z = reinterpret_cast<T*>(r[2]) + p;
                              // Separate loops, and one plane's stride known when it is 1,
                              // so the compiler vectorises the common case.
                              auto row = [&](auto step) {
                                if (b)
                                  for (long i = 0; i < width; ++i) z[i * step] = cell<T, o>(x[i * step], y[i * step], T(0));
                                else
                                  for (long i = 0; i < width; ++i) z[i * step] = cell<T, o>(x[i * step], value, T(0));
                              };
                              if (planes == 1) row(std::integral_constant<long, 1>{});
                              else row(planes);
                            });
      });
    }
  });
}

namespace {

// One row of luminance for weights whose sums fit 32 bits. A cell read as one
// word where the machine is little-endian (A lowest), which compilers vectorise.
inline void luma_row(const std::uint8_t* __restrict x, std::uint8_t* __restrict y, long width,
                     const std::int32_t w[4]) {
  const std::int32_t wa = w[0], wr = w[1], wg = w[2], wb = w[3];
  for (long i = 0; i < width; ++i) {
    std::int32_t sum;
    if constexpr (std::endian::native == std::endian::little) {
      std::uint32_t v;
      std::memcpy(&v, x + 4 * i, 4);
      sum = wa * static_cast<std::int32_t>(v & 255) + wr * static_cast<std::int32_t>((v >> 8) & 255) +
            wg * static_cast<std::int32_t>((v >> 16) & 255) + wb * static_cast<std::int32_t>(v >> 24);
    } else {
      sum = wa * x[4 * i] + wr * x[4 * i + 1] + wg * x[4 * i + 2] + wb * x[4 * i + 3];
    }
    y[i] = static_cast<std::uint8_t>(sum >> 16);
  }
}

#if defined(ZELK_X86_KERNELS)
// The same code for AVX2's 32-bit vector products: the same bits.
__attribute__((target("avx2"))) void luma_row_avx2(const std::uint8_t* __restrict x, std::uint8_t* __restrict y,
                                                   long width, const std::int32_t w[4]) {
  luma_row(x, y, width, w);
}
#endif

std::int64_t fixed_16_16(double scale) {
  const double v = scale * 65536.;
  if (std::isnan(v)) return 0;
  return saturate_int32(v);
}

}  // namespace

void rgb_to_luma(const frame::Matrix& in, const frame::Matrix& out, const LumaScales& s) {
  const std::int64_t a = fixed_16_16(s.a), r = fixed_16_16(s.r), g = fixed_16_16(s.g), b = fixed_16_16(s.b);
  // Weights of 0..1 that sum to at most 1 keep every sum within 0..255 * 65536:
  // 32 bits hold it and no clamp is needed. Others sum in 64 bits, clamped.
  const bool safe = a >= 0 && r >= 0 && g >= 0 && b >= 0 && a + r + g + b <= 65536;
  const std::int32_t w[4] = {static_cast<std::int32_t>(a), static_cast<std::int32_t>(r),
                             static_cast<std::int32_t>(g), static_cast<std::int32_t>(b)};
#if defined(ZELK_X86_KERNELS)
  const bool avx2 = frame::cpu_has_avx2();
#endif
  frame::walk_rows<2>(in.dimcount, in.dim, {in.data, out.data}, {in.dimstride, out.dimstride},
                      [&](const std::array<std::byte*, 2>& row, long width) {
                        const auto* x = reinterpret_cast<const std::uint8_t*>(row[0]);
                        auto* y = reinterpret_cast<std::uint8_t*>(row[1]);
                        if (!safe) {
                          for (long i = 0; i < width; ++i, x += 4) {
                            const std::int64_t sum = a * x[0] + r * x[1] + g * x[2] + b * x[3];
                            y[i] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(sum >> 16, 0, 255));
                          }
                          return;
                        }
#if defined(ZELK_X86_KERNELS)
                        if (avx2) return luma_row_avx2(x, y, width, w);
#endif
                        luma_row(x, y, width, w);
                      });
}

namespace {

// Where destination index i of one dimension reads: the byte offsets of the
// source cells below and above its position, and the weight of the upper.
struct Tap {
  std::ptrdiff_t lo = 0, hi = 0;
  double frac = 0;
};

// Walks the destination's dimensions above the first, carrying the byte
// offset in dst and the weighted source offsets; rows go to `row`.
template <class Row>
void walk_region(const std::vector<std::vector<Tap>>& taps, const std::vector<long>& first, long level,
                 const frame::Matrix& dst, std::byte* d, std::ptrdiff_t s_lo, std::ptrdiff_t s_hi, double frac, Row& row) {
  if (level == 0) {
    row(d, s_lo, s_hi, frac);
    return;
  }
  const auto& t = taps[static_cast<std::size_t>(level)];
  for (std::size_t i = 0; i < t.size(); ++i) {
    std::byte* di = d + static_cast<std::ptrdiff_t>(first[level] + static_cast<long>(i)) * dst.dimstride[level];
    if (level == 1)  // the second dimension's weight, for the bilinear rows
      walk_region(taps, first, 0, dst, di, s_lo + t[i].lo, s_hi + t[i].hi, t[i].frac, row);
    else
      walk_region(taps, first, level - 1, dst, di, s_lo + t[i].lo, s_hi + t[i].lo, frac, row);
  }
}

long clip(long v, long n) { return std::clamp(v, 0L, n - 1); }

}  // namespace

template <class D, class S>
D convert_value(double v) {
  if constexpr (kIsChar<S> && kIsFloat<D>) return static_cast<D>(v / 255.0);
  else if constexpr (kIsFloat<S> && kIsChar<D>) return clamp_char(v * 255);
  else if constexpr (kIsChar<D>) return clamp_char(v);
  else if constexpr (kIsFloat<D>) return static_cast<D>(v);
  else return saturate_int32(v);
}

void copy_matrix(const frame::Matrix& src, const frame::Matrix& dst, const CopySpec& spec) {
  for (long k = 0; k < dst.dimcount; ++k)
    if (dst.dim[k] <= 0) return;
  for (long k = 0; k < src.dimcount; ++k)
    if (src.dim[k] <= 0) return;
  const auto dims = static_cast<std::size_t>(dst.dimcount);
  auto at = [](const std::vector<long>& v, long k, long fallback) {
    return k < static_cast<long>(v.size()) ? v[static_cast<std::size_t>(k)] : fallback;
  };
  std::vector<std::vector<Tap>> taps(dims);
  std::vector<long> first(dims);
  for (long k = 0; k < dst.dimcount; ++k) {
    const long dn = dst.dim[k], sn = k < src.dimcount ? src.dim[k] : 1;
    long d0 = clip(at(spec.dst_start, k, 0), dn), d1 = clip(at(spec.dst_end, k, dn - 1), dn);
    long s0 = clip(at(spec.src_start, k, 0), sn), s1 = clip(at(spec.src_end, k, sn - 1), sn);
    if (d1 < d0) std::swap(d0, d1);
    if (s1 < s0) std::swap(s0, s1);
    const long n = d1 - d0 + 1, m = s1 - s0 + 1;
    const std::ptrdiff_t stride = k < src.dimcount ? src.dimstride[k] : 0;
    first[k] = d0;
    auto& t = taps[static_cast<std::size_t>(k)];
    t.resize(static_cast<std::size_t>(n));
    for (long i = 0; i < n; ++i) {
      // Positions in 64 bits: a product of two sizes passes 32.
      const long long scaled = static_cast<long long>(i) * m;
      const long lo = s0 + static_cast<long>(scaled / n);
      const long hi = std::min(lo + 1, s1);
      t[i] = {lo * stride, hi * stride, spec.interp && k < 2 ? static_cast<double>(scaled % n) / n : 0.0};
    }
  }
  const long planes = dst.planecount;
  std::vector<long> plane_of(static_cast<std::size_t>(planes));
  for (long p = 0; p < planes; ++p) {
    const long q = at(spec.planemap, p, p);
    plane_of[static_cast<std::size_t>(p)] = q >= 0 && q < src.planecount ? q : -1;
  }
  const bool bilinear = spec.interp && dst.dimcount > 1;
  frame::dispatch_type(dst.type, [&](auto dzero) {
    using D = decltype(dzero);
    frame::dispatch_type(src.type, [&](auto szero) {
      using S = decltype(szero);
      const std::vector<Tap>& xs = taps[0];
      auto value = [&](const std::byte* cell_row, const Tap& x, long q) {
        const S a = reinterpret_cast<const S*>(cell_row + x.lo)[q];
        if (!spec.interp || x.frac == 0) return static_cast<double>(a);
        const S b = reinterpret_cast<const S*>(cell_row + x.hi)[q];
        return static_cast<double>(a) + (static_cast<double>(b) - static_cast<double>(a)) * x.frac;
      };
      auto row = [&](std::byte* d, std::ptrdiff_t s_lo, std::ptrdiff_t s_hi, double yfrac) {
        D* out = reinterpret_cast<D*>(d) + first[0] * planes;
        const std::byte* upper = src.data + s_lo;
        const std::byte* lower = src.data + s_hi;
        for (std::size_t i = 0; i < xs.size(); ++i, out += planes)
          for (long p = 0; p < planes; ++p) {
            const long q = plane_of[static_cast<std::size_t>(p)];
            if (q < 0) {
              out[p] = D(0);
            } else if (!spec.interp) {
              out[p] = convert_cell<D>(reinterpret_cast<const S*>(upper + xs[i].lo)[q]);
            } else {
              double v = value(upper, xs[i], q);
              if (bilinear && yfrac != 0) v += (value(lower, xs[i], q) - v) * yfrac;
              out[p] = convert_value<D, S>(v);
            }
          }
      };
      walk_region(taps, first, dst.dimcount - 1, dst, dst.data, 0, 0, 0.0, row);
    });
  });
}

void convert_matrix(const frame::Matrix& src, const frame::Matrix& dst) {
  bool same_size = src.dimcount == dst.dimcount;
  for (long k = 0; same_size && k < dst.dimcount; ++k) same_size = src.dim[k] == dst.dim[k] && dst.dim[k] > 0;
  if (!same_size || src.planecount != dst.planecount) return copy_matrix(src, dst, CopySpec{});
  // Cell for cell, row by row: the common case of a matrix kept or retyped.
  const long values = dst.planecount;
  frame::dispatch_type(dst.type, [&](auto dzero) {
    using D = decltype(dzero);
    frame::dispatch_type(src.type, [&](auto szero) {
      using S = decltype(szero);
      frame::walk_rows<2>(dst.dimcount, dst.dim, {dst.data, src.data}, {dst.dimstride, src.dimstride},
                          [&](const std::array<std::byte*, 2>& r, long width) {
                            const long n = width * values;
                            if constexpr (std::is_same_v<D, S>) {
                              std::memcpy(r[0], r[1], static_cast<std::size_t>(n) * sizeof(D));
                            } else {
                              D* __restrict out = reinterpret_cast<D*>(r[0]);
                              const S* __restrict in = reinterpret_cast<const S*>(r[1]);
                              for (long i = 0; i < n; ++i) out[i] = convert_cell<D>(in[i]);
                            }
                          });
    });
  });
}

#define ZELK_CELL_TYPES(X) X(std::uint8_t) X(std::int32_t) X(float) X(double)
#define ZELK_INSTANTIATE(T) \
  template T apply_op<T>(Op, T, T, T); \
  template T scalar_as<T>(const Scalar&);
ZELK_CELL_TYPES(ZELK_INSTANTIATE)
#undef ZELK_INSTANTIATE
#define ZELK_CONVERT_FROM(S) \
  template std::uint8_t convert_cell<std::uint8_t, S>(S); \
  template std::int32_t convert_cell<std::int32_t, S>(S); \
  template float convert_cell<float, S>(S); \
  template double convert_cell<double, S>(S);
ZELK_CELL_TYPES(ZELK_CONVERT_FROM)
#undef ZELK_CONVERT_FROM
#undef ZELK_CELL_TYPES

}  // namespace zelk::objects
