// Binary edges: the computation for all four types, small and padded
// regions, then the object through the host (against OpenCV's erosion in
// binedge_opencv_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "binedge_support.h"
#include "region/binedge.h"
#include "support/host_fixture.h"
#include "support/owned_matrix.h"
#include "support/scenes.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;
using Rows = std::vector<std::string>;

template <class T>
OwnedMatrix typed_image(const Rows& rows, long planes = 1, long padding = 8) {
  const long h = static_cast<long>(rows.size()), w = h ? static_cast<long>(rows[0].size()) : 0;
  OwnedMatrix m(frame::CellTypeOf<T>::value, planes, {w, h}, padding);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) m.at<T>(x, y) = rows[y][x] == '0' ? T(0) : T(3);
  return m;
}

// Edges of `rows` in type T, as '#' (edge value), '.' (0) or '?'.
template <class T>
Rows edges(const Rows& rows) {
  auto in = typed_image<T>(rows);
  const long w = in.matrix().dim[0], h = in.matrix().dim[1];
  OwnedMatrix out(frame::CellTypeOf<T>::value, 1, {w, h}, 8);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) out.at<T>(x, y) = T(7);  // every cell must be written
  region::binary_edges(in.matrix(), out.matrix(), w, h);
  Rows r;
  for (long y = 0; y < h; ++y) {
    std::string s;
    for (long x = 0; x < w; ++x) {
      const T v = out.at<T>(x, y);
      s += v == on_value<T>() ? '#' : (v == T(0) ? '.' : '?');
    }
    r.push_back(s);
    for (long b = w * static_cast<long>(sizeof(T)); b < out.matrix().dimstride[1]; ++b)
      EXPECT_EQ(static_cast<int>(out.row_ptr(y)[b]), 0xA5);
  }
  return r;
}

template <class T>
class BinaryEdges : public ::testing::Test {};
using CellTypes = ::testing::Types<std::uint8_t, std::int32_t, float, double>;
TYPED_TEST_SUITE(BinaryEdges, CellTypes);

TYPED_TEST(BinaryEdges, EmptyAndFullImagesHaveNoEdges) {
  EXPECT_EQ(edges<TypeParam>({"0000", "0000", "0000"}), (Rows{"....", "....", "...."}));
  EXPECT_EQ(edges<TypeParam>({"1111", "1111", "1111"}), (Rows{"....", "....", "...."}));
}

TYPED_TEST(BinaryEdges, SquareGivesItsOutline) {
  EXPECT_EQ(edges<TypeParam>({"000000000",
                              "000000000",
                              "001111100",
                              "001111100",
                              "001111100",
                              "001111100",
                              "001111100",
                              "000000000",
                              "000000000"}),
            (Rows{".........",
                  ".........",
                  "..#####..",
                  "..#...#..",
                  "..#...#..",
                  "..#...#..",
                  "..#####..",
                  ".........",
                  "........."}));
}

TYPED_TEST(BinaryEdges, SingleCellsDiagonalsAndTheImageBorder) {
  EXPECT_EQ(edges<TypeParam>({"000", "010", "000"}), (Rows{"...", ".#.", "..."}));
  // (1,1) sees background only at its diagonal (0,0).
  EXPECT_EQ(edges<TypeParam>({"0111", "1111", "1111", "1111"}),
            (Rows{".#..", "##..", "....", "...."}));
  // A region along the border has no edge there.
  EXPECT_EQ(edges<TypeParam>({"1110", "1110", "1110"}), (Rows{"..#.", "..#.", "..#."}));
  EXPECT_EQ(edges<TypeParam>({"0000", "1111", "1111"}), (Rows{"....", "####", "...."}));
}

TYPED_TEST(BinaryEdges, NarrowRegionsUseTheirInRegionNeighbours) {
  EXPECT_EQ(edges<TypeParam>({"1"}), (Rows{"."}));
  EXPECT_EQ(edges<TypeParam>({"0"}), (Rows{"."}));
  EXPECT_EQ(edges<TypeParam>({"0110111"}), (Rows{".##.#.."}));
  EXPECT_EQ(edges<TypeParam>({"11"}), (Rows{".."}));
  EXPECT_EQ(edges<TypeParam>({"1", "1", "0", "1", "1", "1"}), (Rows{".", "#", ".", "#", ".", "."}));
  EXPECT_EQ(edges<TypeParam>({"10", "11", "11"}), (Rows{"#.", "##", ".."}));
}

