// Host matrices: layout, clamping, reallocation, locks, conversion, names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "jit.common.h"
#include "probe.h"
#include "zelk/host.h"

namespace {

using probe::Owned;

using zelk::host::matrix_data;
using zelk::host::matrix_info;
using zelk::host::new_matrix;

Owned make(t_symbol* type, long planes, std::vector<long> dims) {
  return Owned(new_matrix(type, planes, dims));
}

TEST(MatrixLayout, RowsArePaddedTo16BytesAndDataIsAligned) {
  auto m = make(_jit_sym_char, 3, {5, 4});
  t_jit_matrix_info i = matrix_info(m.get());
  EXPECT_EQ(i.dimstride[0], 3);
  EXPECT_EQ(i.dimstride[1], 16);  // 15 bytes of cells, padded
  EXPECT_EQ(i.size, 64);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(matrix_data(m.get())) % 16, 0u);

  auto f = make(_jit_sym_float64, 2, {3, 2, 5});
  i = matrix_info(f.get());
  EXPECT_EQ(i.dimstride[0], 16);
  EXPECT_EQ(i.dimstride[1], 48);
  EXPECT_EQ(i.dimstride[2], 96);
  EXPECT_EQ(i.size, 480);
}

TEST(MatrixLayout, OneDimensionalMatrixHasARowStride) {
  auto m = make(_jit_sym_long, 1, {3});
  t_jit_matrix_info i = matrix_info(m.get());
  EXPECT_EQ(i.dimcount, 1);
  EXPECT_EQ(i.dimstride[0], 4);
  EXPECT_EQ(i.dimstride[1], 16);
  EXPECT_EQ(i.size, 16);
}

TEST(MatrixLayout, SizesBelowOneBecomeOne) {
  // As in Jitter: no matrix has a dimension without cells.
  auto m = make(_jit_sym_float32, 1, {0, 7});
  t_jit_matrix_info i = matrix_info(m.get());
  EXPECT_EQ(i.dim[0], 1);
  EXPECT_EQ(i.size, 16 * 7);
  t_jit_matrix_info want = i;
  want.dim[1] = -4;
  ASSERT_EQ(reinterpret_cast<t_jit_err>(jit_object_method(m.get(), _jit_sym_setinfo, &want)), JIT_ERR_NONE);
  EXPECT_EQ(matrix_info(m.get()).dim[1], 1);
}

TEST(MatrixLayout, CountsAndDimsAreClamped) {
  t_jit_matrix_info in;
  jit_matrix_info_default(&in);
  in.planecount = 40;
  in.dimcount = 2;
  in.dim[0] = -3;
  in.dim[1] = 2;
  Owned m(jit_object_new(_jit_sym_jit_matrix, &in));
  ASSERT_TRUE(m);
  t_jit_matrix_info i = matrix_info(m.get());
  EXPECT_EQ(i.planecount, 32);
  EXPECT_EQ(i.dim[0], 1);
  in.planecount = 0;
  in.dimcount = 0;
  Owned n(jit_object_new(_jit_sym_jit_matrix, &in));
  EXPECT_EQ(matrix_info(n.get()).planecount, 1);
  EXPECT_EQ(matrix_info(n.get()).dimcount, 1);
}

TEST(MatrixLayout, AbsurdSizeIsRefusedNotAllocated) {
  t_jit_matrix_info in;
  jit_matrix_info_default(&in);
  in.dimcount = 3;
  in.dim[0] = in.dim[1] = in.dim[2] = 1L << 30;
  EXPECT_EQ(jit_object_new(_jit_sym_jit_matrix, &in), nullptr);
  auto m = make(_jit_sym_char, 1, {4, 4});
  EXPECT_EQ(reinterpret_cast<t_jit_err>(jit_object_method(m.get(), _jit_sym_setinfo, &in)),
            JIT_ERR_OUT_OF_MEM);
  EXPECT_EQ(matrix_info(m.get()).dim[0], 4);
}

