// Hough transform: bin counts, clamps, rounding, votes against a plain
// reference loop, then the object through the host (against OpenCV's
// HoughLines in hough_opencv_test.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "hough_support.h"
#include "region/hough.h"
#include "support/host_fixture.h"
#include "support/owned_matrix.h"
#include "support/scenes.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

TEST(HoughGeometry, BinCountsAtTheLimitsAndDefault) {
  EXPECT_EQ(region::hough_geometry(4, 0.0872664626, 10, 10).n_theta, 35);
  EXPECT_EQ(region::hough_geometry(4, 0.00872664626, 10, 10).n_theta, 359);
  EXPECT_EQ(region::hough_geometry(4, 3.141592653589793 / 180.0, 10, 10).n_theta, 180);
  EXPECT_EQ(region::hough_geometry(4, 1.570796326795, 10, 10).n_theta, 1);
  EXPECT_EQ(region::hough_geometry(4, 0.0, 10, 10).n_theta, 359);
  EXPECT_EQ(region::hough_geometry(4, -1.0, 10, 10).n_theta, 359);
  EXPECT_EQ(region::hough_geometry(4, 2.0, 10, 10).n_theta, 1);
}

TEST(HoughGeometry, DistanceBins) {
  auto g = region::hough_geometry(4.0, region::kDefaultTheta, 320, 240);
  EXPECT_EQ(g.n_rho, 280);
  EXPECT_EQ(g.c, 139);
  g = region::hough_geometry(1.0, region::kDefaultTheta, 640, 480);
  EXPECT_EQ(g.n_rho, 2241);
  EXPECT_EQ(g.c, 1120);
  EXPECT_EQ(region::hough_geometry(0.5, 0.1, 640, 480).n_rho, 2241);
  EXPECT_EQ(region::hough_geometry(100, 0.1, 640, 480).n_rho, 112);
  EXPECT_EQ(region::hough_geometry(20, 0.1, 100, 1).n_rho, 10);
  EXPECT_EQ(region::hough_geometry(20, 0.1, 100, 1).c, 4);
  g = region::hough_geometry(20, 0.1, 2, 2);
  EXPECT_EQ(g.n_rho, 0);
  EXPECT_EQ(g.c, 0);
  EXPECT_EQ(region::hough_geometry(1, 0.1, 0, 0).n_rho, 1);
}

TEST(HoughGeometry, NotANumberComputesWithTheDefaults) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto g = region::hough_geometry(nan, nan, 320, 240);
  EXPECT_EQ(g.n_theta, 35);
  EXPECT_EQ(g.n_rho, 280);
  EXPECT_EQ(g.k, 0.25);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(region::hough_geometry(inf, -inf, 320, 240).n_theta, 359);
  EXPECT_EQ(region::hough_geometry(inf, -inf, 320, 240).rho_step, 20.0);
}

TEST(HoughRounding, HalfAwayFromZero) {
  EXPECT_EQ(region::round_vote(2.5), 3);
  EXPECT_EQ(region::round_vote(3.5), 4);
  EXPECT_EQ(region::round_vote(-2.5), -3);
  EXPECT_EQ(region::round_vote(-3.5), -4);
  EXPECT_EQ(region::round_vote(0.49999999999999994), 0);
  EXPECT_EQ(region::round_vote(-0.49999999999999994), 0);
  EXPECT_EQ(region::round_vote(1.4999999999999998), 1);
  EXPECT_EQ(region::round_vote(-0.0), 0);
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> d(-5000.0, 5000.0);
  for (int i = 0; i < 100000; ++i) {
    const double v = d(rng);
    ASSERT_EQ(region::round_vote(v), static_cast<std::int32_t>(std::round(v))) << v;
  }
}

