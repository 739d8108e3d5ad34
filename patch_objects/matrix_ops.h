// The arithmetic of the Jitter objects that surround zelk objects in a patch
// (jit.op, jit.rgb2luma, jit.matrix), over frame matrix views. Char cells
// are Jitter's fixed point: 255 stands for 1, so a true comparison is 255,
// char multiplication is a*b/255 and a float becomes a char as v*255.
#pragma once

#include <string_view>
#include <vector>

#include "frame/matrix.h"

namespace zelk::objects {

enum class Op {
  Pass, Add, Sub, AddMod, SubMod, Mul, Div, Mod, Min, Max, Abs, Avg, AbsDiff,
  Gt, Lt, Ge, Le, Eq, Ne, GtPass, LtPass, GePass, LePass, EqPass, NePass,
  And, Or, Xor, Not, BitAnd, BitOr, BitXor, BitNot, ShiftLeft, ShiftRight,
  Count
};

// "+" -> Op::Add; false for a name jit.op does not know.
bool parse_op(std::string_view name, Op* op);
// Every operator name, in the order of Op.
const std::vector<std::string_view>& op_names();

// A value typed in a patch: @val 100 is an int, @val 0.5 a float. Into a char
// matrix an int goes as it is (clamped to 0..255), a float as v*255.
struct Scalar {
  double value = 0;
  bool is_float = false;
};

// One cell of `a op b`, for testing the definitions one value at a time.
template <class T>
T apply_op(Op op, T a, T b);
template <class T>
T scalar_as(const Scalar& s);

// out = a op b, plane p with ops[min(p, last)]; b is a matrix of a's type,
// plane count and size, or null to use scalars[min(p, last)] (0 when empty).
// out has a's type, plane count and size.
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

// dst from src: cell types converted, planes beyond src's set to 0, and
// sizes scaled by nearest cell (dst index i reads src index i*srcdim/dstdim;
// dimensions src lacks read index 0). Allocates only when sizes differ.
void convert_matrix(const frame::Matrix& src, const frame::Matrix& dst);

}  // namespace zelk::objects
