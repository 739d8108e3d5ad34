// zelk.label through the host: as a box in a patch, and its matrix_calc
// called directly for the order of its checks.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <utility>
#include <vector>

#include "support/host_fixture.h"

namespace {

using zt::cell;
using zt::HostMatrix;
using zt::make_box;
using zt::make_matrix;

// A char image from text rows ('#' = 255).
HostMatrix char_image(const std::vector<std::string>& rows, long row_stride = 0) {
  auto m = make_matrix(_jit_sym_char, 1, {static_cast<long>(rows[0].size()), static_cast<long>(rows.size())},
                       row_stride);
  for (long y = 0; y < static_cast<long>(rows.size()); ++y)
    for (long x = 0; x < static_cast<long>(rows[y].size()); ++x)
      cell<std::uint8_t>(m.get(), x, y) = rows[y][x] == '#' ? 255 : 0;
  return m;
}

// Cells of a sent matrix of type T as numbers, row by row.
template <class T>
std::vector<long> cells_of(void* m) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  std::vector<long> v;
  for (long y = 0; y < info.dim[1]; ++y)
    for (long x = 0; x < info.dim[0]; ++x) v.push_back(cell<T>(m, x, y));
  return v;
}

const std::vector<std::string> kScene = {"##...#", "##...#", "......", "#.####"};

TEST(ZelkLabelBox, LabelsAndSendsALongMatrix) {
  auto box = make_box("zelk.label");
  ASSERT_TRUE(box);
  auto in = char_image(kScene);
  box->send_matrix(in.get());
  const auto sent = zt::sent_matrices(*box);
  ASSERT_EQ(sent.size(), 1u);
  const t_jit_matrix_info info = zelk::host::matrix_info(sent[0]);
  EXPECT_EQ(info.type, _jit_sym_long);
  EXPECT_EQ(info.dim[0], 6);
  EXPECT_EQ(info.dim[1], 4);
  EXPECT_EQ(cells_of<std::int32_t>(sent[0]),
            (std::vector<long>{1, 1, 0, 0, 0, 2, 1, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 3, 0, 4, 4, 4, 4}));
  EXPECT_TRUE(zt::error_codes(*box).empty());
}

TEST(ZelkLabelBox, BoxArgumentsSetCharOutputAndThreshold) {
  auto box = make_box("zelk.label @charmode 1 @threshold 2");
  ASSERT_TRUE(box);
  auto in = char_image(kScene, 64);  // padded rows
  box->send_matrix(in.get());
  const auto sent = zt::sent_matrices(*box);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(zelk::host::matrix_info(sent[0]).type, _jit_sym_char);
  // Areas 4, 2, 1, 4: the two small blobs go, the others are renumbered 1, 2.
  EXPECT_EQ(cells_of<std::uint8_t>(sent[0]),
            (std::vector<long>{1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 2, 2}));

  // Ranks by area in char output, sent as attribute messages between frames.
  box->clear_events();
  ASSERT_TRUE(box->send_text("threshold 0"));
  ASSERT_TRUE(box->send_text("mode 1"));
  box->send_matrix(in.get());
  const auto ranked = zt::sent_matrices(*box);
  ASSERT_EQ(ranked.size(), 1u);
  const auto v = cells_of<std::uint8_t>(ranked[0]);
  EXPECT_EQ(v[5], 3);   // area 2
  EXPECT_EQ(v[18], 4);  // area 1
  EXPECT_TRUE((v[0] == 1 && v[20] == 2) || (v[0] == 2 && v[20] == 1));  // equal areas, either order
}

TEST(ZelkLabelBox, AttributesAreClipped) {
  auto box = make_box("zelk.label @mode 5 @charmode -3");
  ASSERT_TRUE(box);
  EXPECT_EQ(jit_attr_getlong(box->jit_object(), gensym("mode")), 1);
  EXPECT_EQ(jit_attr_getlong(box->jit_object(), gensym("charmode")), 0);
  ASSERT_TRUE(box->send_text("charmode 9"));
  EXPECT_EQ(jit_attr_getlong(box->jit_object(), gensym("charmode")), 1);
  ASSERT_TRUE(box->send_text("threshold -40"));  // no filter: stored as given, acts as 0
  EXPECT_EQ(jit_attr_getlong(box->jit_object(), gensym("threshold")), -40);
}

TEST(ZelkLabelBox, UnknownObjectsAndBadArgumentsFailClearly) {
  std::string why;
  EXPECT_FALSE(zelk::host::Box::create("zelk.nosuchobject @charmode 1", &why));
  EXPECT_NE(why.find("zelk.nosuchobject"), std::string::npos) << why;
}

