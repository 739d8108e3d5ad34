// zelk.ravg as a box and through matrix_calc: alpha, the integer state, the
// size check, and the same bytes on any number of worker threads.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "temporal_support.h"

namespace {

using zt::cell;
using zt::make_box;
using zt::make_matrix;

TEST(ZelkRavgBox, ConstantCharRisesTwelveTwentyFourThirtySix) {
  auto box = make_box("zelk.ravg");
  ASSERT_TRUE(box);
  auto in = make_matrix(_jit_sym_char, 4, {640, 48});  // large enough to be split
  tt::fill<std::uint8_t>(in.get(), 255);
  std::vector<int> seen;
  for (int frame = 0; frame < 3; ++frame) {
    box->send_matrix(in.get());
    void* out = zt::sent_matrices(*box).back();
    const auto v = tt::values<std::uint8_t>(out);
    EXPECT_EQ(v, std::vector<std::uint8_t>(v.size(), v[0]));
    seen.push_back(v[0]);
  }
  EXPECT_EQ(seen, (std::vector<int>{12, 24, 36}));
}

TEST(ZelkRavgBox, AlphaIsClippedAndNeverResets) {
  auto box = make_box("zelk.ravg @alpha 1.5");
  ASSERT_TRUE(box);
  EXPECT_EQ(jit_attr_getfloat(box->jit_object(), gensym("alpha")), 1.0);
  ASSERT_TRUE(box->send_text("alpha -0.2"));
  EXPECT_EQ(jit_attr_getfloat(box->jit_object(), gensym("alpha")), 0.0);
  ASSERT_TRUE(box->send_text("alpha 0.5"));
  auto in = make_matrix(_jit_sym_long, 1, {7, 3});
  tt::fill<std::int32_t>(in.get(), 100);
  box->send_matrix(in.get());
  ASSERT_TRUE(box->send_text("alpha 0.25"));
  box->send_matrix(in.get());
  // 50, then 100 · 0.25 + 50 · 0.75
  EXPECT_EQ(cell<std::int32_t>(zt::sent_matrices(*box).back(), 6, 2), 62);
}

TEST(ZelkRavgBox, IntegerStateRestartsOnlyWithTheRegion) {
  auto box = make_box("zelk.ravg @alpha 0.5");
  ASSERT_TRUE(box);
  auto a = make_matrix(_jit_sym_char, 2, {9, 4});
  tt::fill<std::uint8_t>(a.get(), 200);
  box->send_matrix(a.get());
  box->send_matrix(a.get());
  EXPECT_EQ(cell<std::uint8_t>(zt::sent_matrices(*box).back(), 0, 0, 1), 150);
  // long of the same shape: the float32 state carries on.
  auto b = make_matrix(_jit_sym_long, 2, {9, 4});
  tt::fill<std::int32_t>(b.get(), 200);
  box->send_matrix(b.get());
  EXPECT_EQ(cell<std::int32_t>(zt::sent_matrices(*box).back(), 8, 3, 1), 175);
  // Another plane count, or another size, starts from zero.
  auto c = make_matrix(_jit_sym_long, 3, {9, 4});
  tt::fill<std::int32_t>(c.get(), 200);
  box->send_matrix(c.get());
  EXPECT_EQ(cell<std::int32_t>(zt::sent_matrices(*box).back(), 8, 3, 2), 100);
  auto d = make_matrix(_jit_sym_long, 3, {9, 5});
  tt::fill<std::int32_t>(d.get(), 200);
  box->send_matrix(d.get());
  EXPECT_EQ(cell<std::int32_t>(zt::sent_matrices(*box).back(), 0, 0, 0), 100);
}

TEST(ZelkRavgBox, LongMaximumBecomesTheFloatTwoToThe31) {
  auto box = make_box("zelk.ravg @alpha 1");
  ASSERT_TRUE(box);
  auto in = make_matrix(_jit_sym_long, 1, {3});
  tt::fill<std::int32_t>(in.get(), 2147483647);
  box->send_matrix(in.get());
  EXPECT_EQ(tt::values<std::int32_t>(zt::sent_matrices(*box).back()),
            std::vector<std::int32_t>(3, INT32_MIN));
}

TEST(ZelkRavgBox, NoAllocationInTheSteadyState) {
  auto box = make_box("zelk.ravg");
  ASSERT_TRUE(box);
  auto in = make_matrix(_jit_sym_char, 4, {320, 240});
  box->send_matrix(in.get());
  const auto before = zelk::host::memory().allocations;
  for (int i = 0; i < 5; ++i) box->send_matrix(in.get());
  EXPECT_EQ(zelk::host::memory().allocations, before);
}

TEST(ZelkRavgCalc, ChecksInOrder) {
  auto o = zt::make_jit_object("zelk.ravg");
  ASSERT_TRUE(o);
  auto in = make_matrix(_jit_sym_char, 1, {16, 4});
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {in.get()}, {}), JIT_ERR_INVALID_PTR);
  auto long_out = make_matrix(_jit_sym_long, 2, {16, 4});
  EXPECT_EQ(tt::calc(o, in.get(), long_out.get()), JIT_ERR_MISMATCH_TYPE);
  auto planes = make_matrix(_jit_sym_char, 2, {16, 5});
  testing::internal::CaptureStderr();
  EXPECT_EQ(tt::calc(o, in.get(), planes.get()), JIT_ERR_MISMATCH_PLANE);  // before the sizes
  auto bigger = make_matrix(_jit_sym_char, 1, {16, 5});
  EXPECT_EQ(tt::calc(o, in.get(), bigger.get()), JIT_ERR_GENERIC);
  EXPECT_EQ(tt::calc(o, in.get(), bigger.get()), JIT_ERR_GENERIC);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Mismatched sizes\nMismatched sizes\n");

  // Sizes are compared before data is looked at.
  void* no_data = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {16, 4});
  void* no_data_bigger = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {16, 5});
  auto out = make_matrix(_jit_sym_char, 1, {16, 4});
  testing::internal::CaptureStderr();
  EXPECT_EQ(tt::calc(o, no_data_bigger, out.get()), JIT_ERR_GENERIC);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(tt::calc(o, no_data, out.get()), JIT_ERR_INVALID_INPUT);
  EXPECT_EQ(tt::calc(o, in.get(), no_data), JIT_ERR_INVALID_OUTPUT);
  jit_object_free(no_data);
  jit_object_free(no_data_bigger);
}