TEST(HoughVotes, EmptyImageAndSingleCells) {
  OwnedMatrix in(CellType::Char, 1, {320, 240}, 3);
  auto a = vote(in);
  EXPECT_EQ(a.g.n_rho, 280);
  EXPECT_EQ(a.g.n_theta, 35);
  EXPECT_EQ(a.total(), 0);

  in.at<std::uint8_t>(0, 0) = 1;
  a = vote(in);
  for (long t = 0; t < 35; ++t) EXPECT_EQ(a.at(a.g.c, t), 1) << t;
  EXPECT_EQ(a.total(), 35);

  OwnedMatrix one(CellType::Char, 1, {40, 30});
  one.at<std::uint8_t>(10, 0) = 128;
  a = vote(one, 1.0);
  EXPECT_EQ(a.at(a.g.c + 10, 0), 1);
  EXPECT_EQ(a.at(a.g.c, 18), 1);
  EXPECT_EQ(a.total(), 35);
}

// A plain loop over every cell and angle, with the same tables.
std::vector<long> reference(const OwnedMatrix& in, const region::HoughGeometry& g) {
  std::vector<long> acc(static_cast<std::size_t>(g.n_rho * g.n_theta), 0);
  const auto& m = in.matrix();
  for (long t = 0; t < g.n_theta; ++t) {
    double a = 0;
    for (long s = 0; s < t; ++s) a += g.theta_step;
    const double cs = std::cos(a), sn = std::sin(a);
    for (long y = 0; y < m.dim[1]; ++y)
      for (long x = 0; x < m.dim[0]; ++x) {
        if (*reinterpret_cast<const std::uint8_t*>(m.data + y * m.dimstride[1] + x) == 0) continue;
        const double v = (static_cast<double>(x) * cs + static_cast<double>(y) * sn) * g.k;
        const long i = static_cast<long>(std::round(v)) + g.c;
        if (i >= 0 && i < g.n_rho) ++acc[static_cast<std::size_t>(t * g.n_rho + i)];
      }
  }
  return acc;
}

TEST(HoughVotes, MatchReferenceLoop) {
  struct Case { int w, h; double rho, theta; bool discs; };
  for (const Case c : {Case{64, 48, 4.0, region::kDefaultTheta, true},
                       Case{101, 37, 1.0, 0.0, false},
                       Case{90, 70, 7.3, 0.05, true},
                       Case{100, 1, 20.0, 0.0, false},
                       Case{1, 50, 20.0, 0.0, false},
                       Case{33, 200, 2.5, 1.0, true},
                       Case{41, 3, 2.0, 2.0, false}}) {  // angle 0, rho 2: x / 2 ties at odd x
    const zt::Scene img = c.discs ? zt::discs_scene(c.w, c.h, 8, 9) : zt::noise_scene(c.w, c.h, 11);
    const OwnedMatrix in = from_mat(img);
    for (auto kernel : {region::VoteKernel::Fastest, region::VoteKernel::Baseline,
                        region::VoteKernel::Portable}) {
      auto a = vote(in, c.rho, c.theta, kernel);
      const auto ref = reference(in, a.g);
      long diff = 0;
      for (long t = 0; t < a.g.n_theta; ++t)
        for (long i = 0; i < a.g.n_rho; ++i)
          diff += a.at(i, t) != ref[static_cast<std::size_t>(t * a.g.n_rho + i)];
      EXPECT_EQ(diff, 0) << c.w << "x" << c.h << " rho " << c.rho << " kernel " << int(kernel);
    }
  }
}

// Votes whose column falls outside the accumulator are dropped.
TEST(HoughVotes, OutOfRangeVotesAreDropped) {
  OwnedMatrix in(CellType::Char, 1, {100, 1});
  in.at<std::uint8_t>(99, 0) = 1;
  auto a = vote(in, 20.0, 0.0);
  ASSERT_EQ(a.g.n_rho, 10);
  ASSERT_EQ(a.g.c, 4);
  EXPECT_EQ(a.at(0, 358), 0);  // r = -5 would be column -1
  EXPECT_LT(a.total(), 359);
  EXPECT_GT(a.total(), 0);

  OwnedMatrix tiny(CellType::Char, 1, {2, 2});
  tiny.at<std::uint8_t>(1, 1) = 1;
  a = vote(tiny, 20.0);
  EXPECT_EQ(a.g.n_rho, 0);  // every vote dropped, nothing written
}

}  // namespace

