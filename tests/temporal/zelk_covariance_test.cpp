// zelk.covariance as a box and through matrix_calc.
#include <gtest/gtest.h>

#include "temporal_support.h"

namespace {

using zt::cell;
using zt::make_box;
using zt::make_matrix;

zt::HostMatrix vector_of(t_symbol* type, const std::vector<double>& v) {
  auto m = make_matrix(type, 1, {static_cast<long>(v.size())});
  for (size_t i = 0; i < v.size(); ++i) {
    if (type == _jit_sym_float32)
      cell<float>(m.get(), static_cast<long>(i)) = static_cast<float>(v[i]);
    else
      cell<double>(m.get(), static_cast<long>(i)) = v[i];
  }
  return m;
}

// Rows of a two-dimensional float64 output.
std::vector<std::vector<double>> rows_of(void* m) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  EXPECT_EQ(info.dimcount, 2);
  EXPECT_EQ(info.type, _jit_sym_float64);
  std::vector<std::vector<double>> rows(static_cast<size_t>(info.dim[1]));
  for (long y = 0; y < info.dim[1]; ++y)
    for (long x = 0; x < info.dim[0]; ++x) rows[static_cast<size_t>(y)].push_back(cell<double>(m, x, y));
  return rows;
}

using Rows = std::vector<std::vector<double>>;

