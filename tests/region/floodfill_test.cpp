// Flood fill: the computation on hand-made images, then the object through
// the host (against OpenCV's floodFill in floodfill_opencv_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "floodfill_support.h"
#include "region/floodfill.h"
#include "support/host_fixture.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// Rows of '0'/'1' (or any other digit for other non-zero values).
OwnedMatrix char_image(const std::vector<std::string>& rows, long padding = 3) {
  const long h = static_cast<long>(rows.size());
  const long w = h ? static_cast<long>(rows[0].size()) : 0;
  OwnedMatrix m(CellType::Char, 1, {w, h}, padding);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x)
      m.at<std::uint8_t>(x, y) = static_cast<std::uint8_t>(rows[y][x] == '0' ? 0 : (rows[y][x] - '0') * 28);
  return m;
}

using Rows = std::vector<std::string>;

TEST(FloodFill, FillsTheRegionUnderTheSeedOnly) {
  auto in = char_image({"11000",
                        "01001",
                        "01111",
                        "00000",
                        "11011"});
  EXPECT_EQ(fill(in, 0, 0), (Rows{"##...", ".#..#", ".####", ".....", "....."}));
  EXPECT_EQ(fill(in, 4, 4), (Rows{".....", ".....", ".....", ".....", "...##"}));
}

TEST(FloodFill, CornerContactDoesNotJoinRegions) {
  auto in = char_image({"1100",
                        "1100",
                        "0011",
                        "0011"});
  EXPECT_EQ(fill(in, 0, 0), (Rows{"##..", "##..", "....", "...."}));
  EXPECT_EQ(fill(in, 3, 3), (Rows{"....", "....", "..##", "..##"}));
}

TEST(FloodFill, OneRowFillsOnlyTheSeedRun) {
  auto in = char_image({"0111011110"});
  EXPECT_EQ(fill(in, 5, 0), (Rows{".....####."}));
  EXPECT_EQ(fill(in, 3, 0), (Rows{".###......"}));
}

TEST(FloodFill, AllForegroundFillsEverythingFromEightCells) {
  for (auto size : std::vector<std::pair<long, long>>{{4, 2}, {2, 4}, {3, 3}, {8, 1}, {17, 13}}) {
    OwnedMatrix in(CellType::Char, 1, {size.first, size.second}, 1);
    for (long y = 0; y < size.second; ++y)
      for (long x = 0; x < size.first; ++x) in.at<std::uint8_t>(x, y) = 200;
    for (const auto& row : fill(in, size.first - 1, size.second - 1))
      EXPECT_EQ(row, std::string(size.first, '#')) << size.first << "x" << size.second;
  }
}

TEST(FloodFill, SpiralAndUTurnsAreFollowed) {
  auto in = char_image({"111111111",
                        "000000001",
                        "111111101",
                        "100000101",
                        "101110101",
                        "101000101",
                        "101111101",
                        "100000001",
                        "111111111"});
  auto out = fill(in, 4, 4);
  for (long y = 0; y < 9; ++y)
    for (long x = 0; x < 9; ++x)
      EXPECT_EQ(out[y][x] == '#', in.at<std::uint8_t>(x, y) != 0) << x << "," << y;
}

// Two rows: the seed's own pass reaches the other row even when the stack
// has no room, through cells directly beside the seed's run only.
TEST(FloodFill, TwoRowImages) {
  auto full = char_image({"111", "111"});
  EXPECT_EQ(fill(full, 0, 0), (Rows{"###", "###"}));  // the cell under the run's left end too
  auto column = char_image({"1", "1"});
  EXPECT_EQ(fill(column, 0, 1), (Rows{"#", "#"}));
  auto corner = char_image({"100", "011"});
  EXPECT_EQ(fill(corner, 0, 0), (Rows{"#..", "..."}));
  auto corner2 = char_image({"011", "100"});
  EXPECT_EQ(fill(corner2, 2, 0), (Rows{".##", "..."}));
  auto step = char_image({"011", "110"});
  EXPECT_EQ(fill(step, 1, 0), (Rows{".##", "##."}));
  // Wider two-row images run the general search: a zigzag is followed.
  auto zigzag = char_image({"11100111", "00111100"});
  EXPECT_EQ(fill(zigzag, 0, 0), (Rows{"###..###", "..####.."}));
  auto from_below = char_image({"11100111", "00111100"});
  EXPECT_EQ(fill(from_below, 3, 1), (Rows{"###..###", "..####.."}));
}