TEST(BinaryEdgesValues, FloatForegroundIncludesNanButNotNegativeZero) {
  OwnedMatrix in(CellType::Float32, 1, {3, 3});
  OwnedMatrix out(CellType::Float32, 1, {3, 3});
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 3; ++x) in.at<float>(x, y) = 0.5f;
  in.at<float>(0, 0) = -0.0f;
  in.at<float>(2, 2) = std::numeric_limits<float>::quiet_NaN();
  region::binary_edges(in.matrix(), out.matrix(), 3, 3);
  EXPECT_EQ(out.at<float>(0, 0), 0.0f);
  EXPECT_EQ(out.at<float>(1, 0), 1.0f);
  EXPECT_EQ(out.at<float>(0, 1), 1.0f);
  EXPECT_EQ(out.at<float>(1, 1), 1.0f);
  EXPECT_EQ(out.at<float>(2, 1), 0.0f);
  EXPECT_EQ(out.at<float>(2, 2), 0.0f);  // NaN is foreground, and no neighbour is background
  in.at<float>(1, 2) = 0.0f;
  region::binary_edges(in.matrix(), out.matrix(), 3, 3);
  EXPECT_EQ(out.at<float>(2, 2), 1.0f);
}

// The region is the overlap: cells outside it are neither read nor written,
// and a multi-plane output gets plane 0 only.
TEST(BinaryEdgesValues, RegionAndOutputPlanes) {
  OwnedMatrix in(CellType::Char, 1, {6, 5}, 2);
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 6; ++x) in.at<std::uint8_t>(x, y) = (x == 4 || y == 3) ? 0 : 9;
  OwnedMatrix out(CellType::Char, 3, {7, 3}, 1);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 7; ++x)
      for (long p = 0; p < 3; ++p) out.at<std::uint8_t>(x, y, p) = 77;
  region::binary_edges(in.matrix(), out.matrix(), 4, 3);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 7; ++x) {
      EXPECT_EQ(out.at<std::uint8_t>(x, y, 0), x < 4 ? 0 : 77) << x << "," << y;
      EXPECT_EQ(out.at<std::uint8_t>(x, y, 1), 77);
      EXPECT_EQ(out.at<std::uint8_t>(x, y, 2), 77);
    }
  in.at<std::uint8_t>(1, 1) = 0;
  region::binary_edges(in.matrix(), out.matrix(), 4, 3);
  EXPECT_EQ(out.at<std::uint8_t>(0, 0, 0), 255);
  EXPECT_EQ(out.at<std::uint8_t>(2, 2, 0), 255);
  EXPECT_EQ(out.at<std::uint8_t>(3, 2, 0), 0);
  EXPECT_EQ(out.at<std::uint8_t>(1, 1, 1), 77);
}

// Every cell against the definition, on scenes wide enough for the vector
// loops and for several chunks per row (the OpenCV erosion check, in
// binedge_opencv_test.cpp, does not run without OpenCV).
template <class T>
void check_against_definition(const zt::Scene& img, long padding) {
  const int w = img.cols, h = img.rows;
  OwnedMatrix out = scene_edges<T>(img, padding);
  long diff = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool edge = false;
      for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny)
        for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx)
          edge |= img.at<std::uint8_t>(y, x) && !img.at<std::uint8_t>(ny, nx);
      diff += (out.at<T>(x, y) == on_value<T>()) != edge;
    }
  EXPECT_EQ(diff, 0) << w << "x" << h;
}

zt::Scene inverted(zt::Scene s) {
  for (auto& c : s.cells) c = static_cast<std::uint8_t>(255 - c);
  return s;
}

