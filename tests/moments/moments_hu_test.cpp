// Hu invariants whose value depends on how their products are grouped: in
// φ5 and φ7, 3·B·B and 3·A·A are (3·B)·B and (3·A)·A, and on these images
// the other grouping is a whole float32 step or more away.
#include <gtest/gtest.h>

#include <cmath>

#include "moments/moments.h"
#include "support/host_fixture.h"
#include "support/owned_matrix.h"

namespace {

struct HuCase {
  double rows[2][2];  // [y][x], float64 cells
  int invariant;      // 0-based: 4 is φ5, 6 is φ7
  float want;
};
const HuCase kCases[] = {
    {{{-2, 4}, {1, -1}}, 4, -0x1p-5f},   // -0.03125; 3·(B·B) gives -0.0390625
    {{{4, 7}, {5, 4}}, 6, -0x1.cp-48f},  // -6.217249e-15; 3·(A·A) gives -5.32907e-15
};

double plain_pow(double a, double b) { return std::pow(a, b); }

TEST(HuGrouping, Computation) {
  for (const HuCase& c : kCases) {
    zt::OwnedMatrix m(frame::CellType::Float64, 1, {2, 2});
    for (long y = 0; y < 2; ++y)
      for (long x = 0; x < 2; ++x) m.at<double>(x, y) = c.rows[y][x];
    float moments[7], hu[7], centroids[2], mass;
    moments::RawSums s{};
    moments::CentralMoments central{};
    double centroid[2];
    moments::accumulate_moments(m, s);
    ASSERT_TRUE(moments::finish_moments(s, central, centroid, {moments, hu, centroids, &mass},
                                        plain_pow));
    EXPECT_EQ(hu[c.invariant], c.want) << "φ" << c.invariant + 1;
  }
}

TEST(HuGrouping, ThroughTheBox) {
  for (const HuCase& c : kCases) {
    auto box = zt::make_box("zelk.moments");
    ASSERT_TRUE(box);
    auto m = zt::make_matrix(_jit_sym_float64, 1, {2, 2});
    for (long y = 0; y < 2; ++y)
      for (long x = 0; x < 2; ++x) zt::cell<double>(m.get(), x, y) = c.rows[y][x];
    box->send_matrix(m.get());
    std::vector<double> hu;
    for (const auto& e : zt::events_of(*box, zelk::host::Event::Kind::Outlet))
      if (e.outlet == 1) hu = zt::atom_values(e);
    ASSERT_EQ(hu.size(), 7u);
    EXPECT_EQ(hu[c.invariant], c.want) << "φ" << c.invariant + 1;
  }
}

}  // namespace
