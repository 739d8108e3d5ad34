// The label-image measures (moments, centroids, bounds) on hand-made label
// images, and the moments against a per-pixel reference of the same sums.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "blobs/bounds.h"
#include "blobs/centroids.h"
#include "blobs/moments.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// A label image from rows of text: '.' is 0, a digit or letter its value
// ('1' = 1, 'a' = 10, ...). Padding bytes are left non-zero on purpose.
OwnedMatrix labels(const std::vector<std::string>& rows, long padding = 3) {
  OwnedMatrix m(CellType::Char, 1, {static_cast<long>(rows[0].size()), static_cast<long>(rows.size())},
                padding);
  for (long y = 0; y < static_cast<long>(rows.size()); ++y)
    for (long x = 0; x < static_cast<long>(rows[y].size()); ++x) {
      const char c = rows[y][x];
      m.at<std::uint8_t>(x, y) = c == '.' ? 0 : (c <= '9' ? c - '0' : c - 'a' + 10);
    }
  return m;
}

frame::PlaneView<const std::uint8_t> view(const OwnedMatrix& m) {
  return frame::plane_view<const std::uint8_t>(m.matrix(), m.matrix().dim[0], m.matrix().dim[1]);
}

// Runs a measure as the binding does: pass, then an output of L cells.
template <class Tables>
struct Measured {
  std::unique_ptr<Tables> tables = std::make_unique<Tables>();
  int count = 0;
  std::unique_ptr<OwnedMatrix> out;
};
template <class Tables>
Measured<Tables> measure(const OwnedMatrix& image, CellType type, long planes) {
  Measured<Tables> r;
  r.count = r.tables->accumulate(view(image));
  r.out = std::make_unique<OwnedMatrix>(type, planes, std::vector<long>{std::max(r.count, 1)});
  r.tables->write(r.count, r.out->matrix());
  return r;
}
auto moments(const OwnedMatrix& image) {
  return measure<blobs::MomentTables>(image, CellType::Float32, blobs::kMomentPlanes);
}
auto centroids(const OwnedMatrix& image) {
  return measure<blobs::CentroidTables>(image, CellType::Float32, blobs::kCentroidPlanes);
}
auto bounds(const OwnedMatrix& image) {
  return measure<blobs::BoundsTables>(image, CellType::Long, blobs::kBoundsPlanes);
}

// The per-pixel accumulation taken literally (64-bit products), then the
// same arithmetic: what the run-based pass must reproduce bit for bit.
std::vector<std::vector<float>> reference_moments(const OwnedMatrix& image) {
  struct S { std::int64_t m = 0, x = 0, y = 0, xx = 0, yy = 0, xy = 0, xyy = 0, xxy = 0, xxx = 0, yyy = 0; };
  std::vector<S> s(256);
  int highest = 0;
  const frame::Matrix& mat = image.matrix();
  for (std::int64_t y = 0; y < mat.dim[1]; ++y)
    for (std::int64_t x = 0; x < mat.dim[0]; ++x) {
      const int v = const_cast<OwnedMatrix&>(image).at<std::uint8_t>(x, y);
      if (v > 0) {
        S& t = s[v];
        ++t.m; t.x += x; t.y += y; t.xx += x * x; t.yy += y * y; t.xy += x * y;
        t.xyy += x * y * y; t.xxy += x * x * y; t.xxx += x * x * x; t.yyy += y * y * y;
      }
      if (v > highest) highest = v;
    }
  std::vector<std::vector<float>> out;
  for (int l = 1; l <= highest; ++l) {
    const S& t = s[l];
    blobs::LabelSums u{};
    u.mass = t.m; u.x = t.x; u.y = t.y; u.xx = t.xx; u.yy = t.yy; u.xy = t.xy;
    u.xyy = t.xyy; u.xxy = t.xxy; u.xxx = t.xxx; u.yyy = t.yyy;
    const blobs::BlobMoments b = blobs::blob_moments(u);
    out.emplace_back(b.value, b.value + blobs::kMomentPlanes);
  }
  return out;
}

OwnedMatrix random_labels(long w, long h, unsigned seed, int max_label, int max_run) {
  OwnedMatrix m(CellType::Char, 1, {w, h}, 5);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> label(0, max_label), run(1, max_run);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w;) {
      const int v = label(rng) % 3 == 0 ? 0 : label(rng);
      for (long n = run(rng); n > 0 && x < w; --n, ++x) m.at<std::uint8_t>(x, y) = static_cast<std::uint8_t>(v);
    }
  return m;
}

