// Hough peaks: clamps, neighbour modes, borders, early exit, then the
// object through the host and the chain image -> zelk.hough -> zelk.extrema.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "region/extrema.h"
#include "support/host_fixture.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;
using Peaks = std::vector<std::pair<long, long>>;

struct Acc {
  OwnedMatrix m;
  Acc(long w, long h) : m(CellType::Long, 1, {w, h}, 8) {}
  std::int32_t& operator()(long x, long y) { return m.at<std::int32_t>(x, y); }
};

Peaks peaks(Acc& a, long threshold = 20, long maxpoints = 64, long mode = 0) {
  const auto s = region::clamp_peak_settings(threshold, maxpoints, mode);
  OwnedMatrix list(CellType::Float32, 2, {s.maxpoints});
  const auto& m = a.m.matrix();
  const long n = region::find_peaks(frame::plane_view<const std::int32_t>(m, m.dim[0], m.dim[1]), s,
                                    reinterpret_cast<float*>(list.matrix().data), 2);
  Peaks p;
  for (long k = 0; k < s.maxpoints; ++k) {
    const float x = list.at<float>(k, 0, 0), y = list.at<float>(k, 0, 1);
    if (k < n) p.emplace_back(static_cast<long>(x), static_cast<long>(y));
    else EXPECT_TRUE(x == 0.0f && y == 0.0f) << k;
  }
  return p;
}

TEST(Peaks, ThresholdIsExceededStrictly) {
  Acc a(7, 6);
  EXPECT_TRUE(peaks(a).empty());
  for (long y = 1; y < 4; ++y)
    for (long x = 1; x < 4; ++x) a(x, y) = 20;
  a(2, 2) = 21;
  EXPECT_EQ(peaks(a), (Peaks{{2, 2}}));
  a(2, 2) = 20;
  EXPECT_TRUE(peaks(a).empty());
  EXPECT_TRUE(peaks(a, 19).empty());  // a plateau has no peak
  a(2, 2) = 21;
  EXPECT_TRUE(peaks(a, 21).empty());
}

TEST(Peaks, EqualNeighboursRejectBoth) {
  Acc a(8, 5);
  a(3, 2) = 50;
  a(4, 2) = 50;
  EXPECT_TRUE(peaks(a).empty());
  a(4, 2) = 49;
  EXPECT_EQ(peaks(a), (Peaks{{3, 2}}));
}

TEST(Peaks, BorderCellsAreNeverCandidates) {
  Acc a(6, 5);
  a(0, 2) = a(5, 2) = a(3, 0) = a(3, 4) = a(0, 0) = a(5, 4) = 100;
  EXPECT_TRUE(peaks(a).empty());
  a(2, 2) = 100;
  EXPECT_EQ(peaks(a), (Peaks{{2, 2}}));
}

TEST(Peaks, FourNeighbourModeIgnoresDiagonals) {
  Acc a(6, 6);
  a(2, 2) = 40;
  a(3, 3) = 60;
  EXPECT_EQ(peaks(a, 20, 64, 0), (Peaks{{3, 3}}));
  EXPECT_EQ(peaks(a, 20, 64, 1), (Peaks{{2, 2}, {3, 3}}));
  EXPECT_EQ(peaks(a, 20, 64, 7), (Peaks{{2, 2}, {3, 3}}));
}

TEST(Peaks, SmallAccumulatorsHaveNoPeaks) {
  for (auto size : std::vector<std::pair<long, long>>{{2, 9}, {9, 2}, {1, 1}, {0, 5}, {5, 0}}) {
    Acc a(size.first, size.second);
    for (long y = 0; y < size.second; ++y)
      for (long x = 0; x < size.first; ++x) a(x, y) = static_cast<std::int32_t>(100 + x * 7 - y * 3);
    EXPECT_TRUE(peaks(a, 0).empty());
  }
  Acc three(3, 3);
  three(1, 1) = 5;
  EXPECT_EQ(peaks(three, 0), (Peaks{{1, 1}}));
}

}  // namespace

// ---- through the host ----------------------------------------------------------------