TYPED_TEST(BinaryEdges, MatchesTheDefinitionOnScenes) {
  check_against_definition<TypeParam>(zt::noise_scene(67, 41, 3), 0);
  check_against_definition<TypeParam>(zt::noise_scene(2, 9, 4), 3);
  check_against_definition<TypeParam>(zt::discs_scene(160, 120, 20, 5), 12);
  check_against_definition<TypeParam>(inverted(zt::discs_scene(97, 61, 9, 6)), 1);
  check_against_definition<TypeParam>(zt::noise_scene(600, 5, 8), 2);  // several chunks per row
}

}  // namespace

// ---- through the host ----------------------------------------------------------------

namespace {

using zt::cell;
using zt::HostMatrix;
using zt::make_box;
using zt::make_matrix;

template <class T>
HostMatrix host_image(t_symbol* type, const Rows& rows, T fg, long row_stride = 0) {
  auto m = make_matrix(type, 1, {static_cast<long>(rows[0].size()), static_cast<long>(rows.size())}, row_stride);
  for (long y = 0; y < static_cast<long>(rows.size()); ++y)
    for (long x = 0; x < static_cast<long>(rows[y].size()); ++x)
      cell<T>(m.get(), x, y) = rows[y][x] == '#' ? fg : T(0);
  return m;
}

template <class T>
Rows host_rows(void* m, T on) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  Rows rows;
  for (long y = 0; y < info.dim[1]; ++y) {
    std::string r;
    for (long x = 0; x < info.dim[0]; ++x) {
      const T v = cell<T>(m, x, y);
      r += v == on ? '#' : (v == T(0) ? '.' : '?');
    }
    rows.push_back(r);
  }
  return rows;
}

const Rows kBlock = {"......", ".####.", ".####.", ".####.", "......"};
const Rows kOutline = {"......", ".####.", ".#..#.", ".####.", "......"};

TEST(ZelkBinEdgeBox, EveryTypeInAndOut) {
  auto box = make_box("zelk.binedge");
  ASSERT_TRUE(box);
  auto c = host_image<std::uint8_t>(_jit_sym_char, kBlock, 1, 32);
  auto l = host_image<std::int32_t>(_jit_sym_long, kBlock, -4);
  auto f = host_image<float>(_jit_sym_float32, kBlock, 0.5f);
  auto d = host_image<double>(_jit_sym_float64, kBlock, 1e-300);
  // The box sends its own output matrix each time: read it after each frame.
  auto sent_once = [&](void* m) {
    box->clear_events();
    box->send_matrix(m);
    const auto sent = zt::sent_matrices(*box);
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_TRUE(zt::error_codes(*box).empty());
    return sent.empty() ? nullptr : sent[0];
  };
  void* out = sent_once(c.get());
  ASSERT_TRUE(out);
  EXPECT_EQ(zelk::host::matrix_info(out).type, _jit_sym_char);
  EXPECT_EQ(host_rows<std::uint8_t>(out, 255), kOutline);
  ASSERT_TRUE(out = sent_once(l.get()));
  EXPECT_EQ(zelk::host::matrix_info(out).type, _jit_sym_long);
  EXPECT_EQ(host_rows<std::int32_t>(out, 1), kOutline);
  ASSERT_TRUE(out = sent_once(f.get()));
  EXPECT_EQ(host_rows<float>(out, 1.0f), kOutline);
  ASSERT_TRUE(out = sent_once(d.get()));
  EXPECT_EQ(host_rows<double>(out, 1.0), kOutline);
}

TEST(ZelkBinEdgeBox, WrongInputsSendNothing) {
  auto box = make_box("zelk.binedge");
  ASSERT_TRUE(box);
  auto planes = make_matrix(_jit_sym_char, 3, {4, 4});
  box->send_matrix(planes.get());
  auto line = make_matrix(_jit_sym_char, 1, {16});
  box->send_matrix(line.get());
  auto cube = make_matrix(_jit_sym_float32, 1, {4, 4, 3});
  box->send_matrix(cube.get());
  EXPECT_EQ(zt::error_codes(*box),
            (std::vector<long>{JIT_ERR_MISMATCH_PLANE, JIT_ERR_MISMATCH_DIM, JIT_ERR_MISMATCH_DIM}));
  EXPECT_TRUE(zt::sent_matrices(*box).empty());
}