float plane(const OwnedMatrix& out, long cell, long p) {
  return const_cast<OwnedMatrix&>(out).at<float>(cell, 0, p);
}

TEST(BlobMoments, EmptyImageHasNoCells) {
  auto r = moments(labels({"....", "...."}));
  EXPECT_EQ(r.count, 0);
  OwnedMatrix empty(CellType::Char, 1, {0, 0});
  EXPECT_EQ(moments(empty).count, 0);
  OwnedMatrix no_rows(CellType::Char, 1, {7, 0});
  EXPECT_EQ(moments(no_rows).count, 0);
}

TEST(BlobMoments, SinglePixelsAndAbsentLabels) {
  // Label 2 absent; label 3 a single pixel at (0, 0), label 1 one at (4, 2).
  auto r = moments(labels({"3....", ".....", "....1"}));
  ASSERT_EQ(r.count, 3);
  for (long p = 0; p < 17; ++p) EXPECT_EQ(plane(*r.out, 1, p), 0.0f) << p;
  for (long p = 0; p < 14; ++p) {
    EXPECT_EQ(plane(*r.out, 0, p), 0.0f) << p;
    EXPECT_EQ(plane(*r.out, 2, p), 0.0f) << p;
  }
  EXPECT_EQ(plane(*r.out, 0, blobs::kCentroidX), 4.0f);
  EXPECT_EQ(plane(*r.out, 0, blobs::kCentroidY), 2.0f);
  EXPECT_EQ(plane(*r.out, 0, blobs::kMass), 1.0f);
  // The origin adds nothing to the sums but still counts as mass.
  EXPECT_EQ(plane(*r.out, 2, blobs::kCentroidX), 0.0f);
  EXPECT_EQ(plane(*r.out, 2, blobs::kMass), 1.0f);
}

TEST(BlobMoments, BlobInOneRow) {
  auto r = moments(labels({"......", ".1111.", "......"}));
  ASSERT_EQ(r.count, 1);
  const float e20 = plane(*r.out, 0, blobs::kEta20);
  EXPECT_GT(e20, 0.0f);
  EXPECT_EQ(plane(*r.out, 0, blobs::kEta02), 0.0f);
  EXPECT_EQ(plane(*r.out, 0, blobs::kEta11), 0.0f);
  EXPECT_EQ(plane(*r.out, 0, blobs::kHu1), e20);
  EXPECT_FLOAT_EQ(plane(*r.out, 0, blobs::kHu2), e20 * e20);
  // mu20 of x = 1..4 is 5, over m^2 = 16.
  EXPECT_EQ(e20, static_cast<float>(5.0 / 16.0));
  EXPECT_EQ(plane(*r.out, 0, blobs::kCentroidX), 2.5f);
  EXPECT_EQ(plane(*r.out, 0, blobs::kMass), 4.0f);
}

TEST(BlobMoments, HighLabelsGiveEveryCellBelow) {
  OwnedMatrix m(CellType::Char, 1, {9, 4}, 7);
  m.at<std::uint8_t>(8, 3) = 255;
  m.at<std::uint8_t>(0, 0) = 128;
  auto r = moments(m);
  ASSERT_EQ(r.count, 255);
  EXPECT_EQ(plane(*r.out, 254, blobs::kMass), 1.0f);
  EXPECT_EQ(plane(*r.out, 254, blobs::kCentroidX), 8.0f);
  EXPECT_EQ(plane(*r.out, 127, blobs::kMass), 1.0f);
  EXPECT_EQ(plane(*r.out, 126, blobs::kMass), 0.0f);
}

TEST(BlobMoments, FramesAreIndependent) {
  blobs::MomentTables* t = new blobs::MomentTables{};
  const OwnedMatrix a = labels({"22..", "22.1"});
  const OwnedMatrix b = labels({"...1", "...."});
  t->accumulate(view(a));
  EXPECT_EQ(t->accumulate(view(b)), 1);
  EXPECT_EQ(t->sum[1].mass, 1u);
  EXPECT_EQ(t->sum[2].mass, 0u);
  EXPECT_EQ(t->sum[1].x, 3u);
  EXPECT_EQ(t->sum[1].y, 0u);
  delete t;
}