TEST(ZelkLabelBox, WrongInputsReportTheirCodeAndSendNothing) {
  auto box = make_box("zelk.label");
  ASSERT_TRUE(box);
  auto floats = make_matrix(_jit_sym_float32, 1, {4, 4});
  box->send_matrix(floats.get());
  auto planes = make_matrix(_jit_sym_char, 3, {4, 4});
  box->send_matrix(planes.get());
  auto line = make_matrix(_jit_sym_char, 1, {16});
  box->send_matrix(line.get());
  EXPECT_EQ(zt::error_codes(*box),
            (std::vector<long>{JIT_ERR_MISMATCH_TYPE, JIT_ERR_MISMATCH_PLANE, JIT_ERR_MISMATCH_DIM}));
  EXPECT_TRUE(zt::sent_matrices(*box).empty());
}

TEST(ZelkLabelBox, SteadyFramesAllocateNothingAfterTheFirst) {
  for (const char* text : {"zelk.label", "zelk.label @charmode 1 @mode 1"}) {
    auto box = make_box(text);
    ASSERT_TRUE(box);
    auto in = char_image(kScene);
    box->send_matrix(in.get());
    const auto before = zelk::host::memory();
    for (int i = 1; i < 1000; ++i) {
      box->clear_events();
      box->send_matrix(in.get());
    }
    const auto after = zelk::host::memory();
    EXPECT_EQ(after.allocations, before.allocations) << text;
    EXPECT_EQ(after.live_bytes, before.live_bytes) << text;
  }
}

TEST(ZelkLabelBox, ScratchTheHostCannotHoldFailsTheFrame) {
  // A comb: one fill pushes a record for every tooth, far more than the
  // stack of the small first frame holds.
  std::vector<std::string> comb(500, std::string(500, '.'));
  comb[0] = std::string(500, '#');
  for (long y = 1; y < 500; ++y)
    for (long x = 1; x < 500; x += 2) comb[y][x] = '#';
  // long output: the stack (6 bytes a cell) is refused, the output (4) is not;
  // char output: the 32-bit labels behind it are refused too.
  for (const auto& [text, ceiling] : {std::pair<const char*, long long>{"zelk.label", 1 << 20},
                                      std::pair<const char*, long long>{"zelk.label @charmode 1", 1 << 19}}) {
    auto box = make_box(text);
    ASSERT_TRUE(box);
    box->send_matrix(char_image(kScene).get());
    auto big = char_image(comb);
    const long long limit = zelk::host::max_block_bytes();
    zelk::host::set_max_block_bytes(ceiling);
    box->send_matrix(big.get());
    zelk::host::set_max_block_bytes(limit);
    EXPECT_EQ(zt::error_codes(*box), (std::vector<long>{JIT_ERR_OUT_OF_MEM})) << text;
    EXPECT_EQ(zt::sent_matrices(*box).size(), 1u) << text;
    // With room, the comb is one blob.
    box->send_matrix(big.get());
    ASSERT_EQ(zt::sent_matrices(*box).size(), 2u) << text;
    void* labels = zt::sent_matrices(*box).back();
    long ones = 0, foreground = 0;
    for (long y = 0; y < 500; ++y)
      for (long x = 0; x < 500; ++x) {
        foreground += comb[y][x] == '#';
        const long v = std::string(text).find("charmode") != std::string::npos ? cell<std::uint8_t>(labels, x, y)
                                                                               : cell<std::int32_t>(labels, x, y);
        ones += v == 1;
      }
    EXPECT_EQ(ones, foreground) << text;
  }
  // From char output to long: an output that cannot widen keeps its bytes,
  // which 32-bit labels would overrun.
  auto box = make_box("zelk.label @charmode 1");
  ASSERT_TRUE(box);
  auto big = char_image(comb);
  box->send_matrix(big.get());
  ASSERT_TRUE(box->send_text("charmode 0"));
  const long long limit = zelk::host::max_block_bytes();
  zelk::host::set_max_block_bytes(1 << 19);
  box->send_matrix(big.get());
  zelk::host::set_max_block_bytes(limit);
  EXPECT_EQ(zt::error_codes(*box), (std::vector<long>{JIT_ERR_OUT_OF_MEM}));
  EXPECT_EQ(zt::sent_matrices(*box).size(), 1u);
}

// ---- matrix_calc called directly ------------------------------------------------


