// Orientation, direction and elongation of blob moment cells, and the blob
// ordering across frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "blobs/angles.h"
#include "blobs/sort.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

struct Eta {
  float e20 = 0, e02 = 0, e11 = 0, e30 = 0, e03 = 0;
};
std::vector<float> cell(Eta e) {
  std::vector<float> c(17, 0.0f);
  c[blobs::kEta20] = e.e20;
  c[blobs::kEta02] = e.e02;
  c[blobs::kEta11] = e.e11;
  c[blobs::kEta30] = e.e30;
  c[blobs::kEta03] = e.e03;
  return c;
}
float orient(Eta e, bool degrees = false) { return blobs::orientation(cell(e).data(), degrees); }
float dir(Eta e, bool flip = false, bool degrees = false) {
  return blobs::direction(cell(e).data(), {degrees, flip});
}
float elong(Eta e) { return blobs::elongation(cell(e).data()); }

const float kPi = static_cast<float>(blobs::kHalfTurn);

TEST(BlobOrientation, AxesAndQuadrants) {
  EXPECT_EQ(orient({0.3f, 0.1f}), 0.0f);
  EXPECT_EQ(orient({0.1f, 0.3f}), static_cast<float>(blobs::kQuarterTurn));
  EXPECT_EQ(orient({0.1f, 0.3f}, true), static_cast<float>(static_cast<float>(blobs::kQuarterTurn) * blobs::kDegrees));
  EXPECT_NEAR(orient({0.1f, 0.3f}, true), 90.0f, 1e-4);
  // Equal second moments: 0 whatever eta11 is.
  EXPECT_EQ(orient({0.2f, 0.2f, 0.15f}), 0.0f);
  EXPECT_EQ(orient({}), 0.0f);
  const float neg = orient({0.3f, 0.1f, -0.05f});
  EXPECT_GT(neg, 3 * kPi / 4);
  EXPECT_LT(neg, kPi);
  const float pos = orient({0.3f, 0.1f, 0.05f});
  EXPECT_GT(pos, 0.0f);
  EXPECT_LT(pos, kPi / 4);
  // eta20 < eta02 with eta11 > 0: the quarter turn is added to a negative half-angle.
  const float q = orient({0.1f, 0.3f, 0.05f});
  EXPECT_GT(q, kPi / 4);
  EXPECT_LT(q, kPi / 2);
}

TEST(BlobDirection, EndsOfTheAxis) {
  EXPECT_EQ(dir({}), 0.0f);
  EXPECT_EQ(dir({}, true), kPi);
  // theta 0: eta30 decides.
  EXPECT_EQ(dir({0.3f, 0.1f, 0, -0.01f}), kPi);
  EXPECT_EQ(dir({0.3f, 0.1f, 0, 0.01f}), 0.0f);
  EXPECT_EQ(dir({0.3f, 0.1f, 0, 0.0f}), 0.0f);
  // theta a quarter turn (between the literals): eta03 decides, eta30 ignored.
  const float quarter = static_cast<float>(blobs::kQuarterTurn);
  EXPECT_EQ(dir({0.1f, 0.3f, 0, -5.0f, 0.01f}), quarter);
  EXPECT_EQ(dir({0.1f, 0.3f, 0, 5.0f, -0.01f}), static_cast<float>(quarter + blobs::kHalfTurn));
  EXPECT_EQ(dir({0.1f, 0.3f, 0, 5.0f, 0.0f}), quarter);
  // theta above 3/8 turn: a positive eta30 turns it.
  const float high = orient({0.3f, 0.1f, -0.05f});
  EXPECT_EQ(dir({0.3f, 0.1f, -0.05f, 0.01f}), static_cast<float>(high + blobs::kHalfTurn));
  EXPECT_EQ(dir({0.3f, 0.1f, -0.05f, -0.01f}), high);
}

TEST(BlobDirection, FlipAndDegrees) {
  // Half a turn flipped back leaves the float32 remainder of the literal.
  const float back = dir({0.3f, 0.1f, 0, -0.01f}, true);
  EXPECT_NE(back, 0.0f);
  EXPECT_LT(std::fabs(back), 1e-6f);
  const float quarter = static_cast<float>(blobs::kQuarterTurn);
  EXPECT_EQ(dir({0.1f, 0.3f}, true), static_cast<float>(quarter - blobs::kHalfTurn));
  EXPECT_EQ(dir({0.1f, 0.3f}, false, true), static_cast<float>(quarter * blobs::kDegrees));
  // flip acts before the conversion.
  EXPECT_EQ(dir({}, true, true), static_cast<float>(kPi * blobs::kDegrees));
}