namespace {

using zt::cell;
using zt::HostMatrix;
using zt::make_box;
using zt::make_matrix;

const char* const kRefused = "The input must come from zelk.hough!";

HostMatrix accumulator(long w, long h, const std::vector<std::pair<std::pair<long, long>, int>>& cells,
                       long row_stride = 0) {
  auto m = make_matrix(_jit_sym_long, 1, {w, h}, row_stride);
  for (const auto& c : cells) cell<std::int32_t>(m.get(), c.first.first, c.first.second) = c.second;
  return m;
}

// The peak list a box sent: every cell, as (column, row) pairs.
Peaks list_of(void* m, long expected_cells) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  EXPECT_EQ(info.type, _jit_sym_float32);
  EXPECT_EQ(info.planecount, 2);
  EXPECT_EQ(info.dimcount, 1);
  EXPECT_EQ(info.dim[0], expected_cells);
  Peaks p;
  for (long k = 0; k < info.dim[0]; ++k)
    p.emplace_back(static_cast<long>(cell<float>(m, k, 0, 0)), static_cast<long>(cell<float>(m, k, 0, 1)));
  return p;
}

// Found peaks up to the first (0, 0).
Peaks found(const Peaks& list) {
  Peaks p;
  for (const auto& e : list) {
    if (e.first == 0 && e.second == 0) break;
    p.push_back(e);
  }
  return p;
}

Peaks sent_list(zelk::host::Box& box, void* in, long cells) {
  box.clear_events();
  box.send_matrix(in);
  const auto sent = zt::sent_matrices(box);
  EXPECT_EQ(sent.size(), 1u);
  EXPECT_TRUE(zt::error_codes(box).empty());
  return sent.empty() ? Peaks{} : list_of(sent[0], cells);
}

TEST(ZelkExtremaBox, ListsPeaksInRasterOrder) {
  auto box = make_box("zelk.extrema");
  ASSERT_TRUE(box);
  auto acc = accumulator(12, 9, {{{9, 1}, 30}, {{2, 3}, 90}, {{6, 3}, 21}, {{7, 3}, 20}, {{4, 5}, 20}, {{8, 7}, 22}}, 64);
  const Peaks list = sent_list(*box, acc.get(), 64);
  EXPECT_EQ(found(list), (Peaks{{9, 1}, {2, 3}, {6, 3}, {8, 7}}));
  for (std::size_t k = 4; k < list.size(); ++k) EXPECT_EQ(list[k], (std::pair<long, long>{0, 0}));

  ASSERT_TRUE(box->send_text("maxpoints 3"));
  EXPECT_EQ(found(sent_list(*box, acc.get(), 3)), (Peaks{{9, 1}, {2, 3}, {6, 3}}));
  ASSERT_TRUE(box->send_text("mode 7"));
  ASSERT_TRUE(box->send_text("threshold -5"));
  ASSERT_TRUE(box->send_text("maxpoints 0"));
  EXPECT_EQ(found(sent_list(*box, acc.get(), 1)), (Peaks{{9, 1}}));
  ASSERT_TRUE(box->send_text("maxpoints 10000"));
  EXPECT_EQ(found(sent_list(*box, acc.get(), 4096)), (Peaks{{9, 1}, {2, 3}, {6, 3}, {4, 5}, {8, 7}}));
  EXPECT_EQ(jit_attr_getlong(box->jit_object(), gensym("maxpoints")), 10000);
  EXPECT_EQ(jit_attr_getlong(box->jit_object(), gensym("mode")), 7);
  EXPECT_EQ(jit_attr_getlong(box->jit_object(), gensym("threshold")), -5);

  auto flat = accumulator(2, 40, {{{1, 20}, 500}});
  EXPECT_TRUE(found(sent_list(*box, flat.get(), 4096)).empty());
}

