#include "patch_objects/matrix_ops.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

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

template <class T, Op op>
T cell(T a, T b) {
  if constexpr (op == Op::Pass) return a;
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
  else if constexpr (op == Op::Xor) return truth<T>((a != 0) != (b != 0));
  else if constexpr (op == Op::Not) return truth<T>(a == 0);
  else if constexpr (op == Op::Min) return std::min(a, b);
  else if constexpr (op == Op::Max) return std::max(a, b);
  else if constexpr (op >= Op::BitAnd && op <= Op::ShiftRight) {
    if constexpr (kIsChar<T>) {
      if constexpr (op == Op::ShiftLeft) return b > 7 ? 0 : static_cast<T>(a << b);
      else if constexpr (op == Op::ShiftRight) return b > 7 ? 0 : static_cast<T>(a >> b);
      else return static_cast<T>(bit_op<op>(a, b));
    } else if constexpr (kIsFloat<T>) {
      return static_cast<T>(bit_op<op>(saturate_int32(a), saturate_int32(b)));
    } else {
      return bit_op<op>(a, b);
    }
  } else if constexpr (kIsChar<T>) {
    const int x = a, y = b;
    if constexpr (op == Op::Add) return static_cast<T>(std::min(x + y, 255));
    else if constexpr (op == Op::Sub) return static_cast<T>(std::max(x - y, 0));
    else if constexpr (op == Op::AddMod) return static_cast<T>((x + y) & 255);
    else if constexpr (op == Op::SubMod) return static_cast<T>((x - y) & 255);
    else if constexpr (op == Op::Mul) return static_cast<T>(x * y / 255);
    else if constexpr (op == Op::Div) return y ? static_cast<T>(std::min(x * 255 / y, 255)) : T(0);
    else if constexpr (op == Op::Mod) return y ? static_cast<T>(x % y) : T(0);
    else if constexpr (op == Op::Abs) return a;
    else if constexpr (op == Op::Avg) return static_cast<T>((x + y) / 2);
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

const std::vector<std::string_view> kNames = {
    "pass", "+", "-", "+m", "-m", "*", "/", "%", "min", "max", "abs", "avg", "absdiff",
    ">", "<", ">=", "<=", "==", "!=", ">p", "<p", ">=p", "<=p", "==p", "!=p",
    "&&", "||", "^^", "!", "&", "|", "^", "~", "<<", ">>"};

}  // namespace

bool parse_op(std::string_view name, Op* op) {
  const auto it = std::find(kNames.begin(), kNames.end(), name);
  if (it == kNames.end()) return false;
  *op = static_cast<Op>(it - kNames.begin());
  return true;
}

const std::vector<std::string_view>& op_names() { return kNames; }

template <class T>
T apply_op(Op op, T a, T b) {
  T r{};
  with_op(op, [&](auto k) { r = cell<T, decltype(k)::value>(a, b); });
  return r;
}

template <class T>
T scalar_as(const Scalar& s) {
  if constexpr (kIsChar<T>) return clamp_char(s.is_float ? s.value * 255 : s.value);
  else if constexpr (kIsFloat<T>) return static_cast<T>(s.value);
  else return saturate_int32(s.value);
}

template <class D, class S>
D convert_cell(S v) {
  if constexpr (std::is_same_v<D, S>) return v;
  else if constexpr (kIsChar<S> && kIsFloat<D>) return static_cast<D>(v / 255.0);
  else if constexpr (kIsFloat<S> && kIsChar<D>) return clamp_char(static_cast<double>(v) * 255);
  else if constexpr (kIsChar<D>) return clamp_char(static_cast<double>(v));
  else if constexpr (kIsFloat<D>) return static_cast<D>(v);
  else return saturate_int32(static_cast<double>(v));
}

void apply_ops(const frame::Matrix& a, const frame::Matrix* b, const std::vector<Scalar>& scalars,
               const std::vector<Op>& ops, const frame::Matrix& out) {
  const long planes = a.planecount;
  frame::dispatch_type(a.type, [&](auto zero) {
    using T = decltype(zero);
    std::byte* b_base = b ? b->data : a.data;
    const long* b_stride = b ? b->dimstride : a.dimstride;
    for (long p = 0; p < planes; ++p) {
      const Op op = ops.empty() ? Op::Pass : ops[std::min<std::size_t>(p, ops.size() - 1)];
      const T value =
          scalars.empty() ? T(0) : scalar_as<T>(scalars[std::min<std::size_t>(p, scalars.size() - 1)]);
      with_op(op, [&](auto k) {
        constexpr Op o = decltype(k)::value;
        frame::walk_rows<3>(a.dimcount, a.dim, {a.data, b_base, out.data}, {a.dimstride, b_stride, out.dimstride},
                            [&](const std::array<std::byte*, 3>& r, long width) {
                              const T* x = reinterpret_cast<const T*>(r[0]) + p;
                              const T* y = reinterpret_cast<const T*>(r[1]) + p;
                              T* z = reinterpret_cast<T*>(r[2]) + p;
                              for (long i = 0; i < width; ++i)
                                z[i * planes] = cell<T, o>(x[i * planes], b ? y[i * planes] : value);
                            });
      });
    }
  });
}

namespace {

std::int64_t fixed_16_16(double scale) {
  const double v = scale * 65536.;
  if (std::isnan(v)) return 0;
  return saturate_int32(v);
}

}  // namespace

void rgb_to_luma(const frame::Matrix& in, const frame::Matrix& out, const LumaScales& s) {
  // Weights and sums in 64 bits: scales past 0..1 cannot overflow them.
  const std::int64_t a = fixed_16_16(s.a), r = fixed_16_16(s.r), g = fixed_16_16(s.g), b = fixed_16_16(s.b);
  frame::walk_rows<2>(in.dimcount, in.dim, {in.data, out.data}, {in.dimstride, out.dimstride},
                      [&](const std::array<std::byte*, 2>& row, long width) {
                        const auto* x = reinterpret_cast<const std::uint8_t*>(row[0]);
                        auto* y = reinterpret_cast<std::uint8_t*>(row[1]);
                        for (long i = 0; i < width; ++i, x += 4) {
                          const std::int64_t sum = a * x[0] + r * x[1] + g * x[2] + b * x[3];
                          y[i] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(sum >> 16, 0, 255));
                        }
                      });
}

