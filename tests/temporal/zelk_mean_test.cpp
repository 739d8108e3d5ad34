// zelk.mean as a box and through matrix_calc: restarts, reset, failing
// frames and the accumulator.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "temporal_support.h"

namespace {

using zt::cell;
using zt::make_box;
using zt::make_matrix;

TEST(ZelkMeanBox, CharMeansAcrossFramesAndReset) {
  auto box = make_box("zelk.mean");
  ASSERT_TRUE(box);
  auto in = make_matrix(_jit_sym_char, 2, {5, 3});
  std::vector<int> seen;
  for (int v : {10, 20, 30}) {
    tt::fill<std::uint8_t>(in.get(), static_cast<std::uint8_t>(v));
    box->send_matrix(in.get());
    const auto sent = zt::sent_matrices(*box);
    ASSERT_EQ(sent.size(), seen.size() + 1);
    seen.push_back(cell<std::uint8_t>(sent.back(), 4, 2, 1));
  }
  EXPECT_EQ(seen, (std::vector<int>{10, 15, 20}));
  ASSERT_TRUE(box->send_text("reset"));
  tt::fill<std::uint8_t>(in.get(), 3);
  box->send_matrix(in.get());
  EXPECT_EQ(tt::values<std::uint8_t>(zt::sent_matrices(*box).back()),
            std::vector<std::uint8_t>(30, 3));
  EXPECT_TRUE(zt::error_codes(*box).empty());
}

TEST(ZelkMeanBox, ConstantHundredAndNoAllocationInTheSteadyState) {
  auto box = make_box("zelk.mean");
  ASSERT_TRUE(box);
  auto in = make_matrix(_jit_sym_char, 4, {33, 7});
  tt::fill<std::uint8_t>(in.get(), 100);
  box->send_matrix(in.get());
  const auto before = zelk::host::memory().allocations;
  for (int frame = 2; frame <= 20; ++frame) {
    box->send_matrix(in.get());
    const int want = (frame == 12 || frame >= 17) ? 99 : 100;
    EXPECT_EQ(tt::values<std::uint8_t>(zt::sent_matrices(*box).back()),
              std::vector<std::uint8_t>(33 * 7 * 4, static_cast<std::uint8_t>(want)))
        << "frame " << frame;
  }
  EXPECT_EQ(zelk::host::memory().allocations, before);
}

TEST(ZelkMeanBox, ShapeAndTypeRestart) {
  auto box = make_box("zelk.mean");
  ASSERT_TRUE(box);
  auto a = make_matrix(_jit_sym_char, 1, {4, 4});
  tt::fill<std::uint8_t>(a.get(), 200);
  box->send_matrix(a.get());
  // Another size restarts: the frame passes through.
  auto b = make_matrix(_jit_sym_char, 1, {4, 5});
  tt::fill<std::uint8_t>(b.get(), 50);
  box->send_matrix(b.get());
  EXPECT_EQ(tt::values<std::uint8_t>(zt::sent_matrices(*box).back()), std::vector<std::uint8_t>(20, 50));
  // Same shape, long cells: restarts too.
  auto c = make_matrix(_jit_sym_long, 1, {4, 5});
  tt::fill<std::int32_t>(c.get(), -7);
  box->send_matrix(c.get());
  EXPECT_EQ(tt::values<std::int32_t>(zt::sent_matrices(*box).back()), std::vector<std::int32_t>(20, -7));
  tt::fill<std::int32_t>(c.get(), -8);
  box->send_matrix(c.get());
  EXPECT_EQ(tt::values<std::int32_t>(zt::sent_matrices(*box).back()), std::vector<std::int32_t>(20, -7));
  // Another plane count or dimension count restarts.
  auto d = make_matrix(_jit_sym_long, 2, {4, 5});
  tt::fill<std::int32_t>(d.get(), 9);
  box->send_matrix(d.get());
  EXPECT_EQ(tt::values<std::int32_t>(zt::sent_matrices(*box).back()), std::vector<std::int32_t>(40, 9));
  auto e = make_matrix(_jit_sym_long, 2, {4, 5, 1});
  tt::fill<std::int32_t>(e.get(), 1);
  box->send_matrix(e.get());
  EXPECT_EQ(tt::values<std::int32_t>(zt::sent_matrices(*box).back()), std::vector<std::int32_t>(40, 1));
}

TEST(ZelkMeanBox, FloatMeansLiveInTheOutput) {
  auto box = make_box("zelk.mean");
  ASSERT_TRUE(box);
  auto in = make_matrix(_jit_sym_float32, 3, {2, 2, 3});
  for (float v : {1.0f, 2.0f, 4.5f}) {
    tt::fill<float>(in.get(), v);
    box->send_matrix(in.get());
  }
  void* out = zt::sent_matrices(*box).back();
  EXPECT_EQ(tt::values<float>(out), std::vector<float>(36, static_cast<float>(7.5 / 3)));
  // The object reads its output back: what a patch writes there enters.
  tt::fill<float>(out, 0.0f);
  tt::fill<float>(in.get(), 8.0f);
  box->send_matrix(in.get());
  EXPECT_EQ(tt::values<float>(zt::sent_matrices(*box).back()), std::vector<float>(36, 2.0f));
}

TEST(ZelkMeanCalc, ChecksInOrderAndFailingFramesDoNotCount) {
  auto o = zt::make_jit_object("zelk.mean");
  ASSERT_TRUE(o);
  auto in = make_matrix(_jit_sym_char, 1, {3, 3}), out = make_matrix(_jit_sym_char, 1, {3, 3});
  auto long_out = make_matrix(_jit_sym_long, 2, {3, 3});
  auto two_planes = make_matrix(_jit_sym_char, 2, {3, 3});
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {in.get()}, {}), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {}, {out.get()}), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(tt::calc(o, in.get(), long_out.get()), JIT_ERR_MISMATCH_TYPE);  // type before planes
  EXPECT_EQ(tt::calc(o, in.get(), two_planes.get()), JIT_ERR_MISMATCH_PLANE);

  tt::fill<std::uint8_t>(in.get(), 10);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  tt::fill<std::uint8_t>(in.get(), 20);
  EXPECT_EQ(tt::calc(o, in.get(), long_out.get()), JIT_ERR_MISMATCH_TYPE);
  EXPECT_EQ(tt::calc(o, in.get(), two_planes.get()), JIT_ERR_MISMATCH_PLANE);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(cell<std::uint8_t>(out.get(), 2, 2), 15);  // the failed frames did not count

  auto no_data = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {3, 3});
  EXPECT_EQ(tt::calc(o, no_data, out.get()), JIT_ERR_INVALID_INPUT);
  EXPECT_EQ(tt::calc(o, in.get(), no_data), JIT_ERR_INVALID_OUTPUT);
  tt::fill<std::uint8_t>(in.get(), 30);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(cell<std::uint8_t>(out.get(), 0, 0), 20);
  jit_object_free(no_data);

  // A restart before a failing data check stays in force.
  auto other = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {4, 3});
  EXPECT_EQ(tt::calc(o, other, out.get()), JIT_ERR_INVALID_INPUT);
  jit_object_free(other);
  tt::fill<std::uint8_t>(in.get(), 90);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(cell<std::uint8_t>(out.get(), 1, 1), 90);
}