TEST(ZelkCovarianceBox, FourObservationsResetAndNewLength) {
  auto box = make_box("zelk.covariance");
  ASSERT_TRUE(box);
  const std::vector<Rows> want = {{{0, 0}, {0, 0}}, {{1, 2}, {2, 4}}, {{2.25, 4.5}, {4.5, 9}}, {{0.25, 0.5}, {0.5, 1}}};
  const std::vector<std::vector<double>> obs = {{0, 0}, {2, 4}, {4, 8}, {0, 0}};
  for (size_t k = 0; k < obs.size(); ++k) {
    auto x = vector_of(_jit_sym_float64, obs[k]);
    box->send_matrix(x.get());
    EXPECT_EQ(rows_of(zt::sent_matrices(*box).back()), want[k]) << "observation " << k + 1;
  }
  ASSERT_TRUE(box->send_text("reset"));
  auto x = vector_of(_jit_sym_float64, {5, 6});
  box->send_matrix(x.get());
  EXPECT_EQ(rows_of(zt::sent_matrices(*box).back()), (Rows{{0, 0}, {0, 0}}));
  box->send_matrix(vector_of(_jit_sym_float64, {7, 6}).get());
  EXPECT_EQ(rows_of(zt::sent_matrices(*box).back()), (Rows{{1, 0}, {0, 0}}));
  // Another length restarts with zeros of the new size.
  box->send_matrix(vector_of(_jit_sym_float64, {1, 2, 3}).get());
  EXPECT_EQ(rows_of(zt::sent_matrices(*box).back()), (Rows{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
  box->send_matrix(vector_of(_jit_sym_float64, {3}).get());
  box->send_matrix(vector_of(_jit_sym_float64, {5}).get());
  box->send_matrix(vector_of(_jit_sym_float64, {10}).get());
  EXPECT_EQ(rows_of(zt::sent_matrices(*box).back()), (Rows{{2.5 * 2.5}}));  // d = 0.5 + 4 / 2
  EXPECT_TRUE(zt::error_codes(*box).empty());
}

TEST(ZelkCovarianceBox, CharInputIsConvertedAndTheSteadyStateAllocatesNothing) {
  auto box = make_box("zelk.covariance");
  ASSERT_TRUE(box);
  auto x = make_matrix(_jit_sym_char, 1, {6});
  box->send_matrix(x.get());
  ASSERT_EQ(zt::sent_matrices(*box).size(), 1u);
  const auto before = zelk::host::memory().allocations;
  for (int i = 0; i < 4; ++i) box->send_matrix(x.get());
  EXPECT_EQ(zelk::host::memory().allocations, before);
  EXPECT_EQ(rows_of(zt::sent_matrices(*box).back()).size(), 6u);
}

TEST(ZelkCovarianceBox, InstancesKeepTheirOwnStatistics) {
  // Each instance registers its matrices under names of its own.
  auto a = make_box("zelk.covariance"), b = make_box("zelk.covariance");
  ASSERT_TRUE(a && b);
  a->send_matrix(vector_of(_jit_sym_float64, {1}).get());
  a->send_matrix(vector_of(_jit_sym_float64, {3}).get());
  b->send_matrix(vector_of(_jit_sym_float64, {1}).get());
  EXPECT_EQ(rows_of(zt::sent_matrices(*a).back()), (Rows{{1}}));
  EXPECT_EQ(rows_of(zt::sent_matrices(*b).back()), (Rows{{0}}));
  a.reset();
  b->send_matrix(vector_of(_jit_sym_float64, {5}).get());
  EXPECT_EQ(rows_of(zt::sent_matrices(*b).back()), (Rows{{4}}));
}

TEST(ZelkCovarianceCalc, ChecksInOrder) {
  auto o = zt::make_jit_object("zelk.covariance");
  ASSERT_TRUE(o);
  auto x = vector_of(_jit_sym_float32, {1, 2, 3});
  auto out = make_matrix(_jit_sym_float64, 1, {4, 4});
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {}, {out.get()}), JIT_ERR_INVALID_PTR);
  auto chars = make_matrix(_jit_sym_char, 2, {3, 3});
  EXPECT_EQ(tt::calc(o, chars.get(), out.get()), JIT_ERR_MISMATCH_TYPE);
  auto two_planes = make_matrix(_jit_sym_float32, 2, {3, 3});
  EXPECT_EQ(tt::calc(o, two_planes.get(), out.get()), JIT_ERR_MISMATCH_PLANE);
  auto out_planes = make_matrix(_jit_sym_float64, 3, {4, 4});
  EXPECT_EQ(tt::calc(o, x.get(), out_planes.get()), JIT_ERR_MISMATCH_PLANE);
  auto flat = make_matrix(_jit_sym_float32, 1, {3, 3});
  EXPECT_EQ(tt::calc(o, flat.get(), out.get()), JIT_ERR_MISMATCH_DIM);
  EXPECT_EQ(zelk::host::matrix_info(out.get()).dim[0], 4);  // not resized
  // Data checks come after the output has been resized.
  void* no_data = zelk::host::new_matrix_without_data(_jit_sym_float32, 1, {3});
  EXPECT_EQ(tt::calc(o, no_data, out.get()), JIT_ERR_INVALID_INPUT);
  EXPECT_EQ(zelk::host::matrix_info(out.get()).dim[1], 3);
  jit_object_free(no_data);
  void* no_out = zelk::host::new_matrix_without_data(_jit_sym_float32, 1, {3, 3});
  EXPECT_EQ(tt::calc(o, x.get(), no_out), JIT_ERR_INVALID_OUTPUT);
  jit_object_free(no_out);
}

TEST(ZelkCovarianceCalc, Float32IsComputedInItsOwnType) {
  auto o = zt::make_jit_object("zelk.covariance");
  ASSERT_TRUE(o);
  auto out = make_matrix(_jit_sym_float64, 1, {1, 1});
  for (const std::vector<double>& v : std::vector<std::vector<double>>{{0, 0}, {2, 4}, {4, 8}}) {
    auto x = vector_of(_jit_sym_float32, v);
    ASSERT_EQ(tt::calc(o, x.get(), out.get()), JIT_ERR_NONE);
  }
  const t_jit_matrix_info info = zelk::host::matrix_info(out.get());
  EXPECT_EQ(info.type, _jit_sym_float32);
  EXPECT_EQ(info.dim[0], 2);
  EXPECT_EQ(cell<float>(out.get(), 1, 1), 9.0f);
  // float64 after float32 of the same length: a restart by type.
  auto x = vector_of(_jit_sym_float64, {4, 8});
  ASSERT_EQ(tt::calc(o, x.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(zelk::host::matrix_info(out.get()).type, _jit_sym_float64);
  EXPECT_EQ(cell<double>(out.get(), 1, 1), 0.0);
}

TEST(ZelkCovarianceCalc, LocksAreRestoredAndEmptyVectorsWork) {
  auto o = zt::make_jit_object("zelk.covariance");
  ASSERT_TRUE(o);
  auto x = vector_of(_jit_sym_float64, {});
  auto out = make_matrix(_jit_sym_float64, 1, {2, 2});
  jit_object_method(x.get(), _jit_sym_lock, static_cast<t_atom_long>(1));
  auto zero = make_matrix(_jit_sym_float64, 1, {0});  // a length of 0 is 1 in Jitter
  EXPECT_EQ(tt::calc(o, zero.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(zelk::host::matrix_info(out.get()).dim[0], 1);
  EXPECT_EQ(tt::calc(o, x.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(tt::lock_state(x.get()), 1);
  EXPECT_EQ(tt::lock_state(out.get()), 0);
}

}  // namespace