// Too small a region for the stack: only the seed's run, as labelling does.
TEST(FloodFill, StackLimitOfSmallRegions) {
  auto column = char_image({"1", "1", "1"});
  EXPECT_EQ(fill(column, 0, 1), (Rows{".", "#", "."}));
  auto block = char_image({"11", "11", "11"});
  EXPECT_EQ(fill(block, 0, 0), (Rows{"##", "..", ".."}));
}

// Worked out by hand; the larger ones overflow 32-bit arithmetic, which is
// what `long` gives on Windows.
TEST(FloodFillStack, SizesAreCountedInSixtyFourBits) {
  struct Case {
    long w, h;
    std::int64_t limit, room, bytes;
  };
  for (const Case& c : {Case{7, 3, 5, 14, 336}, Case{20000, 20000, 100000000, 100020002, 2400480048},
                        Case{65535, 65535, 1073709056, 1073774593, 25770590232}}) {
    EXPECT_EQ(region::fill_stack_limit(c.w, c.h), c.limit) << c.w << "x" << c.h;
    EXPECT_EQ(region::fill_stack_room(c.w, c.h), c.room) << c.w << "x" << c.h;
    EXPECT_EQ(region::fill_stack_bytes(c.w, c.h), c.bytes) << c.w << "x" << c.h;
  }
}

TEST(FloodFillStack, ReusedForTheSameSizeAndRetriedAfterFailure) {
  static int calls;
  calls = 0;
  auto counting = [](std::size_t n) -> void* { ++calls; return std::malloc(n); };
  auto failing = [](std::size_t) -> void* { ++calls; return nullptr; };
  region::FillStack s;
  ASSERT_TRUE(region::reserve_fill_stack(s, region::fill_stack_bytes(64, 48), counting));
  const auto* first = s.records;
  EXPECT_EQ(s.bytes, region::fill_stack_bytes(64, 48));
  ASSERT_TRUE(region::reserve_fill_stack(s, region::fill_stack_bytes(64, 48), counting));
  EXPECT_EQ(s.records, first);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(region::reserve_fill_stack(s, region::fill_stack_bytes(65, 48), failing));
  EXPECT_EQ(s.records, nullptr);
  EXPECT_EQ(s.bytes, 0);
  ASSERT_TRUE(region::reserve_fill_stack(s, region::fill_stack_bytes(65, 48), counting));
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(s.bytes, region::fill_stack_bytes(65, 48));
  region::release_fill_stack(s);
  EXPECT_EQ(s.records, nullptr);
}

}  // namespace

// ---- through the host ----------------------------------------------------------------

namespace {

using zt::cell;
using zt::HostMatrix;
using zt::make_box;
using zt::make_matrix;

HostMatrix host_image(const std::vector<std::string>& rows, long row_stride = 0) {
  auto m = make_matrix(_jit_sym_char, 1, {static_cast<long>(rows[0].size()), static_cast<long>(rows.size())},
                       row_stride);
  for (long y = 0; y < static_cast<long>(rows.size()); ++y)
    for (long x = 0; x < static_cast<long>(rows[y].size()); ++x)
      cell<std::uint8_t>(m.get(), x, y) = rows[y][x] == '#' ? 200 : 0;
  return m;
}

Rows host_rows(void* m) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  Rows rows;
  for (long y = 0; y < info.dim[1]; ++y) {
    std::string r;
    for (long x = 0; x < info.dim[0]; ++x) {
      const auto v = cell<std::uint8_t>(m, x, y);
      r += v == 255 ? '#' : (v == 0 ? '.' : '?');
    }
    rows.push_back(r);
  }
  return rows;
}