TEST(MatrixLayout, BlocksBeyondTheHostsLimitFailAsOutOfMemory) {
  const long long limit = zelk::host::max_block_bytes();
  auto m = make(_jit_sym_char, 1, {4, 4});
  matrix_data(m.get())[0] = 7;
  zelk::host::set_max_block_bytes(1 << 20);
  t_jit_matrix_info in = matrix_info(m.get());
  in.dim[0] = in.dim[1] = 2048;  // 4 MiB
  EXPECT_EQ(reinterpret_cast<t_jit_err>(jit_object_method(m.get(), _jit_sym_setinfo, &in)),
            JIT_ERR_OUT_OF_MEM);
  EXPECT_EQ(jit_getbytes(2 << 20), nullptr);
  zelk::host::set_max_block_bytes(-1);  // anything out of range restores the ceiling
  const long long ceiling = zelk::host::max_block_bytes();
  zelk::host::set_max_block_bytes(limit);
  EXPECT_EQ(ceiling, 1LL << 34);
  // The refused shape left the matrix as it was, data included.
  EXPECT_EQ(matrix_info(m.get()).dim[0], 4);
  EXPECT_EQ(matrix_data(m.get())[0], 7);
  EXPECT_EQ(reinterpret_cast<t_jit_err>(jit_object_method(m.get(), _jit_sym_setinfo, &in)),
            JIT_ERR_NONE);
}

TEST(MatrixLayout, StridedMatrixHonoursItsRowStride) {
  Owned m(zelk::host::new_matrix_strided(_jit_sym_char, 1, {5, 3}, 7));
  t_jit_matrix_info i = matrix_info(m.get());
  EXPECT_EQ(i.dimstride[1], 7);
  EXPECT_EQ(i.size, 21);
  Owned narrow(zelk::host::new_matrix_strided(_jit_sym_char, 2, {5, 3}, 4));
  EXPECT_EQ(matrix_info(narrow.get()).dimstride[1], 10);  // never below the packed row
}

TEST(MatrixLayout, WithoutDataYieldsNull) {
  Owned m(zelk::host::new_matrix_without_data(_jit_sym_char, 1, {4, 4}));
  char* data = reinterpret_cast<char*>(1);
  jit_object_method(m.get(), _jit_sym_getdata, &data);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(matrix_info(m.get()).dim[0], 4);
}

TEST(MatrixSetinfo, UnknownTypeIsRefusedAndLeavesMatrix) {
  auto m = make(_jit_sym_char, 1, {4, 4});
  t_jit_matrix_info i = matrix_info(m.get());
  i.type = gensym("int16");
  i.dim[0] = 9;
  EXPECT_EQ(reinterpret_cast<t_jit_err>(jit_object_method(m.get(), _jit_sym_setinfo, &i)),
            JIT_ERR_MISMATCH_TYPE);
  EXPECT_EQ(matrix_info(m.get()).type, _jit_sym_char);
  EXPECT_EQ(matrix_info(m.get()).dim[0], 4);
}

TEST(MatrixSetinfo, ReallocatesOnlyWhenTheShapeChanges) {
  auto m = make(_jit_sym_char, 1, {8, 8});
  matrix_data(m.get())[0] = 42;
  char* before = matrix_data(m.get());
  auto alloc0 = zelk::host::memory().allocations;
  t_jit_matrix_info i = matrix_info(m.get());
  i.dimstride[1] = 999;  // strides are the host's, not the caller's
  i.size = 1;
  for (int k = 0; k < 100; ++k) jit_object_method(m.get(), _jit_sym_setinfo, &i);
  EXPECT_EQ(zelk::host::memory().allocations, alloc0);
  EXPECT_EQ(matrix_data(m.get()), before);
  EXPECT_EQ(matrix_data(m.get())[0], 42);
  EXPECT_EQ(matrix_info(m.get()).dimstride[1], 16);

  i.dim[1] = 9;
  jit_object_method(m.get(), _jit_sym_setinfo, &i);
  EXPECT_EQ(zelk::host::memory().allocations, alloc0 + 1);
  EXPECT_EQ(matrix_data(m.get())[0], 0);  // new data is zeroed
}

