// Symbols, atoms and math.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "jit.common.h"

namespace {

TEST(Symbols, InternedOncePerText) {
  EXPECT_EQ(gensym("abc"), gensym(std::string("abc").c_str()));
  EXPECT_NE(gensym("abc"), gensym("abd"));
  EXPECT_STREQ(gensym("abc")->s_name, "abc");
  EXPECT_EQ(gensym(""), _jit_sym_nothing);
  EXPECT_EQ(gensym(nullptr), _jit_sym_nothing);
}

TEST(Symbols, ReadyMadeSymbolsHaveTheirNames) {
  EXPECT_STREQ(_jit_sym_char->s_name, "char");
  EXPECT_STREQ(_jit_sym_jit_matrix->s_name, "jit_matrix");
  EXPECT_STREQ(_jit_sym_jit_attr_offset_array->s_name, "jit_attr_offset_array");
  EXPECT_STREQ(_jit_sym_getoutputlist->s_name, "getoutputlist");
  EXPECT_EQ(_jit_sym_float32, gensym("float32"));
}

TEST(Symbols, ConcurrentInterningAgrees) {
  std::vector<t_symbol*> seen[4];
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) seen[t].push_back(gensym(("conc" + std::to_string(i)).c_str()));
    });
  for (auto& th : threads) th.join();
  for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
}

TEST(Symbols, UniqueNamesAreFreshEvenIfTypedBefore) {
  t_symbol* a = jit_symbol_unique();
  EXPECT_EQ(a->s_name[0], 'u');
  // Whatever the next counter value is, a name that exists is skipped.
  long n = std::strtol(a->s_name + 1, nullptr, 10);
  char next[32];
  std::snprintf(next, sizeof next, "u%ld", n + 1);
  t_symbol* typed = gensym(next);
  t_symbol* b = jit_symbol_unique();
  EXPECT_NE(b, a);
  EXPECT_NE(b, typed);
}

TEST(Atoms, ConvertBetweenKinds) {
  t_atom a;
  jit_atom_setfloat(&a, -2.7);
  EXPECT_EQ(jit_atom_getlong(&a), -2);
  jit_atom_setfloat(&a, NAN);
  EXPECT_EQ(jit_atom_getlong(&a), 0);
  jit_atom_setfloat(&a, 1e300);
  EXPECT_GT(jit_atom_getlong(&a), 0);
  jit_atom_setlong(&a, 5);
  EXPECT_EQ(jit_atom_getfloat(&a), 5.0);
  EXPECT_EQ(jit_atom_getsym(&a), _jit_sym_nothing);
  jit_atom_setsym(&a, gensym("s"));
  EXPECT_EQ(jit_atom_getlong(&a), 0);
  EXPECT_EQ(jit_atom_getsym(&a), gensym("s"));
  EXPECT_EQ(jit_atom_getlong(nullptr), 0);
  EXPECT_EQ(jit_atom_setlong(nullptr, 1), JIT_ERR_INVALID_PTR);
}

TEST(Math, RoundsHalfAwayFromZero) {
  EXPECT_EQ(jit_math_round(2.5), 3.0);
  EXPECT_EQ(jit_math_round(-2.5), -3.0);
  EXPECT_EQ(jit_math_round(-0.4), -0.0);
  EXPECT_DOUBLE_EQ(jit_math_atan2(1, -1), 3 * std::atan(1.0));
  EXPECT_DOUBLE_EQ(jit_math_pow(2, 10), 1024);
}

}  // namespace