// Runs of every length across the eight-byte steps of the scan, odd widths,
// padded rows: the run sums equal the per-pixel sums exactly.
TEST(BlobMoments, RunSumsMatchPerPixelReference) {
  struct Case { long w, h; int max_label, max_run; };
  for (const Case c : {Case{1, 1, 3, 1}, Case{1, 9, 3, 2}, Case{7, 5, 4, 3}, Case{33, 17, 9, 20},
                       Case{64, 40, 255, 70}, Case{129, 31, 2, 200}, Case{640, 48, 30, 40}}) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      const OwnedMatrix img = random_labels(c.w, c.h, seed, c.max_label, c.max_run);
      const auto ref = reference_moments(img);
      auto r = moments(img);
      ASSERT_EQ(r.count, static_cast<int>(ref.size()));
      for (long k = 0; k < r.count; ++k)
        for (long p = 0; p < 17; ++p)
          ASSERT_EQ(plane(*r.out, k, p), ref[k][p]) << c.w << "x" << c.h << " cell " << k << " plane " << p;
    }
  }
}

// Beyond 1290 columns x^3 no longer fits 32 bits; the sums stay exact.
TEST(BlobMoments, WideImagesKeepExactSums) {
  OwnedMatrix img(CellType::Char, 1, {70000, 3});
  for (long x = 60000; x < 70000; ++x) img.at<std::uint8_t>(x, 1) = 1;
  for (long x = 1; x < 50000; x += 7) img.at<std::uint8_t>(x, 2) = 2;
  img.at<std::uint8_t>(69999, 0) = 2;
  const auto ref = reference_moments(img);
  auto r = moments(img);
  ASSERT_EQ(r.count, 2);
  for (long k = 0; k < 2; ++k)
    for (long p = 0; p < 17; ++p) EXPECT_EQ(plane(*r.out, k, p), ref[k][p]) << k << " " << p;
  EXPECT_EQ(plane(*r.out, 0, blobs::kCentroidX), 64999.5f);
}

TEST(BlobCentroids, CellsAndAbsentLabels) {
  auto r = centroids(labels({"3.11", "...1", "...."}));
  ASSERT_EQ(r.count, 3);
  EXPECT_EQ(plane(*r.out, 0, 0), static_cast<float>(8.0 / 3.0));
  EXPECT_EQ(plane(*r.out, 0, 1), static_cast<float>(1.0 / 3.0));
  EXPECT_EQ(plane(*r.out, 0, 2), 3.0f);
  EXPECT_EQ(plane(*r.out, 1, 0), -1.0f);  // absent: not zeros
  EXPECT_EQ(plane(*r.out, 1, 1), -1.0f);
  EXPECT_EQ(plane(*r.out, 1, 2), 0.0f);
  EXPECT_EQ(plane(*r.out, 2, 0), 0.0f);
  EXPECT_EQ(plane(*r.out, 2, 2), 1.0f);
  EXPECT_EQ(centroids(labels({"..", ".."})).count, 0);
}

TEST(BlobCentroids, HighLabelsAndFullFrame) {
  OwnedMatrix m(CellType::Char, 1, {640, 480}, 16);
  for (long y = 0; y < 480; ++y)
    for (long x = 0; x < 640; ++x) m.at<std::uint8_t>(x, y) = 255;
  auto r = centroids(m);
  ASSERT_EQ(r.count, 255);
  EXPECT_EQ(plane(*r.out, 254, 0), 319.5f);
  EXPECT_EQ(plane(*r.out, 254, 1), 239.5f);
  EXPECT_EQ(plane(*r.out, 254, 2), 307200.0f);
  EXPECT_EQ(plane(*r.out, 0, 0), -1.0f);
}

TEST(BlobBounds, BoxesEdgesAndAbsentLabels) {
  auto r = bounds(labels({"11..4", "1.1..", "..11.", "....."}));
  ASSERT_EQ(r.count, 4);
  auto cell = [&](long k, long p) { return r.out->at<std::int32_t>(k, 0, p); };
  EXPECT_EQ(cell(0, 0), 0);  // touches column 0 and row 0
  EXPECT_EQ(cell(0, 1), 0);
  EXPECT_EQ(cell(0, 2), 3);
  EXPECT_EQ(cell(0, 3), 2);
  for (long k : {1, 2}) {
    EXPECT_EQ(cell(k, 0), 2147483647);
    EXPECT_EQ(cell(k, 1), 2147483647);
    EXPECT_EQ(cell(k, 2), 0);
    EXPECT_EQ(cell(k, 3), 0);
  }
  // One pixel at the last column.
  EXPECT_EQ(cell(3, 0), 4);
  EXPECT_EQ(cell(3, 1), 0);
  EXPECT_EQ(cell(3, 2), 4);
  EXPECT_EQ(cell(3, 3), 0);
  EXPECT_EQ(bounds(labels({"."})).count, 0);
}

}  // namespace
