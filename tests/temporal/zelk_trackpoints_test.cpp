// zelk.trackpoints as a box and through matrix_calc.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "max.jit.mop.h"
#include "temporal_support.h"

namespace {

using zt::cell;
using zt::make_box;
using zt::make_matrix;

struct Point {
  float x, y, flag;
};

zt::HostMatrix point_list(const std::vector<Point>& list) {
  auto m = make_matrix(_jit_sym_float32, 3, {static_cast<long>(list.size())});
  for (size_t k = 0; k < list.size(); ++k) {
    cell<float>(m.get(), static_cast<long>(k), 0, 0) = list[k].x;
    cell<float>(m.get(), static_cast<long>(k), 0, 1) = list[k].y;
    cell<float>(m.get(), static_cast<long>(k), 0, 2) = list[k].flag;
  }
  return m;
}

// (x, y, value) of every non-zero pixel.
std::vector<std::array<long, 3>> drawn(void* image) {
  const t_jit_matrix_info info = zelk::host::matrix_info(image);
  std::vector<std::array<long, 3>> out;
  for (long y = 0; y < info.dim[1]; ++y)
    for (long x = 0; x < info.dim[0]; ++x)
      if (long v = cell<std::uint8_t>(image, x, y)) out.push_back({x, y, v});
  return out;
}

TEST(ZelkTrackpointsBox, DefaultSizeAndTheThreePoints) {
  auto box = make_box("zelk.trackpoints");
  ASSERT_TRUE(box);
  // The output is a one-plane char image from the start.
  const t_jit_matrix_info made = zelk::host::matrix_info(max_jit_mop_getoutput(box->object(), 1));
  EXPECT_EQ(made.type, _jit_sym_char);
  EXPECT_EQ(made.planecount, 1);
  EXPECT_EQ(made.dimcount, 2);
  t_atom_long size[2] = {};
  EXPECT_EQ(jit_attr_getlong_array(box->jit_object(), gensym("size"), 2, size), 2);
  EXPECT_EQ(size[0], 320);
  EXPECT_EQ(size[1], 240);
  auto points = point_list({{10.9f, 20.2f, 1}, {0.5f, 5, 1}, {319, 239, 1}});
  box->send_matrix(points.get());
  void* image = zt::sent_matrices(*box).back();
  const t_jit_matrix_info info = zelk::host::matrix_info(image);
  EXPECT_EQ(info.type, _jit_sym_char);
  EXPECT_EQ(info.planecount, 1);
  EXPECT_EQ(info.dim[0], 320);
  EXPECT_EQ(info.dim[1], 240);
  EXPECT_EQ(drawn(image), (std::vector<std::array<long, 3>>{{10, 20, 1}, {319, 239, 3}}));
}

TEST(ZelkTrackpointsBox, SizeSetsTheImageAndEachFrameStartsClean) {
  auto box = make_box("zelk.trackpoints @size 16 8");
  ASSERT_TRUE(box);
  box->send_matrix(point_list({{15, 7, 1}, {16, 7, 1}, {3, 8, 1}, {4, 4, 0}, {5, 5, 1}}).get());
  EXPECT_EQ(drawn(zt::sent_matrices(*box).back()), (std::vector<std::array<long, 3>>{{5, 5, 5}, {15, 7, 1}}));
  // One value changes only the width.
  ASSERT_TRUE(box->send_text("size 4"));
  box->send_matrix(point_list({{2, 6, 1}}).get());
  void* image = zt::sent_matrices(*box).back();
  EXPECT_EQ(zelk::host::matrix_info(image).dim[0], 4);
  EXPECT_EQ(zelk::host::matrix_info(image).dim[1], 8);
  EXPECT_EQ(drawn(image), (std::vector<std::array<long, 3>>{{2, 6, 1}}));
  // An empty list, or no present point, gives an all-zero image.
  box->send_matrix(point_list({{2, 6, 0}}).get());
  EXPECT_TRUE(drawn(zt::sent_matrices(*box).back()).empty());
}

TEST(ZelkTrackpointsBox, SizesOfZeroOrLessDrawNothing) {
  for (const char* text : {"zelk.trackpoints @size 0 0", "zelk.trackpoints @size -5 10",
                           "zelk.trackpoints @size 1 1", "zelk.trackpoints @size 7 -1"}) {
    auto box = make_box(text);
    ASSERT_TRUE(box);
    box->send_matrix(point_list({{0, 0, 1}, {1, 1, 1}, {2, 2, 1}, {6, 0.5f, 1}}).get());
    for (void* image : zt::sent_matrices(*box)) EXPECT_TRUE(drawn(image).empty()) << text;
  }
}

TEST(ZelkTrackpointsBox, ASizeTheHostCannotHoldFailsTheFrame) {
  auto box = make_box("zelk.trackpoints @size 16 8");
  ASSERT_TRUE(box);
  box->send_matrix(point_list({{5, 5, 1}}).get());
  ASSERT_EQ(zt::sent_matrices(*box).size(), 1u);
  const long long limit = zelk::host::max_block_bytes();
  zelk::host::set_max_block_bytes(1 << 20);
  ASSERT_TRUE(box->send_text("size 100000 100000"));
  box->send_matrix(point_list({{3, 2, 1}, {50000, 50000, 1}}).get());
  zelk::host::set_max_block_bytes(limit);
  // Nothing sent, the old image kept as it was, and the failure said.
  EXPECT_EQ(zt::error_codes(*box), (std::vector<long>{JIT_ERR_OUT_OF_MEM}));
  const auto sent = zt::sent_matrices(*box);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(zelk::host::matrix_info(sent[0]).dim[0], 16);
  EXPECT_EQ(zelk::host::matrix_info(sent[0]).dim[1], 8);
  EXPECT_EQ(drawn(sent[0]), (std::vector<std::array<long, 3>>{{5, 5, 1}}));
  // A size that fits works again.
  ASSERT_TRUE(box->send_text("size 64 64"));
  box->send_matrix(point_list({{50, 40, 1}}).get());
  ASSERT_EQ(zt::sent_matrices(*box).size(), 2u);
  EXPECT_EQ(drawn(zt::sent_matrices(*box).back()), (std::vector<std::array<long, 3>>{{50, 40, 1}}));
}

TEST(ZelkTrackpointsBox, TheSteadyStateAllocatesNothing) {
  auto box = make_box("zelk.trackpoints");
  ASSERT_TRUE(box);
  auto points = point_list({{10, 10, 1}});
  box->send_matrix(points.get());
  const auto before = zelk::host::memory().allocations;
  for (int i = 0; i < 4; ++i) box->send_matrix(points.get());
  EXPECT_EQ(zelk::host::memory().allocations, before);
}

TEST(ZelkTrackpointsCalc, ChecksInOrderAndFailuresKeepTheOutput) {
  auto o = zt::make_jit_object("zelk.trackpoints");
  ASSERT_TRUE(o);
  auto out = make_matrix(_jit_sym_char, 1, {5, 5});
  tt::fill<std::uint8_t>(out.get(), 9);
  EXPECT_EQ(zelk::host::matrix_calc(o.get(), {}, {out.get()}), JIT_ERR_INVALID_PTR);
  // No data is found before the type is looked at.
  void* no_data = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {4});
  EXPECT_EQ(tt::calc(o, no_data, out.get()), JIT_ERR_GENERIC);
  jit_object_free(no_data);
  auto chars = make_matrix(_jit_sym_char, 3, {4});
  EXPECT_EQ(tt::calc(o, chars.get(), out.get()), JIT_ERR_MISMATCH_TYPE);
  auto two_planes = make_matrix(_jit_sym_float32, 2, {4});
  EXPECT_EQ(tt::calc(o, two_planes.get(), out.get()), JIT_ERR_MISMATCH_PLANE);
  EXPECT_EQ(tt::values<std::uint8_t>(out.get()), std::vector<std::uint8_t>(25, 9));
  EXPECT_EQ(zelk::host::matrix_info(out.get()).dim[0], 5);