TEST(ZelkLabelCalc, ChecksInOrderAndRetypesTheOutputFirst) {
  zt::Calc calc("zelk.label");
  ASSERT_TRUE(calc.object);
  auto out = make_matrix(_jit_sym_long, 1, {4, 4});
  EXPECT_EQ(calc(nullptr, out.get()), JIT_ERR_INVALID_PTR);
  auto good = char_image({"#..#", "....", "....", "#..#"});
  EXPECT_EQ(calc(good.get(), nullptr), JIT_ERR_INVALID_PTR);

  auto no_data = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {4, 4});
  EXPECT_EQ(calc(no_data, out.get()), JIT_ERR_GENERIC);
  jit_object_free(no_data);

  // Type before planes before dimensions; the output takes its new type
  // before the checks, its cells are left as they were.
  jit_attr_setlong(calc.object.get(), gensym("charmode"), 1);
  auto floats = make_matrix(_jit_sym_float32, 4, {4, 4, 2});
  auto marked = make_matrix(_jit_sym_long, 1, {4, 4});
  cell<std::int32_t>(marked.get(), 1, 1) = 77;
  EXPECT_EQ(calc(floats.get(), marked.get()), JIT_ERR_MISMATCH_TYPE);
  EXPECT_EQ(zelk::host::matrix_info(marked.get()).type, _jit_sym_char);
  auto planes = make_matrix(_jit_sym_char, 2, {4, 4, 2});
  EXPECT_EQ(calc(planes.get(), out.get()), JIT_ERR_MISMATCH_PLANE);
  auto cube = make_matrix(_jit_sym_char, 1, {4, 4, 2});
  EXPECT_EQ(calc(cube.get(), out.get()), JIT_ERR_MISMATCH_DIM);
  auto row = make_matrix(_jit_sym_long, 1, {16});
  EXPECT_EQ(calc(good.get(), row.get()), JIT_ERR_MISMATCH_DIM);
  EXPECT_EQ(calc(good.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(cell<std::uint8_t>(out.get(), 3, 3), 4);
}

TEST(ZelkLabelCalc, WorksOnTheSmallerOfInputAndOutput) {
  zt::Calc calc("zelk.label");
  ASSERT_TRUE(calc.object);
  auto in = char_image({"######", "######", "######", "######"});
  auto out = make_matrix(_jit_sym_long, 1, {3, 5});
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 3; ++x) cell<std::int32_t>(out.get(), x, y) = 9;
  ASSERT_EQ(calc(in.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(cell<std::int32_t>(out.get(), 2, 3), 1);
  EXPECT_EQ(cell<std::int32_t>(out.get(), 2, 4), 0);  // outside the region: cleared
  // Empty images label nothing and write nothing.
  auto empty = make_matrix(_jit_sym_char, 1, {0, 7});
  auto empty_out = make_matrix(_jit_sym_long, 1, {0, 7});
  EXPECT_EQ(calc(empty.get(), empty_out.get()), JIT_ERR_NONE);
}

// A fixed output (adapt 0 with dim, or matrix arguments) keeps its size; the
// labels cover the part that input and output share, the rest stays 0.
TEST(ZelkLabelBox, FixedOutputLabelsTheSharedPart) {
  struct Case {
    const char* box;
    std::vector<std::string> frame;
    std::vector<long> want;  // the sent matrix, row by row
  } const cases[] = {
      {"zelk.label @adapt 0 @dim 8 4 @planecount 1",
       {"##.....#.#", "##.....#.#", "##.......#", "##.......#"},
       {1, 1, 0, 0, 0, 0, 0, 2, 1, 1, 0, 0, 0, 0, 0, 2, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}},
      {"zelk.label 1 long 4 3", {"#.", ".#"}, {1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0}},
      // The wrapper's default of 4 planes, or a plane count asked for: the
      // output still has the one plane of labels the object writes.
      {"zelk.label @adapt 0 @dim 4 3", {"####", "....", "...."}, {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"zelk.label 3 float32 4 2", {"#..#", "#..."}, {1, 0, 0, 2, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    auto b = make_box(c.box);
    auto in = char_image(c.frame);
    b->send_matrix(in.get());
    auto sent = zt::sent_matrices(*b);
    ASSERT_EQ(sent.size(), 1u) << c.box;
    EXPECT_EQ(zelk::host::matrix_info(sent[0]).planecount, 1) << c.box;
    EXPECT_EQ(cells_of<std::int32_t>(sent[0]), c.want) << c.box;
  }
}

// A huge size asked for costs no pass over its memory: a new block comes
// zeroed from the system, page by page as it is touched. (Under the address
// sanitizer the allocator itself touches it.)
TEST(ZelkLabelBox, AHugeDimTouchesNoMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator writes its own bookkeeping";
#endif
  auto peak_mb = [] {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
  };
  auto box = make_box("zelk.label");
  ASSERT_TRUE(box);
  const long before = peak_mb();
  ASSERT_TRUE(box->send_text("dim 40000 40000"));  // 1.6 GB of char
  EXPECT_EQ(box->attribute("dim").size(), 2u);
  EXPECT_LT(peak_mb() - before, 200);
}

}  // namespace