TEST(BlobElongation, Values) {
  EXPECT_EQ(elong({0.2f, 0.2f}), 0.0f);
  EXPECT_TRUE(std::isnan(elong({})));
  EXPECT_EQ(elong({0.2f, 0.0f}), std::numeric_limits<float>::infinity());
  EXPECT_EQ(elong({2.0f, 1.0f}), 0.5f);
  EXPECT_EQ(elong({1.0f, 1.0f, 0.5f}), 1.0f);
}

TEST(BlobDescriptors, LoopStepsByEachMatrixStride) {
  OwnedMatrix in(CellType::Float32, 17, {3});
  OwnedMatrix out(CellType::Float32, 1, {4});
  for (long k = 0; k < 3; ++k) in.at<float>(k, 0, blobs::kEta20) = static_cast<float>(k + 1);
  out.at<float>(3) = 42.0f;
  blobs::for_each_blob(in.matrix(), out.matrix(), 3, [](const float* c) { return c[0] * 2; });
  EXPECT_EQ(out.at<float>(0), 2.0f);
  EXPECT_EQ(out.at<float>(2), 6.0f);
  EXPECT_EQ(out.at<float>(3), 42.0f);
}

// ---- ordering ----------------------------------------------------------------

struct Tracker {
  std::unique_ptr<blobs::BlobTracker> t = std::make_unique<blobs::BlobTracker>();
  float threshold = 10.0f;

  // One frame of centroids; returns the identifiers.
  std::vector<int> frame(const std::vector<std::pair<float, float>>& c, long planes = 3) {
    const long n = static_cast<long>(c.size());
    OwnedMatrix in(CellType::Float32, planes, {n});
    OwnedMatrix out(CellType::Char, 1, {n});
    const long px = planes == 3 ? 0 : 14;
    for (long k = 0; k < n; ++k) {
      in.at<float>(k, 0, px) = c[k].first;
      in.at<float>(k, 0, px + 1) = c[k].second;
    }
    t->track(in.matrix(), n, threshold, out.matrix());
    std::vector<int> ids;
    for (long k = 0; k < n; ++k) ids.push_back(out.at<std::uint8_t>(k));
    return ids;
  }
  std::vector<int> free_ids() const {
    return std::vector<int>(t->free_ids.entry, t->free_ids.entry + t->free_ids.count);
  }
};

using Ids = std::vector<int>;

TEST(BlobSort, IdentifiersFollowBlobs) {
  Tracker s;
  EXPECT_EQ(s.frame({{10, 10}, {100, 10}, {10, 100}}), (Ids{1, 2, 3}));
  EXPECT_EQ(s.frame({{12, 98}, {11, 12}, {95, 14}}), (Ids{3, 1, 2}));
  // Blob 2 gone: released at the end of the frame.
  EXPECT_EQ(s.frame({{13, 13}, {14, 97}}), (Ids{1, 3}));
  EXPECT_EQ(s.free_ids(), (Ids{2}));
  // Two new blobs: the released 2, then the count of tracked blobs.
  EXPECT_EQ(s.frame({{15, 15}, {200, 200}, {14, 96}, {300, 300}}), (Ids{1, 2, 3, 4}));
  EXPECT_TRUE(s.free_ids().empty());
}

TEST(BlobSort, ReleasedIdentifiersComeBackSmallestFirst) {
  Tracker s;
  s.frame({{0, 50}, {50, 50}, {100, 50}, {150, 50}, {200, 50}});
  EXPECT_EQ(s.frame({{0, 50}, {100, 50}}), (Ids{1, 3}));
  EXPECT_EQ(s.free_ids(), (Ids{2, 4, 5}));
  EXPECT_EQ(s.frame({{0, 50}, {100, 50}, {500, 500}, {600, 600}}), (Ids{1, 3, 2, 4}));
  EXPECT_EQ(s.free_ids(), (Ids{5}));
}

TEST(BlobSort, MatchRadiusIsStrict) {
  Tracker s;
  s.frame({{0, 0}, {50, 50}});
  EXPECT_EQ(s.frame({{10, 0}, {50, 59.5f}}), (Ids{3, 2}));  // exactly 10 away: new
  Tracker z;
  z.threshold = 0;
  EXPECT_EQ(z.frame({{5, 5}, {5, 5}}), (Ids{1, 2}));
  EXPECT_EQ(z.frame({{5, 5}}), (Ids{3}));  // every cell of every frame is new
  EXPECT_EQ(z.free_ids(), (Ids{1, 2}));
}