// ---- through the host ----------------------------------------------------------------

namespace {

using zt::cell;
using zt::HostMatrix;
using zt::make_box;
using zt::make_matrix;

struct Shape {
  long columns, rows;
  bool operator==(const Shape&) const = default;
};
Shape shape_of(void* m) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  EXPECT_EQ(info.type, _jit_sym_long);
  EXPECT_EQ(info.planecount, 1);
  EXPECT_EQ(info.dimcount, 2);
  return Shape{info.dim[0], info.dim[1]};
}
std::ostream& operator<<(std::ostream& o, const Shape& s) { return o << s.columns << "x" << s.rows; }

// The accumulator a box sends for an input, with its attributes as given.
void* accumulate(zelk::host::Box& box, void* in) {
  box.clear_events();
  box.send_matrix(in);
  const auto sent = zt::sent_matrices(box);
  EXPECT_EQ(sent.size(), 1u);
  EXPECT_TRUE(zt::error_codes(box).empty());
  return sent.empty() ? nullptr : sent[0];
}

TEST(ZelkHoughBox, SizesTheAccumulatorFromInputAndAttributes) {
  auto in = make_matrix(_jit_sym_char, 1, {320, 240});
  auto box = make_box("zelk.hough");
  ASSERT_TRUE(box);
  void* acc = accumulate(*box, in.get());
  ASSERT_TRUE(acc);
  EXPECT_EQ(shape_of(acc), (Shape{280, 35}));
  long total = 0;
  for (long t = 0; t < 35; ++t)
    for (long i = 0; i < 280; ++i) total += cell<std::int32_t>(acc, i, t);
  EXPECT_EQ(total, 0);

  auto vga = make_matrix(_jit_sym_char, 1, {640, 480});
  auto fine = make_box("zelk.hough @rho 1");
  ASSERT_TRUE(fine);
  EXPECT_EQ(shape_of(accumulate(*fine, vga.get())), (Shape{2241, 35}));
  struct Case { const char* message; Shape shape; };
  for (const Case c : {Case{"theta 0", {280, 359}}, Case{"theta 0.017453292519943295", {280, 180}},
                       Case{"theta 2.0", {280, 1}}, Case{"rho 0.5", {1121, 1}},
                       Case{"rho 100", {56, 1}}}) {
    ASSERT_TRUE(box->send_text(c.message));
    EXPECT_EQ(shape_of(accumulate(*box, in.get())), c.shape) << c.message;
  }
  // The attributes keep what was set; only the computation clamps.
  EXPECT_EQ(jit_attr_getfloat(box->jit_object(), gensym("rho")), 100.0);
  EXPECT_EQ(jit_attr_getfloat(box->jit_object(), gensym("theta")), 2.0);
}