TEST(ZelkRavgCalc, FloatFramesLeaveTheIntegerStateAlone) {
  auto o = zt::make_jit_object("zelk.ravg");
  ASSERT_TRUE(o);
  jit_attr_setfloat(o.get(), gensym("alpha"), 0.5);
  auto in = make_matrix(_jit_sym_char, 1, {16, 4}), out = make_matrix(_jit_sym_char, 1, {16, 4});
  tt::fill<std::uint8_t>(in.get(), 200);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);  // 100
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);  // 150
  auto fin = make_matrix(_jit_sym_float32, 2, {7, 9}), fout = make_matrix(_jit_sym_float32, 2, {7, 9});
  tt::fill<float>(fin.get(), 4.0f);
  ASSERT_EQ(tt::calc(o, fin.get(), fout.get()), JIT_ERR_NONE);
  EXPECT_EQ(cell<float>(fout.get(), 6, 8, 1), 2.0f);  // from the output's zeros
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(cell<std::uint8_t>(out.get(), 15, 3), 175);
}

TEST(ZelkRavgCalc, LocksAreRestored) {
  auto o = zt::make_jit_object("zelk.ravg");
  ASSERT_TRUE(o);
  auto in = make_matrix(_jit_sym_float64, 2, {5, 5}), out = make_matrix(_jit_sym_float64, 2, {5, 5});
  auto other = make_matrix(_jit_sym_float64, 2, {5, 6});
  jit_object_method(out.get(), _jit_sym_lock, static_cast<t_atom_long>(1));
  testing::internal::CaptureStderr();
  for (void* target : {out.get(), other.get()}) tt::calc(o, in.get(), target);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(tt::lock_state(in.get()), 0);
  EXPECT_EQ(tt::lock_state(out.get()), 1);
  EXPECT_EQ(tt::lock_state(other.get()), 0);
}

TEST(ZelkRavgCalc, UnevenStridesLeaveTheTailAlone) {
  // float32 rows of 5 values, 20 bytes apart: one group of 4 per row.
  auto o = zt::make_jit_object("zelk.ravg");
  ASSERT_TRUE(o);
  jit_attr_setfloat(o.get(), gensym("alpha"), 0.5);
  auto in = make_matrix(_jit_sym_float32, 1, {5, 3}, 20), out = make_matrix(_jit_sym_float32, 1, {5, 3}, 20);
  ASSERT_EQ(zelk::host::matrix_info(in.get()).dimstride[1], 20);
  tt::fill<float>(in.get(), 8.0f);
  tt::fill<float>(out.get(), 2.0f);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(tt::values<float>(out.get()),
            (std::vector<float>{5, 5, 5, 5, 2, 5, 5, 5, 5, 2, 5, 5, 5, 5, 2}));
}