TEST(BlobSort, CloseCellsShareAnIdentifier) {
  Tracker s;
  EXPECT_EQ(s.frame({{20, 20}, {25, 20}, {33, 20}}), (Ids{1, 1, 1}));
  // The tracked blob ended at the last cell's centroid.
  EXPECT_EQ(s.t->x.count, 1);
  EXPECT_EQ(s.t->x.entry[0], 33.0f);
  // Equal distances: the lower index wins.
  Tracker e;
  e.frame({{0, 0}, {16, 0}});
  EXPECT_EQ(e.frame({{8, 0}}), (Ids{1}));
}

TEST(BlobSort, LoneOriginCellKeepsTheTable) {
  Tracker s;
  s.frame({{10, 10}, {100, 100}});
  EXPECT_EQ(s.frame({{0, 0}}), (Ids{0}));
  EXPECT_EQ(s.t->x.count, 2);
  EXPECT_EQ(s.frame({{100, 101}, {11, 10}}), (Ids{2, 1}));
  // (0, 0) among other cells is an ordinary centroid; (-1, -1) too.
  EXPECT_EQ(s.frame({{0, 0}, {-1, -1}, {11, 10}}), (Ids{3, 3, 1}));
  EXPECT_EQ(s.free_ids(), (Ids{2}));
}

TEST(BlobSort, SquaredDistanceIsRoundedOnce) {
  struct Case {
    float dx, dy, want;
  };
  const Case cases[] = {
      {7.46807861328125f, 6.650398254394531f, 99.99999237060547f},  // product by product: 100
      {9.542015075683594f, 2.9916458129882812f, 100.0f},           // product by product: 99.999992
      // The sum rounded to double first lands halfway between two floats,
      // then goes the wrong way.
      {5.946041584014893f, 0.001708231633529067f, 35.355411529541016f},
      {5.948904514312744f, 0.001522816251963377f, 35.389469146728516f},
  };
  for (const Case& c : cases)
    EXPECT_EQ(blobs::squared_distance(c.dx, c.dy), c.want) << c.dx << ", " << c.dy;
}

TEST(BlobSort, FrameWithoutCellsKeepsTheTable) {
  Tracker s;
  const std::pair<float, float> a{10, 10}, b{100, 100};
  EXPECT_EQ(s.frame({a, b}), (Ids{1, 2}));
  EXPECT_EQ(s.frame({b}), (Ids{2}));
  EXPECT_TRUE(s.frame({}).empty());
  EXPECT_EQ(s.free_ids(), (Ids{1}));
  EXPECT_EQ(s.frame({b}), (Ids{2}));
}

TEST(BlobSort, MomentMatrixCentroidPlanes) {
  Tracker s;
  EXPECT_EQ(s.frame({{10, 10}, {100, 10}}, 17), (Ids{1, 2}));
  EXPECT_EQ(s.frame({{101, 11}, {9, 9}}, 17), (Ids{2, 1}));
}

TEST(BlobSort, FullTableTracksNoMore) {
  Tracker s;
  s.threshold = 0.5f;
  std::vector<std::pair<float, float>> c;
  for (int i = 0; i < 257; ++i) c.emplace_back(static_cast<float>(i * 10), 0.0f);
  const Ids ids = s.frame(c);
  for (int i = 0; i < 255; ++i) ASSERT_EQ(ids[i], i + 1);
  EXPECT_EQ(ids[255], 0);  // identifier 256, its low byte
  EXPECT_EQ(ids[256], 0);  // not tracked
  EXPECT_EQ(s.t->x.count, 256);
  EXPECT_EQ(s.t->id.count, 256);
  EXPECT_TRUE(s.free_ids().empty());
  // The untracked blob costs no identifier: after one blob leaves, the
  // next new one gets that blob's number.
  c.erase(c.begin() + 4);
  c.back() = {5000.0f, 5000.0f};
  const Ids next = s.frame(c);
  EXPECT_EQ(next[3], 4);
  EXPECT_EQ(next[4], 6);
  EXPECT_EQ(next.back(), 0);  // blob 5 leaves only at the end of the frame
  EXPECT_EQ(s.t->x.count, 255);
  EXPECT_EQ(s.free_ids(), (Ids{5}));
  EXPECT_EQ(s.frame(c).back(), 5);
}

TEST(BlobSort, NaNCentroidsNeverMatch) {
  Tracker s;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(s.frame({{nan, 0}, {nan, 0}}), (Ids{1, 2}));
  s.threshold = nan;
  EXPECT_EQ(s.frame({{1, 1}}), (Ids{3}));
  EXPECT_EQ(s.frame({{1, 1}}), (Ids{1}));
}

}  // namespace