TEST(ZelkMeanCalc, LocksAreRestored) {
  auto o = zt::make_jit_object("zelk.mean");
  ASSERT_TRUE(o);
  auto in = make_matrix(_jit_sym_char, 1, {3, 3}), out = make_matrix(_jit_sym_char, 1, {3, 3});
  jit_object_method(in.get(), _jit_sym_lock, static_cast<t_atom_long>(1));
  auto long_out = make_matrix(_jit_sym_long, 1, {3, 3});
  for (void* target : {out.get(), long_out.get()}) {
    tt::calc(o, in.get(), target);
    EXPECT_EQ(tt::lock_state(in.get()), 1);
    EXPECT_EQ(tt::lock_state(target), 0);
  }
}

TEST(ZelkMeanCalc, AnOutputThatGrewAloneNeverOverrunsTheAccumulator) {
  auto o = zt::make_jit_object("zelk.mean");
  ASSERT_TRUE(o);
  auto in = make_matrix(_jit_sym_long, 3, {40, 30}), small = make_matrix(_jit_sym_long, 3, {8, 2});
  tt::fill<std::int32_t>(in.get(), 1000);
  ASSERT_EQ(tt::calc(o, in.get(), small.get()), JIT_ERR_NONE);
  ASSERT_EQ(tt::calc(o, in.get(), small.get()), JIT_ERR_NONE);
  // Same input, a larger output: the accumulator is made anew for the
  // larger region, so the mean restarts.
  auto big = make_matrix(_jit_sym_long, 3, {40, 30});
  tt::fill<std::int32_t>(in.get(), 4000);
  ASSERT_EQ(tt::calc(o, in.get(), big.get()), JIT_ERR_NONE);
  EXPECT_EQ(tt::values<std::int32_t>(big.get()), std::vector<std::int32_t>(40 * 30 * 3, 4000));
  // A float input of that shape only restarts by type; its means are its output's.
  auto fin = make_matrix(_jit_sym_float64, 3, {40, 30}), fout = make_matrix(_jit_sym_float64, 3, {40, 30});
  tt::fill<double>(fin.get(), 2.0);
  ASSERT_EQ(tt::calc(o, fin.get(), fout.get()), JIT_ERR_NONE);
  EXPECT_EQ(tt::values<double>(fout.get()), std::vector<double>(3600, 2.0));
}

