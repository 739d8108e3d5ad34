// Atoms and the math functions on doubles.
#include <cmath>
#include <limits>

#include "internal.h"

extern "C" {

t_atom_float jit_atom_getfloat(t_atom* a) {
  if (!a) return 0;
  switch (a->a_type) {
    case A_LONG: return static_cast<t_atom_float>(a->a_w.w_long);
    case A_FLOAT: return a->a_w.w_float;
    default: return 0;
  }
}

t_atom_long jit_atom_getlong(t_atom* a) {
  if (!a) return 0;
  switch (a->a_type) {
    case A_LONG: return a->a_w.w_long;
    case A_FLOAT: {
      // Truncates toward zero; NaN and out-of-range values must not be UB.
      double d = a->a_w.w_float;
      if (std::isnan(d)) return 0;
      constexpr double lo = static_cast<double>(std::numeric_limits<t_atom_long>::min());
      constexpr double hi = -lo;
      if (d <= lo) return std::numeric_limits<t_atom_long>::min();
      if (d >= hi) return std::numeric_limits<t_atom_long>::max();
      return static_cast<t_atom_long>(d);
    }
    default: return 0;
  }
}

t_symbol* jit_atom_getsym(t_atom* a) {
  return (a && a->a_type == A_SYM && a->a_w.w_sym) ? a->a_w.w_sym : _jit_sym_nothing;
}

t_jit_err jit_atom_setfloat(t_atom* a, double b) {
  if (!a) return JIT_ERR_INVALID_PTR;
  a->a_type = A_FLOAT;
  a->a_w.w_float = b;
  return JIT_ERR_NONE;
}

t_jit_err jit_atom_setlong(t_atom* a, t_atom_long b) {
  if (!a) return JIT_ERR_INVALID_PTR;
  a->a_type = A_LONG;
  a->a_w.w_long = b;
  return JIT_ERR_NONE;
}

t_jit_err jit_atom_setsym(t_atom* a, t_symbol* b) {
  if (!a) return JIT_ERR_INVALID_PTR;
  a->a_type = A_SYM;
  a->a_w.w_sym = b ? b : _jit_sym_nothing;
  return JIT_ERR_NONE;
}

double jit_math_pow(double x, double y) { return std::pow(x, y); }
double jit_math_sin(double x) { return std::sin(x); }
double jit_math_cos(double x) { return std::cos(x); }
double jit_math_atan(double x) { return std::atan(x); }
double jit_math_atan2(double y, double x) { return std::atan2(y, x); }
double jit_math_sqrt(double x) { return std::sqrt(x); }
double jit_math_round(double x) { return std::round(x); }  // half away from zero

}  // extern "C"