TEST(ZelkHoughBox, NotANumberComputesWithTheDefaults) {
  auto in = make_matrix(_jit_sym_char, 1, {320, 240});
  auto box = make_box("zelk.hough @rho 2");
  ASSERT_TRUE(box);
  jit_attr_setfloat(box->jit_object(), gensym("rho"), std::numeric_limits<double>::quiet_NaN());
  jit_attr_setfloat(box->jit_object(), gensym("theta"), std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(shape_of(accumulate(*box, in.get())), (Shape{280, 35}));
}

TEST(ZelkHoughBox, VotesOfSingleCells) {
  auto in = make_matrix(_jit_sym_char, 1, {40, 30}, 48);
  cell<std::uint8_t>(in.get(), 10, 0) = 1;
  auto box = make_box("zelk.hough @rho 1");
  ASSERT_TRUE(box);
  void* acc = accumulate(*box, in.get());
  ASSERT_TRUE(acc);
  const long c = (shape_of(acc).columns - 1) / 2;
  EXPECT_EQ(cell<std::int32_t>(acc, c + 10, 0), 1);
  EXPECT_EQ(cell<std::int32_t>(acc, c, 18), 1);
  cell<std::uint8_t>(in.get(), 10, 0) = 0;
  cell<std::uint8_t>(in.get(), 0, 0) = 255;
  acc = accumulate(*box, in.get());
  ASSERT_TRUE(acc);
  for (long t = 0; t < 35; ++t) EXPECT_EQ(cell<std::int32_t>(acc, c, t), 1) << t;
}

TEST(ZelkHoughBox, EmptyDistanceRangeAndEmptyImages) {
  auto tiny = make_matrix(_jit_sym_char, 1, {2, 2});
  cell<std::uint8_t>(tiny.get(), 1, 1) = 1;
  auto box = make_box("zelk.hough @rho 20");
  ASSERT_TRUE(box);
  // No distance bins: Jitter keeps a size of 1, a column of zeros.
  void* none = accumulate(*box, tiny.get());
  ASSERT_TRUE(none);
  EXPECT_EQ(shape_of(none), (Shape{1, 35}));
  for (long t = 0; t < 35; ++t) EXPECT_EQ(cell<std::int32_t>(none, 0, t), 0) << t;
  auto empty = make_matrix(_jit_sym_char, 1, {0, 0});
  EXPECT_EQ(shape_of(accumulate(*box, empty.get())), (Shape{1, 35}));
  auto flat = make_matrix(_jit_sym_char, 1, {100, 1});
  for (long x = 0; x < 100; ++x) cell<std::uint8_t>(flat.get(), x, 0) = 1;
  ASSERT_TRUE(box->send_text("theta 0"));
  void* acc = accumulate(*box, flat.get());  // votes off the accumulator are dropped
  ASSERT_TRUE(acc);
  EXPECT_EQ(shape_of(acc), (Shape{10, 359}));
}


TEST(ZelkHoughCalc, ChecksInOrder) {
  zt::Calc calc("zelk.hough");
  ASSERT_TRUE(calc.object);
  auto good = make_matrix(_jit_sym_char, 1, {320, 240});
  auto out = make_matrix(_jit_sym_float32, 3, {5});
  EXPECT_EQ(calc(nullptr, out.get()), JIT_ERR_INVALID_PTR);
  EXPECT_EQ(calc(good.get(), nullptr), JIT_ERR_INVALID_PTR);
  auto longs = make_matrix(_jit_sym_long, 2, {4, 4, 4});
  EXPECT_EQ(calc(longs.get(), out.get()), JIT_ERR_MISMATCH_TYPE);
  auto planes = make_matrix(_jit_sym_char, 2, {4, 4, 4});
  EXPECT_EQ(calc(planes.get(), out.get()), JIT_ERR_MISMATCH_PLANE);
  auto cube = make_matrix(_jit_sym_char, 1, {4, 4, 4});
  EXPECT_EQ(calc(cube.get(), out.get()), JIT_ERR_MISMATCH_DIM);
  // A refused input leaves the output as it was.
  const t_jit_matrix_info kept = zelk::host::matrix_info(out.get());
  EXPECT_EQ(kept.type, _jit_sym_float32);
  EXPECT_EQ(kept.dim[0], 5);
  auto no_data = zelk::host::new_matrix_without_data(_jit_sym_char, 1, {320, 240});
  EXPECT_EQ(calc(no_data, out.get()), JIT_ERR_INVALID_PTR);  // after the output was sized
  EXPECT_EQ(shape_of(out.get()), (Shape{280, 35}));
  jit_object_free(no_data);
  EXPECT_EQ(calc(good.get(), out.get()), JIT_ERR_NONE);
}

}  // namespace