TEST(ZelkBinEdgeBox, SteadyFramesAllocateNothing) {
  auto box = make_box("zelk.binedge");
  ASSERT_TRUE(box);
  auto in = host_image<float>(_jit_sym_float32, kBlock, 2.0f);
  box->send_matrix(in.get());
  const auto before = zelk::host::memory();
  for (int i = 0; i < 200; ++i) {
    box->clear_events();
    box->send_matrix(in.get());
  }
  EXPECT_EQ(zelk::host::memory().allocations, before.allocations);
}


TEST(ZelkBinEdgeCalc, ChecksInOrderAndLeavesTheOutputOnFailure) {
  zt::Calc calc("zelk.binedge");
  ASSERT_TRUE(calc.object);
  auto good = host_image<std::uint8_t>(_jit_sym_char, kBlock, 9);
  auto out = make_matrix(_jit_sym_char, 1, {6, 5});
  cell<std::uint8_t>(out.get(), 0, 0) = 42;
  EXPECT_EQ(calc(nullptr, out.get()), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(calc(good.get(), nullptr), JIT_ERR_INVALID_PTR);
  auto no_in = zelk::host::new_matrix_without_data(_jit_sym_long, 3, {6});
  auto no_out = zelk::host::new_matrix_without_data(_jit_sym_long, 3, {6});
  EXPECT_EQ(calc(no_in, no_out), JIT_ERR_INVALID_INPUT);
  EXPECT_EQ(calc(good.get(), no_out), JIT_ERR_INVALID_OUTPUT);
  jit_object_free(no_in);
  jit_object_free(no_out);
  auto longs = make_matrix(_jit_sym_long, 3, {6});
  EXPECT_EQ(calc(longs.get(), out.get()), JIT_ERR_MISMATCH_TYPE);
  auto planes = make_matrix(_jit_sym_char, 3, {6});
  EXPECT_EQ(calc(planes.get(), out.get()), JIT_ERR_MISMATCH_PLANE);
  auto line = make_matrix(_jit_sym_char, 1, {6});
  EXPECT_EQ(calc(line.get(), out.get()), JIT_ERR_MISMATCH_DIM);
  auto line_out = make_matrix(_jit_sym_char, 1, {6});
  EXPECT_EQ(calc(good.get(), line_out.get()), JIT_ERR_MISMATCH_DIM);  // the height needs two
  EXPECT_EQ(cell<std::uint8_t>(out.get(), 0, 0), 42);
  EXPECT_EQ(calc(good.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(host_rows<std::uint8_t>(out.get(), 255), kOutline);
}

// The region is the overlap; output cells outside it keep their values.
TEST(ZelkBinEdgeCalc, WorksOnTheOverlapOnly) {
  zt::Calc calc("zelk.binedge");
  ASSERT_TRUE(calc.object);
  auto in = host_image<std::int32_t>(_jit_sym_long, kBlock, 5);
  auto out = make_matrix(_jit_sym_long, 2, {4, 7, 2}, 40);
  for (long y = 0; y < 7; ++y)
    for (long x = 0; x < 4; ++x) cell<std::int32_t>(out.get(), x, y) = cell<std::int32_t>(out.get(), x, y, 1) = 3;
  ASSERT_EQ(calc(in.get(), out.get()), JIT_ERR_NONE);
  // Column 4 of the input lies outside the region: no neighbour there.
  const Rows region_edges = {"....", ".###", ".#..", ".###", "...."};
  for (long y = 0; y < 7; ++y)
    for (long x = 0; x < 4; ++x) {
      const long want = y >= 5 ? 3 : (region_edges[y][x] == '#' ? 1 : 0);
      EXPECT_EQ(cell<std::int32_t>(out.get(), x, y), want) << x << "," << y;
      EXPECT_EQ(cell<std::int32_t>(out.get(), x, y, 1), 3);
    }
  auto empty = make_matrix(_jit_sym_float64, 1, {0, 3});
  auto empty_out = make_matrix(_jit_sym_float64, 1, {5, 0});
  EXPECT_EQ(calc(empty.get(), empty_out.get()), JIT_ERR_NONE);
}

}  // namespace