TEST(ZelkMeanCalc, AnOutputThatShrankAloneKeepsEveryCellsMean) {
  // The narrower region's rows are shorter than the accumulator's: each
  // cell must still find its own mean, with no restart.
  auto o = zt::make_jit_object("zelk.mean");
  ASSERT_TRUE(o);
  auto in = make_matrix(_jit_sym_long, 1, {8, 4}), out = make_matrix(_jit_sym_long, 1, {8, 4});
  const auto set_input = [&](std::int32_t add) {
    for (long y = 0; y < 4; ++y)
      for (long x = 0; x < 8; ++x) zt::cell<std::int32_t>(in.get(), x, y) = static_cast<std::int32_t>(10 * x + 1000 * y + add);
  };
  set_input(0);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  set_input(4);
  auto narrow = make_matrix(_jit_sym_long, 1, {4, 3});
  ASSERT_EQ(tt::calc(o, in.get(), narrow.get()), JIT_ERR_NONE);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 4; ++x)
      EXPECT_EQ(zt::cell<std::int32_t>(narrow.get(), x, y), 10 * x + 1000 * y + 2) << x << "," << y;
}

std::uint8_t& char_at(void* m, long x, long y, long p, long z) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  return *reinterpret_cast<std::uint8_t*>(zelk::host::matrix_data(m) + z * info.dimstride[2] +
                                          y * info.dimstride[1] + x * info.dimstride[0] + p);
}

TEST(ZelkMeanCalc, AShrunkThreeDimensionalOutputKeepsEverySlicesMeans) {
  auto o = zt::make_jit_object("zelk.mean");
  ASSERT_TRUE(o);
  auto in = make_matrix(_jit_sym_char, 2, {5, 4, 3}), out = make_matrix(_jit_sym_char, 2, {5, 4, 3});
  const auto value = [](long x, long y, long z, long p) { return 3 * x + 15 * y + 60 * z + p; };
  const auto set_input = [&](long add) {
    for (long z = 0; z < 3; ++z)
      for (long y = 0; y < 4; ++y)
        for (long x = 0; x < 5; ++x)
          for (long p = 0; p < 2; ++p)
            char_at(in.get(), x, y, p, z) = static_cast<std::uint8_t>(value(x, y, z, p) + add);
  };
  set_input(0);
  ASSERT_EQ(tt::calc(o, in.get(), out.get()), JIT_ERR_NONE);
  set_input(4);
  auto narrow = make_matrix(_jit_sym_char, 2, {3, 2, 2});
  ASSERT_EQ(tt::calc(o, in.get(), narrow.get()), JIT_ERR_NONE);
  for (long z = 0; z < 2; ++z)
    for (long y = 0; y < 2; ++y)
      for (long x = 0; x < 3; ++x)
        for (long p = 0; p < 2; ++p)
          EXPECT_EQ(char_at(narrow.get(), x, y, p, z), value(x, y, z, p) + 2)
              << x << "," << y << "," << z << "," << p;
}

TEST(ZelkMeanCalc, ZeroSizedAndManyDimensionalInputs) {
  auto o = zt::make_jit_object("zelk.mean");
  ASSERT_TRUE(o);
  auto empty = make_matrix(_jit_sym_char, 1, {0, 5}), empty_out = make_matrix(_jit_sym_char, 1, {0, 5});
  EXPECT_EQ(tt::calc(o, empty.get(), empty_out.get()), JIT_ERR_NONE);
  // A size of 0 is 1, as in Jitter: the input has cells, and they count.
  auto flat_empty = make_matrix(_jit_sym_char, 1, {64, 1, 0}), row_out = make_matrix(_jit_sym_char, 1, {64, 1});
  tt::fill<std::uint8_t>(row_out.get(), 7);
  EXPECT_EQ(tt::calc(o, flat_empty.get(), row_out.get()), JIT_ERR_NONE);
  EXPECT_EQ(tt::values<std::uint8_t>(row_out.get()), std::vector<std::uint8_t>(64, 0));
  std::vector<long> dims(32, 1);
  dims[0] = 3, dims[31] = 2, dims[7] = 2;
  auto deep = make_matrix(_jit_sym_char, 32, dims), deep_out = make_matrix(_jit_sym_char, 32, dims);
  tt::for_each_value<std::uint8_t>(deep.get(), [](std::uint8_t& v, long k) { v = static_cast<std::uint8_t>(k); });
  ASSERT_EQ(tt::calc(o, deep.get(), deep_out.get()), JIT_ERR_NONE);
  EXPECT_EQ(tt::values<std::uint8_t>(deep_out.get()), tt::values<std::uint8_t>(deep.get()));
  tt::fill<std::uint8_t>(deep.get(), 0);
  ASSERT_EQ(tt::calc(o, deep.get(), deep_out.get()), JIT_ERR_NONE);
  std::vector<std::uint8_t> half;
  for (long k = 0; k < 3 * 2 * 2 * 32; ++k) half.push_back(static_cast<std::uint8_t>((k % 256) / 2));
  EXPECT_EQ(tt::values<std::uint8_t>(deep_out.get()), half);
}

}  // namespace
