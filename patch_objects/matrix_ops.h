// The arithmetic of the Jitter objects that surround zelk objects in a patch
// (jit.op, jit.rgb2luma, jit.matrix), over frame matrix views. jit.op's
// char cells are 8-bit fixed point (256 stands for 1): a*b is a*b/256, a
// true comparison is 255; matrix conversion maps char 255 to float 1.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/matrix.h"

namespace zelk::objects {

enum class Op {
  // arithmetic
  Pass, Mul, Div, Add, Sub, AddMod, SubMod, Mod, Min, Max, Abs, Avg, AbsDiff, Fold, Wrap,
  FlipPass, FlipDiv, FlipSub, FlipMod, Ignore,
  // bitwise: char and long
  BitAnd, BitOr, BitXor, BitNot, ShiftRight, ShiftLeft,
  // logical
  And, Or, Not, Gt, Lt, Ge, Le, Eq, Ne, GtPass, LtPass, GePass, LePass, EqPass, NePass,
  // float32 and float64
  Sin, Cos, Tan, Asin, Acos, Atan, Atan2, Sinh, Cosh, Tanh, Asinh, Acosh, Atanh,
  Exp, Exp2, Ln, Log2, Log10, Hypot, Pow, Sqrt, Ceil, Floor, Round, Trunc,
  Count
};

// The operators' symbols in the order of Op, as jit.op's reference lists them.
inline constexpr std::string_view kOpSymbols[] = {
    "pass", "*", "/", "+", "-", "+m", "-m", "%", "min", "max", "abs", "avg", "absdiff", "fold", "wrap",
    "!pass", "!/", "!-", "!%", "ignore",
    "&", "|", "^", "~", ">>", "<<",
    "&&", "||", "!", ">", "<", ">=", "<=", "==", "!=", ">p", "<p", ">=p", "<=p", "==p", "!=p",
    "sin", "cos", "tan", "asin", "acos", "atan", "atan2", "sinh", "cosh", "tanh", "asinh", "acosh", "atanh",
    "exp", "exp2", "ln", "log2", "log10", "hypot", "pow", "sqrt", "ceil", "floor", "round", "trunc"};
static_assert(std::size(kOpSymbols) == static_cast<std::size_t>(Op::Count));

// Words for them: the reference's (mult ... subm) and the names of Jitter's
// vector operator functions (gte, flipdiv, bitand ...), which jit.gte and
// the like name.
inline constexpr std::pair<std::string_view, Op> kOpAliases[] = {
    {"mult", Op::Mul},        {"div", Op::Div},         {"add", Op::Add},         {"sub", Op::Sub},
    {"addm", Op::AddMod},     {"subm", Op::SubMod},     {"mod", Op::Mod},         {"log", Op::Ln},
    {"flippass", Op::FlipPass}, {"flipdiv", Op::FlipDiv}, {"flipsub", Op::FlipSub}, {"flipmod", Op::FlipMod},
    {"bitand", Op::BitAnd},   {"bitor", Op::BitOr},     {"bitxor", Op::BitXor},   {"bitnot", Op::BitNot},
    {"rshift", Op::ShiftRight}, {"lshift", Op::ShiftLeft}, {"and", Op::And},       {"or", Op::Or},
    {"not", Op::Not},         {"gt", Op::Gt},           {"lt", Op::Lt},           {"gte", Op::Ge},
    {"lte", Op::Le},          {"eq", Op::Eq},           {"neq", Op::Ne},          {"gtp", Op::GtPass},
    {"ltp", Op::LtPass},      {"gtep", Op::GePass},     {"ltep", Op::LePass},     {"eqp", Op::EqPass},
    {"neqp", Op::NePass}};

inline constexpr std::size_t kOpNameCount = std::size(kOpSymbols) + std::size(kOpAliases);

// "+", or an alias such as "add" or "gte" -> Op::Add, Op::Ge; false for a
// name jit.op does not know.
bool parse_op(std::string_view name, Op* op);
// Every name jit.op knows: kOpSymbols, then the aliases.
const std::vector<std::string_view>& op_names();

// A value typed in a patch: @val 100 is an int, @val 0.5 a float. Into a
// char cell an int goes as it is (clamped to 0..255), a float as fixed
// point, 256 standing for 1 (0.5 is 128; 1 and above are 255).
struct Scalar {
  double value = 0;
  bool is_float = false;
};

// One cell of `a op b`, for testing the definitions one value at a time.
// `previous` is what the output cell held (the ignore operator keeps it).
template <class T>
T apply_op(Op op, T a, T b, T previous = T(0));
template <class T>
T scalar_as(const Scalar& s);

// out = a op b. Plane p takes ops[p % count] and, without b, the operand
// scalars[p % count] (0 when there is none); b is a matrix of a's type,
// plane count and size. out has a's type and plane count and at least its
// size. An operator with no definition for the cell type (bitwise on
// float, the float-only ones on char and long) passes a through.
void apply_ops(const frame::Matrix& a, const frame::Matrix* b, const std::vector<Scalar>& scalars,
               const std::vector<Op>& ops, const frame::Matrix& out);

// One plane of char luminance from char ARGB in Jitter's 16.16 fixed point:
// each scale times 65536 truncated (saturated into 32 bits, NaN as 0), the
// weighted sum shifted right by 16 (rounding down) and clamped to 0..255.
// `in` is 4 planes of char, `out` 1 plane of char of the same size.
struct LumaScales {
  double a = 0, r = 0.299, g = 0.587, b = 0.114;
};
void rgb_to_luma(const frame::Matrix& in, const frame::Matrix& out, const LumaScales& s);

// One cell from type S to type D as Jitter converts: char <-> float by /255
// and *255 (clamped, truncated), char <-> long as values (clamped into
// char), float -> long truncated and saturated; NaN becomes 0.
template <class D, class S>
D convert_cell(S v);

// How jit.matrix copies one matrix into another. Destination plane p reads
// source plane planemap[p] (p itself when the map is shorter; 0 where that
// plane does not exist). Along each dimension the source range is spread
// over the destination range, both inclusive and clipped to the matrices,
// by nearest cell (destination i of n reads source start + i*m/n of m) or,
// with `interp`, linearly between the two source cells around position
// start + i*m/n in the first two dimensions. Dimensions the source lacks
// read its cell 0. Destination cells outside the range are left as they are.
struct CopySpec {
  std::vector<long> planemap;
  bool interp = false;
  std::vector<long> src_start, src_end, dst_start, dst_end;  // empty: the whole matrix
};
void copy_matrix(const frame::Matrix& src, const frame::Matrix& dst, const CopySpec& spec);
// The whole of src into the whole of dst, by nearest cell.
void convert_matrix(const frame::Matrix& src, const frame::Matrix& dst);

}  // namespace zelk::objects