namespace {

// Walks dst's dimensions above the first, with the byte offsets of the cells
// they read in src; the innermost dimension goes through `row`.
template <class Row>
void walk_scaled(const frame::Matrix& dst, const std::vector<std::vector<std::ptrdiff_t>>& src_offset, long level,
                 std::byte* d, std::ptrdiff_t s, Row& row) {
  if (level == 0) {
    row(d, s);
    return;
  }
  for (long i = 0; i < dst.dim[level]; ++i)
    walk_scaled(dst, src_offset, level - 1, d + static_cast<std::ptrdiff_t>(i) * dst.dimstride[level],
                s + src_offset[level][i], row);
}

}  // namespace

void convert_matrix(const frame::Matrix& src, const frame::Matrix& dst) {
  for (long k = 0; k < dst.dimcount; ++k)
    if (dst.dim[k] <= 0) return;
  for (long k = 0; k < src.dimcount; ++k)
    if (src.dim[k] <= 0) return;
  bool same_size = src.dimcount == dst.dimcount;
  for (long k = 0; same_size && k < dst.dimcount; ++k) same_size = src.dim[k] == dst.dim[k];
  const long planes = dst.planecount, shared = std::min(src.planecount, dst.planecount);
  frame::dispatch_type(dst.type, [&](auto dzero) {
    using D = decltype(dzero);
    frame::dispatch_type(src.type, [&](auto szero) {
      using S = decltype(szero);
      // One row of dst; offset_of(i) is where in `in_row` cell i's source lies.
      auto convert_row = [&](std::byte* d, const std::byte* in_row, long width, auto offset_of) {
        D* out = reinterpret_cast<D*>(d);
        for (long i = 0; i < width; ++i, out += planes) {
          const S* in = reinterpret_cast<const S*>(in_row + offset_of(i));
          for (long p = 0; p < shared; ++p) out[p] = convert_cell<D>(in[p]);
          for (long p = shared; p < planes; ++p) out[p] = D(0);
        }
      };
      if (same_size) {
        // Cell for cell: the two matrices walked in lockstep.
        const std::ptrdiff_t cell = src.dimstride[0];
        frame::walk_rows<2>(dst.dimcount, dst.dim, {dst.data, src.data}, {dst.dimstride, src.dimstride},
                            [&](const std::array<std::byte*, 2>& r, long width) {
                              convert_row(r[0], r[1], width, [&](long i) { return i * cell; });
                            });
        return;
      }
      // Byte offsets in 64 bits: long has 32 on Windows.
      std::vector<std::vector<std::ptrdiff_t>> src_offset(static_cast<std::size_t>(dst.dimcount));
      for (long k = 0; k < dst.dimcount; ++k) {
        src_offset[k].resize(static_cast<std::size_t>(dst.dim[k]));
        for (long i = 0; i < dst.dim[k]; ++i)
          src_offset[k][i] =
              k < src.dimcount
                  ? static_cast<std::ptrdiff_t>(static_cast<long long>(i) * src.dim[k] / dst.dim[k]) * src.dimstride[k]
                  : 0;
      }
      const std::vector<std::ptrdiff_t>& xs = src_offset[0];
      auto row = [&](std::byte* d, std::ptrdiff_t s) {
        convert_row(d, src.data + s, dst.dim[0], [&](long i) { return xs[i]; });
      };
      walk_scaled(dst, src_offset, dst.dimcount - 1, dst.data, 0, row);
    });
  });
}

#define ZELK_CELL_TYPES(X) X(std::uint8_t) X(std::int32_t) X(float) X(double)
#define ZELK_INSTANTIATE(T) \
  template T apply_op<T>(Op, T, T); \
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