TEST(MatrixSetinfo, ReferenceMatrixDropsBorrowedDataOnReshape) {
  t_jit_matrix_info i;
  jit_matrix_info_default(&i);
  i.flags = JIT_MATRIX_DATA_REFERENCE;
  i.planecount = 1;
  i.dim[0] = i.dim[1] = 2;
  Owned m(jit_object_new(_jit_sym_jit_matrix, &i));
  alignas(16) char buf[64] = {};
  EXPECT_EQ(reinterpret_cast<t_jit_err>(jit_object_method(m.get(), _jit_sym_data, buf)), 0);
  EXPECT_EQ(matrix_data(m.get()), buf);
  i.dim[0] = 100;
  jit_object_method(m.get(), _jit_sym_setinfo, &i);
  EXPECT_EQ(matrix_data(m.get()), nullptr);
  auto own = make(_jit_sym_char, 1, {2});
  EXPECT_NE(reinterpret_cast<t_jit_err>(jit_object_method(own.get(), _jit_sym_data, buf)), 0);
  EXPECT_NE(matrix_data(own.get()), buf);
}

TEST(MatrixLock, ReturnsPreviousStateAndQueries) {
  auto m = make(_jit_sym_char, 1, {2, 2});
  auto lock = [&](t_atom_long v) {
    return reinterpret_cast<t_atom_long>(jit_object_method(m.get(), _jit_sym_lock, v));
  };
  EXPECT_EQ(lock(-1), 0);
  EXPECT_EQ(lock(1), 0);
  EXPECT_EQ(lock(1), 1);
  EXPECT_EQ(lock(-1), 1);
  EXPECT_EQ(lock(0), 1);
  EXPECT_EQ(lock(-1), 0);
}

TEST(MatrixConvert, FrommatrixConvertsTheJitterWay) {
  auto f = make(_jit_sym_float32, 2, {4});
  auto* fd = reinterpret_cast<float*>(matrix_data(f.get()));
  const float vals[] = {0.5f, -0.25f, 2.0f, NAN, 1.0f, 3e10f, -7.9f, 0.0f};
  std::memcpy(fd, vals, sizeof vals);

  auto c = make(_jit_sym_char, 3, {4});
  jit_object_method(c.get(), _jit_sym_frommatrix, f.get());
  auto* cd = reinterpret_cast<unsigned char*>(matrix_data(c.get()));
  EXPECT_EQ(cd[0], 127);  // 0.5 * 255 truncated
  EXPECT_EQ(cd[1], 0);    // clamped
  EXPECT_EQ(cd[2], 0);    // plane beyond the source's
  EXPECT_EQ(cd[3], 255);
  EXPECT_EQ(cd[4], 0);    // NaN
  EXPECT_EQ(cd[6], 255);

  auto l = make(_jit_sym_long, 2, {4});
  jit_object_method(l.get(), _jit_sym_frommatrix, f.get());
  auto* ld = reinterpret_cast<int32_t*>(matrix_data(l.get()));
  EXPECT_EQ(ld[0], 0);
  EXPECT_EQ(ld[2], 2);
  EXPECT_EQ(ld[3], 0);  // NaN
  EXPECT_EQ(ld[5], INT32_MAX);
  EXPECT_EQ(ld[6], -7);

  auto back = make(_jit_sym_float64, 1, {4});
  cd[0] = 51;
  jit_object_method(back.get(), _jit_sym_frommatrix, c.get());
  EXPECT_DOUBLE_EQ(reinterpret_cast<double*>(matrix_data(back.get()))[0], 0.2);

  auto l2c = make(_jit_sym_char, 1, {1});
  ld[0] = 300;
  jit_object_method(l2c.get(), _jit_sym_frommatrix, l.get());
  EXPECT_EQ(static_cast<unsigned char>(matrix_data(l2c.get())[0]), 300 & 0xFF);
}