const Rows kScene = {"##..#.",
                     ".#..#.",
                     ".####.",
                     "#.....",
                     "##.###"};

// The only matrix a box sent, as rows.
Rows sent_rows(const zelk::host::Box& box) {
  const auto sent = zt::sent_matrices(box);
  EXPECT_EQ(sent.size(), 1u);
  if (sent.size() != 1) return {};
  EXPECT_EQ(zelk::host::matrix_info(sent[0]).type, _jit_sym_char);
  return host_rows(sent[0]);
}

TEST(ZelkFloodFillBox, FillsFromTheSeedAttribute) {
  auto in = host_image(kScene, 32);
  auto box = make_box("zelk.floodfill");
  ASSERT_TRUE(box);
  box->send_matrix(in.get());  // default seed 0 0
  EXPECT_EQ(sent_rows(*box), (Rows{"##..#.", ".#..#.", ".####.", "......", "......"}));

  box->clear_events();
  ASSERT_TRUE(box->send_text("seed 4 4"));
  box->send_matrix(in.get());
  EXPECT_EQ(sent_rows(*box), (Rows{"......", "......", "......", "......", "...###"}));

  auto boxed = make_box("zelk.floodfill @seed 0 3");
  ASSERT_TRUE(boxed);
  boxed->send_matrix(in.get());
  EXPECT_EQ(sent_rows(*boxed), (Rows{"......", "......", "......", "#.....", "##...."}));
  EXPECT_TRUE(zt::error_codes(*boxed).empty());
}

TEST(ZelkFloodFillBox, SeedsOffTheRegionGiveAnEmptyImage) {
  auto in = host_image(kScene);
  const Rows empty(5, "......");
  // Seeds past 32 bits would land on (0, 0) and (0, 4) if cut to a 32-bit long.
  for (const char* seed : {"seed 6 0", "seed 0 5", "seed -1 0", "seed 0 -3", "seed 2 0", "seed 99999 99999",
                           "seed 4294967296 0", "seed 0 4294967300"}) {
    auto box = make_box("zelk.floodfill");
    ASSERT_TRUE(box);
    ASSERT_TRUE(box->send_text(seed));
    box->send_matrix(in.get());
    EXPECT_EQ(sent_rows(*box), empty) << seed;
    EXPECT_TRUE(zt::error_codes(*box).empty()) << seed;
  }
}

TEST(ZelkFloodFillBox, SizeChangesAndSteadyFrames) {
  auto box = make_box("zelk.floodfill");
  ASSERT_TRUE(box);
  auto small = host_image({"##", "##", "##", "##"});
  auto large = host_image(kScene);
  box->send_matrix(small.get());
  box->send_matrix(large.get());
  box->send_matrix(small.get());
  const auto sent = zt::sent_matrices(*box);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(host_rows(sent[2]), (Rows{"##", "##", "##", "##"}));
  const auto before = zelk::host::memory();
  for (int i = 0; i < 200; ++i) {
    box->clear_events();
    box->send_matrix(small.get());
  }
  const auto after = zelk::host::memory();
  EXPECT_EQ(after.allocations, before.allocations);
  EXPECT_EQ(after.live_bytes, before.live_bytes);
}