  // The image is reshaped and cleared before its data is checked.
  void* no_out = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {3, 3});
  auto points = point_list({{1, 1, 1}});
  EXPECT_EQ(tt::calc(o, points.get(), no_out), JIT_ERR_GENERIC);
  EXPECT_EQ(zelk::host::matrix_info(no_out).dim[0], 320);
  jit_object_free(no_out);
}

TEST(ZelkTrackpointsCalc, PointListsOfManyDimensionsUseTheFirstRow) {
  auto o = zt::make_jit_object("zelk.trackpoints");
  ASSERT_TRUE(o);
  jit_attr_setlong_array(o.get(), gensym("size"), 2, std::array<t_atom_long, 2>{8, 8}.data());
  auto points = make_matrix(_jit_sym_float32, 3, {2, 2, 2});
  tt::fill<float>(points.get(), 1.0f);
  cell<float>(points.get(), 1, 0, 0) = 3.0f;
  auto out = make_matrix(_jit_sym_char, 1, {8, 8});
  jit_object_method(points.get(), _jit_sym_lock, static_cast<t_atom_long>(1));
  ASSERT_EQ(tt::calc(o, points.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(drawn(out.get()), (std::vector<std::array<long, 3>>{{1, 1, 1}, {3, 1, 2}}));
  EXPECT_EQ(tt::lock_state(points.get()), 1);
  EXPECT_EQ(tt::lock_state(out.get()), 0);
}

TEST(ZelkTrackpointsCalc, AListWithoutCellsDrawsNothing) {
  // dim[0] is 3 but the second dimension is empty: there are no points.
  auto o = zt::make_jit_object("zelk.trackpoints");
  ASSERT_TRUE(o);
  auto points = make_matrix(_jit_sym_float32, 3, {3, 0});
  auto out = make_matrix(_jit_sym_char, 1, {8, 8});
  ASSERT_EQ(tt::calc(o, points.get(), out.get()), JIT_ERR_NONE);
  EXPECT_TRUE(drawn(out.get()).empty());
}

TEST(ZelkTrackpointsBox, TheTwoHundredFiftySixthPointWritesZero) {
  auto box = make_box("zelk.trackpoints @size 40 40");
  ASSERT_TRUE(box);
  std::vector<Point> list;
  for (int k = 1; k <= 257; ++k) list.push_back({static_cast<float>(1 + k % 39), static_cast<float>(1 + k / 39), 1});
  box->send_matrix(point_list(list).get());
  void* image = zt::sent_matrices(*box).back();
  EXPECT_EQ(cell<std::uint8_t>(image, 1 + 255 % 39, 1 + 255 / 39), 255);
  EXPECT_EQ(cell<std::uint8_t>(image, 1 + 256 % 39, 1 + 256 / 39), 0);
  EXPECT_EQ(cell<std::uint8_t>(image, 1 + 257 % 39, 1 + 257 / 39), 1);
  EXPECT_EQ(drawn(image).size(), 256u);
}

}  // namespace