// Integer frames through the host with n worker threads: the output's
// bytes after each frame; the last frame, with alpha 0, shows the state.
std::vector<std::vector<unsigned char>> run_with_threads(
    int threads, t_symbol* type, long planes, std::vector<long> dims, long row_stride = 0,
    zelk::host::ParallelCuts cuts = zelk::host::ParallelCuts::Even) {
  zelk::host::set_worker_threads(threads);
  const zelk::host::ParallelCuts saved = zelk::host::parallel_cuts();
  zelk::host::set_parallel_cuts(cuts);
  auto o = zt::make_jit_object("zelk.ravg");
  auto in = make_matrix(type, planes, dims, row_stride), out = make_matrix(type, planes, dims, row_stride);
  std::mt19937 rng(11);
  std::vector<std::vector<unsigned char>> frames;
  for (int frame = 0; frame < 4; ++frame) {
    const t_jit_matrix_info info = zelk::host::matrix_info(in.get());
    char* data = zelk::host::matrix_data(in.get());
    for (long k = 0; k < info.size; ++k) data[k] = static_cast<char>(rng() >> 8);
    jit_attr_setfloat(o.get(), gensym("alpha"), frame == 3 ? 0.0 : 0.3);
    EXPECT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
    frames.push_back(tt::bytes_of(out.get()));
  }
  zelk::host::set_parallel_cuts(saved);
  return frames;
}

struct Case {
  t_symbol* type;
  long planes;
  std::vector<long> dims;
  long row_stride = 0;
};

TEST(ZelkRavgThreads, SameBytesOnOneTwoAndEightThreads) {
  const int saved = zelk::host::worker_threads();
  const std::vector<Case> cases = {{_jit_sym_char, 4, {1920, 108}},
                                   {_jit_sym_long, 3, {97, 61}},
                                   {_jit_sym_char, 1, {33, 17, 9}},
                                   {_jit_sym_char, 2, {5000}}};
  for (const Case& c : cases) {
    const auto one = run_with_threads(1, c.type, c.planes, c.dims);
    EXPECT_EQ(run_with_threads(2, c.type, c.planes, c.dims), one) << c.type->s_name;
    EXPECT_EQ(run_with_threads(8, c.type, c.planes, c.dims), one) << c.type->s_name;
  }
  zelk::host::set_worker_threads(saved);
}

// Cut as Jitter may cut, along dimension 0 too (the only one of a 1-D
// matrix), into a one-cell part, an odd one and the rest: the same bytes as
// one part, odd strides and their untouched tails included.
TEST(ZelkRavgThreads, AwkwardCutsGiveTheSameBytes) {
  const int saved = zelk::host::worker_threads();
  const std::vector<Case> cases = {{_jit_sym_char, 3, {37}, 0},       {_jit_sym_char, 1, {33, 17, 9}, 0},
                                   {_jit_sym_long, 2, {13, 5}, 0},    {_jit_sym_long, 1, {5, 3}, 20},
                                   {_jit_sym_char, 1, {7, 4}, 7},     {_jit_sym_float32, 1, {5, 3}, 20},
                                   {_jit_sym_float64, 3, {9, 2, 2}, 0}};
  for (const Case& c : cases) {
    const auto whole = run_with_threads(1, c.type, c.planes, c.dims, c.row_stride);
    for (int threads : {1, 2})
      EXPECT_EQ(run_with_threads(threads, c.type, c.planes, c.dims, c.row_stride,
                                 zelk::host::ParallelCuts::Awkward),
                whole)
          << c.type->s_name << " " << c.dims[0] << " on " << threads;
  }
  zelk::host::set_worker_threads(saved);
}

// Float frames: random finite values.
std::vector<std::vector<unsigned char>> run_float_with_threads(int threads, t_symbol* type) {
  zelk::host::set_worker_threads(threads);
  auto o = zt::make_jit_object("zelk.ravg");
  auto in = make_matrix(type, 4, {301, 90}), out = make_matrix(type, 4, {301, 90});
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> any(-1e4, 1e4);
  std::vector<std::vector<unsigned char>> frames;
  for (int frame = 0; frame < 3; ++frame) {
    if (type == _jit_sym_float32)
      tt::for_each_value<float>(in.get(), [&](float& v, long) { v = static_cast<float>(any(rng)); });
    else
      tt::for_each_value<double>(in.get(), [&](double& v, long) { v = any(rng); });
    EXPECT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
    frames.push_back(tt::bytes_of(out.get()));
  }
  return frames;
}

TEST(ZelkRavgThreads, FloatTypesToo) {
  const int saved = zelk::host::worker_threads();
  for (t_symbol* type : {_jit_sym_float32, _jit_sym_float64}) {
    const auto one = run_float_with_threads(1, type);
    EXPECT_EQ(run_float_with_threads(2, type), one);
    EXPECT_EQ(run_float_with_threads(8, type), one);
  }
  zelk::host::set_worker_threads(saved);
}

}  // namespace