TEST(MatrixConvert, CopiesOnlyTheOverlapOfPaddedRows) {
  Owned src(zelk::host::new_matrix_strided(_jit_sym_char, 1, {3, 2}, 5));
  char* s = matrix_data(src.get());
  for (int i = 0; i < 10; ++i) s[i] = static_cast<char>(i + 1);
  auto dst = make(_jit_sym_char, 1, {2, 3});
  jit_object_method(dst.get(), _jit_sym_frommatrix, src.get());
  char* d = matrix_data(dst.get());
  EXPECT_EQ(d[0], 1);
  EXPECT_EQ(d[1], 2);
  EXPECT_EQ(d[16], 6);
  EXPECT_EQ(d[17], 7);
  EXPECT_EQ(d[32], 0);  // row 2 has no source row
  EXPECT_EQ(d[2], 0);   // padding untouched
}

TEST(MatrixNames, RegisterFindAndFreeUnregisters) {
  void* m = new_matrix(_jit_sym_char, 1, {1});
  t_symbol* name = jit_symbol_unique();
  EXPECT_EQ(jit_object_method(m, _jit_sym_register, name), m);
  EXPECT_EQ(jit_object_findregistered(name), m);
  EXPECT_EQ(jit_object_method(m, _jit_sym_getname), name);
  void* other = new_matrix(_jit_sym_char, 1, {1});
  EXPECT_EQ(jit_object_method(other, _jit_sym_register, name), nullptr);  // taken
  int client = 0;
  EXPECT_EQ(jit_object_attach(name, &client), m);
  EXPECT_EQ(jit_object_detach(name, &client), JIT_ERR_NONE);
  EXPECT_NE(jit_object_detach(name, &client), JIT_ERR_NONE);
  jit_object_free(m);
  EXPECT_EQ(jit_object_findregistered(name), nullptr);
  jit_object_free(other);
}

TEST(MatrixList, AnswersGetindexAndGetsize) {
  auto a = make(_jit_sym_char, 1, {1});
  auto b = make(_jit_sym_char, 1, {1});
  Owned list(zelk::host::new_matrix_list({a.get(), b.get()}));
  EXPECT_EQ(jit_object_method(list.get(), _jit_sym_getindex, static_cast<t_atom_long>(1)), b.get());
  EXPECT_EQ(jit_object_method(list.get(), _jit_sym_getindex, static_cast<t_atom_long>(2)), nullptr);
  EXPECT_EQ(jit_object_method(list.get(), _jit_sym_getindex, static_cast<t_atom_long>(-1)), nullptr);
  EXPECT_EQ(reinterpret_cast<t_atom_long>(jit_object_method(list.get(), _jit_sym_getsize)), 2);
  // A matrix is not a list.
  EXPECT_EQ(jit_object_method(a.get(), _jit_sym_getindex, static_cast<t_atom_long>(0)), nullptr);
}

TEST(Memory, CountsBytesAndAllocations) {
  auto before = zelk::host::memory();
  void* p = jit_getbytes(100);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(zelk::host::memory().live_bytes, before.live_bytes + 100);
  EXPECT_EQ(zelk::host::memory().allocations, before.allocations + 1);
  jit_freebytes(p, 1);  // the block knows its size
  EXPECT_EQ(zelk::host::memory().live_bytes, before.live_bytes);
  EXPECT_EQ(jit_getbytes(-1), nullptr);
  void* m = new_matrix(_jit_sym_float32, 1, {10, 10});
  EXPECT_GE(zelk::host::memory().live_bytes, before.live_bytes + 400);
  jit_object_free(m);
  EXPECT_EQ(zelk::host::memory().live_bytes, before.live_bytes);
}

TEST(Objects, UnknownSelectorsAndForeignPointersAreHarmless) {
  auto m = make(_jit_sym_char, 1, {1});
  EXPECT_EQ(jit_object_method(m.get(), gensym("nonsense")), nullptr);
  EXPECT_EQ(jit_object_method(nullptr, _jit_sym_lock, 1L), nullptr);
  long not_an_object[8] = {};
  EXPECT_EQ(jit_object_method(not_an_object, _jit_sym_lock, 1L), nullptr);
  EXPECT_EQ(jit_object_free(nullptr), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(jit_object_new(gensym("no_such_class")), nullptr);
  EXPECT_EQ(jit_object_classname(m.get()), _jit_sym_jit_matrix);
}

}  // namespace
