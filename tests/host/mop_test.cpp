// The matrix operator's io objects and their set-up calls.
#include <gtest/gtest.h>

#include "jit.common.h"

namespace {

void* io(void* mop, t_symbol* which, long i) {
  return jit_object_method(mop, which, static_cast<t_atom_long>(i));
}

TEST(Mop, IoDefaultsAndOneBasedAccess) {
  void* mop = jit_object_new(_jit_sym_jit_mop, static_cast<t_atom_long>(1), static_cast<t_atom_long>(2));
  ASSERT_NE(mop, nullptr);
  EXPECT_EQ(io(mop, _jit_sym_getinput, 0), nullptr);
  EXPECT_EQ(io(mop, _jit_sym_getoutput, 3), nullptr);
  void* out = io(mop, _jit_sym_getoutput, 2);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_minplanecount), 1);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_maxplanecount), 32);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_mindimcount), 1);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_maxdimcount), 32);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_mindim), 0);  // no size limits
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_maxdim), 0);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_planelink), 1);
  t_atom_long n = 0;
  long count = 0;
  t_atom* types = nullptr;
  jit_object_method(out, gensym("gettypes"), &count, &types);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(types[3].a_w.w_sym, _jit_sym_float64);
  jit_freebytes(types, count * static_cast<long>(sizeof(t_atom)));
  (void)n;
  jit_object_free(mop);
}

TEST(Mop, SingleTypePlanecountAndNolink) {
  void* mop = jit_object_new(_jit_sym_jit_mop, static_cast<t_atom_long>(1), static_cast<t_atom_long>(1));
  jit_mop_single_type(mop, _jit_sym_char);
  jit_mop_single_planecount(mop, 4);
  EXPECT_EQ(jit_mop_output_nolink(mop, 1), JIT_ERR_NONE);
  EXPECT_NE(jit_mop_output_nolink(mop, 2), JIT_ERR_NONE);
  for (void* o : {io(mop, _jit_sym_getinput, 1), io(mop, _jit_sym_getoutput, 1)}) {
    EXPECT_EQ(jit_attr_getsym(o, _jit_sym_types), _jit_sym_char);
    EXPECT_EQ(jit_attr_getlong(o, _jit_sym_minplanecount), 4);
    EXPECT_EQ(jit_attr_getlong(o, _jit_sym_maxplanecount), 4);
  }
  void* out = io(mop, _jit_sym_getoutput, 1);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_typelink), 0);
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_dimlink), 0);
  EXPECT_EQ(jit_attr_getlong(io(mop, _jit_sym_getinput, 1), _jit_sym_dimlink), 1);
  jit_attr_setlong(out, _jit_sym_maxplanecount, 99);  // clipped to what a matrix can hold
  EXPECT_EQ(jit_attr_getlong(out, _jit_sym_maxplanecount), 32);
  EXPECT_EQ(jit_mop_single_type(nullptr, _jit_sym_char), JIT_ERR_INVALID_PTR);
  jit_object_free(mop);
}

}  // namespace