TEST(ZelkFloodFillCalc, ChecksInOrder) {
  zt::Calc calc("zelk.floodfill");
  ASSERT_TRUE(calc.object);
  auto good = host_image(kScene);
  auto out = make_matrix(_jit_sym_char, 1, {6, 5});
  EXPECT_EQ(calc(nullptr, out.get()), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(calc(good.get(), nullptr), JIT_ERR_INVALID_PTR);
  auto no_data = zelk::host::new_matrix_without_data(_jit_sym_long, 3, {6, 5, 2});
  EXPECT_EQ(calc(no_data, out.get()), JIT_ERR_GENERIC);
  EXPECT_EQ(calc(good.get(), no_data), JIT_ERR_GENERIC);
  jit_object_free(no_data);
  auto longs = make_matrix(_jit_sym_long, 2, {6, 5, 2});
  EXPECT_EQ(calc(longs.get(), out.get()), JIT_ERR_MISMATCH_TYPE);
  auto float_out = make_matrix(_jit_sym_float32, 2, {6});
  EXPECT_EQ(calc(good.get(), float_out.get()), JIT_ERR_MISMATCH_TYPE);
  auto planes = make_matrix(_jit_sym_char, 2, {6, 5, 2});
  EXPECT_EQ(calc(planes.get(), out.get()), JIT_ERR_MISMATCH_PLANE);
  auto planes_out = make_matrix(_jit_sym_char, 4, {6});
  EXPECT_EQ(calc(good.get(), planes_out.get()), JIT_ERR_MISMATCH_PLANE);
  auto cube = make_matrix(_jit_sym_char, 1, {6, 5, 2});
  EXPECT_EQ(calc(cube.get(), out.get()), JIT_ERR_MISMATCH_DIM);
  auto line = make_matrix(_jit_sym_char, 1, {30});
  EXPECT_EQ(calc(good.get(), line.get()), JIT_ERR_MISMATCH_DIM);
  // Nothing of the refused frames reached the output.
  cell<std::uint8_t>(out.get(), 5, 4) = 7;
  EXPECT_EQ(calc(cube.get(), out.get()), JIT_ERR_MISMATCH_DIM);
  EXPECT_EQ(cell<std::uint8_t>(out.get(), 5, 4), 7);
  EXPECT_EQ(calc(good.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(host_rows(out.get()), (Rows{"##..#.", ".#..#.", ".####.", "......", "......"}));
}

// An output of other dimensions is filled within both matrices only: the
// fill follows the region they share and is cleared elsewhere.
TEST(ZelkFloodFillCalc, OutputOfOtherDimensions) {
  zt::Calc calc("zelk.floodfill");
  ASSERT_TRUE(calc.object);
  auto in = host_image({"######", "#....#", "#.##.#", "######"}, 48);
  auto narrow = make_matrix(_jit_sym_char, 1, {3, 6}, 19);
  for (long y = 0; y < 6; ++y)
    for (long x = 0; x < 3; ++x) cell<std::uint8_t>(narrow.get(), x, y) = 9;
  ASSERT_EQ(calc(in.get(), narrow.get()), JIT_ERR_NONE);
  EXPECT_EQ(host_rows(narrow.get()), (Rows{"###", "#..", "#.#", "###", "...", "..."}));
  auto wide = make_matrix(_jit_sym_char, 1, {9, 2});
  jit_attr_setlong_array(calc.object.get(), gensym("seed"), 2, std::vector<t_atom_long>{3, 2}.data());
  ASSERT_EQ(calc(in.get(), wide.get()), JIT_ERR_NONE);  // (3, 2) lies outside the shared rows
  EXPECT_EQ(host_rows(wide.get()), (Rows{".........", "........."}));
  jit_attr_setlong_array(calc.object.get(), gensym("seed"), 2, std::vector<t_atom_long>{5, 1}.data());
  ASSERT_EQ(calc(in.get(), wide.get()), JIT_ERR_NONE);
  EXPECT_EQ(host_rows(wide.get()), (Rows{"######...", "#....#..."}));
  auto empty = make_matrix(_jit_sym_char, 1, {0, 4});
  EXPECT_EQ(calc(empty.get(), empty.get()), JIT_ERR_NONE);
}

}  // namespace