TEST(ZelkExtremaBox, WrongInputsAreRefusedWithTheirMessage) {
  auto box = make_box("zelk.extrema");
  ASSERT_TRUE(box);
  auto chars = make_matrix(_jit_sym_char, 1, {8, 8});
  auto planes = make_matrix(_jit_sym_long, 2, {8, 8});
  auto line = make_matrix(_jit_sym_long, 1, {64});
  for (void* m : {chars.get(), planes.get(), line.get(), chars.get()}) box->send_matrix(m);
  EXPECT_EQ(zt::error_codes(*box), (std::vector<long>{JIT_ERR_MISMATCH_TYPE, JIT_ERR_MISMATCH_PLANE,
                                                      JIT_ERR_MISMATCH_DIM, JIT_ERR_MISMATCH_TYPE}));
  EXPECT_EQ(zt::console_lines(*box), std::vector<std::string>(4, kRefused));
  EXPECT_TRUE(zt::sent_matrices(*box).empty());
}


TEST(ZelkExtremaCalc, ChecksInOrder) {
  zt::Calc calc("zelk.extrema");
  ASSERT_TRUE(calc.object);
  auto good = accumulator(6, 6, {{{2, 2}, 50}});
  auto out = make_matrix(_jit_sym_char, 1, {3, 3});  // retyped into a peak list
  EXPECT_EQ(calc(nullptr, out.get()), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(calc(good.get(), nullptr), JIT_ERR_INVALID_PTR);
  auto floats = make_matrix(_jit_sym_float32, 3, {6});
  EXPECT_EQ(calc(floats.get(), out.get()), JIT_ERR_MISMATCH_TYPE);
  auto planes = make_matrix(_jit_sym_long, 3, {6});
  EXPECT_EQ(calc(planes.get(), out.get()), JIT_ERR_MISMATCH_PLANE);
  auto line = make_matrix(_jit_sym_long, 1, {6});
  EXPECT_EQ(calc(line.get(), out.get()), JIT_ERR_MISMATCH_DIM);
  EXPECT_EQ(zelk::host::matrix_info(out.get()).type, _jit_sym_char);  // refused: untouched
  auto no_data = zelk::host::new_matrix_without_data(_jit_sym_long, 1, {6, 6});
  EXPECT_EQ(calc(no_data, out.get()), JIT_ERR_INVALID_PTR);
  jit_object_free(no_data);
  EXPECT_EQ(calc(good.get(), out.get()), JIT_ERR_NONE);
  EXPECT_EQ(found(list_of(out.get(), 64)), (Peaks{{2, 2}}));
}

// Cells whose distance from the line x cos θ + y sin θ = ρ is below half a
// cell, so that each one votes for the line's own bin.
void draw_line(void* image, long w, long h, double degrees, double rho) {
  const double a = degrees * 3.141592653589793 / 180.0;
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x)
      if (std::fabs(x * std::cos(a) + y * std::sin(a) - rho) < 0.45) cell<std::uint8_t>(image, x, y) = 255;
}

TEST(ZelkExtremaChain, ThreeLinesThroughHoughAndExtrema) {
  const long w = 320, h = 240;
  auto image = make_matrix(_jit_sym_char, 1, {w, h}, 336);
  draw_line(image.get(), w, h, 30, 120);
  draw_line(image.get(), w, h, 90, 60);
  draw_line(image.get(), w, h, 135, -40);
  auto hough = make_box("zelk.hough @rho 1");
  auto peaks = make_box("zelk.extrema @threshold 60");
  ASSERT_TRUE(hough && peaks);
  hough->connect(0, *peaks);
  hough->send_matrix(image.get());
  const auto sent = zt::sent_matrices(*peaks);
  ASSERT_EQ(sent.size(), 1u);
  const long c = (2 * (w + h) + 1 - 1) / 2;  // Nρ = 1121 at rho 1
  // Rows are 5-degree steps: 30, 90 and 135 degrees are rows 6, 18 and 27.
  EXPECT_EQ(found(list_of(sent[0], 64)), (Peaks{{c + 120, 6}, {c + 60, 18}, {c - 40, 27}}));
  EXPECT_TRUE(zt::error_codes(*hough).empty());
  EXPECT_TRUE(zt::error_codes(*peaks).empty());
}

}  // namespace
