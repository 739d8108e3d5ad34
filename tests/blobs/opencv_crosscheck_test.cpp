// The label-image measures against OpenCV: cv::moments and cv::HuMoments of
// each blob's mask for the blob moment matrix, connectedComponentsWithStats
// for centroids and bounds.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <memory>
#include <random>

#include "blobs/bounds.h"
#include "blobs/centroids.h"
#include "blobs/moments.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// Copies a CV_8U image into a padded owned matrix.
OwnedMatrix to_owned(const cv::Mat& m) {
  OwnedMatrix o(CellType::Char, 1, {m.cols, m.rows}, 11);
  for (int y = 0; y < m.rows; ++y)
    for (int x = 0; x < m.cols; ++x) o.at<std::uint8_t>(x, y) = m.at<std::uint8_t>(y, x);
  return o;
}

frame::PlaneView<const std::uint8_t> view(const OwnedMatrix& m) {
  return frame::plane_view<const std::uint8_t>(m.matrix(), m.matrix().dim[0], m.matrix().dim[1]);
}

// Labels of scattered pixels and rectangles: blobs need not be connected.
cv::Mat scattered_labels(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  cv::Mat m(h, w, CV_8U, cv::Scalar(0));
  std::uniform_int_distribution<int> label(1, 40), px(0, w - 1), py(0, h - 1), size(1, 30);
  for (int i = 0; i < 60; ++i)
    cv::rectangle(m, cv::Rect(px(rng), py(rng), size(rng), size(rng)), cv::Scalar(label(rng)), cv::FILLED);
  for (int i = 0; i < 500; ++i) m.at<std::uint8_t>(py(rng), px(rng)) = static_cast<std::uint8_t>(label(rng));
  return m;
}

// Discs and ellipses labelled by OpenCV, at most 255 of them.
cv::Mat component_labels(int w, int h, unsigned seed, cv::Mat* stats, cv::Mat* centroids) {
  std::mt19937 rng(seed);
  cv::Mat binary(h, w, CV_8U, cv::Scalar(0));
  std::uniform_int_distribution<int> px(0, w - 1), py(0, h - 1), axis(2, 40), angle(0, 179);
  for (int i = 0; i < 40; ++i)
    cv::ellipse(binary, cv::Point(px(rng), py(rng)), cv::Size(axis(rng), axis(rng)), angle(rng), 0, 360,
                cv::Scalar(255), cv::FILLED);
  cv::Mat labels;
  const int n = cv::connectedComponentsWithStats(binary, labels, *stats, *centroids, 4, CV_32S);
  EXPECT_LE(n, 256);
  cv::Mat out;
  labels.convertTo(out, CV_8U);
  return out;
}

void expect_close(double ours, double theirs, const char* what, int label) {
  const double tol = std::max(1e-5 * std::fabs(theirs), 1e-7);
  EXPECT_NEAR(ours, theirs, tol) << what << " of label " << label;
}

void check_moments(const cv::Mat& image) {
  const OwnedMatrix in = to_owned(image);
  auto tables = std::make_unique<blobs::MomentTables>();
  const int count = tables->accumulate(view(in));
  double highest = 0;
  cv::minMaxLoc(image, nullptr, &highest);
  ASSERT_EQ(count, static_cast<int>(highest));
  OwnedMatrix out(CellType::Float32, 17, {std::max(count, 1)});
  tables->write(count, out.matrix());
  for (int l = 1; l <= count; ++l) {
    const cv::Mat mask = image == l;
    const cv::Moments m = cv::moments(mask, true);
    auto p = [&](int plane) { return static_cast<double>(out.at<float>(l - 1, 0, plane)); };
    if (m.m00 == 0) {
      for (int q = 0; q < 17; ++q) EXPECT_EQ(p(q), 0.0);
      continue;
    }
    double hu[7];
    cv::HuMoments(m, hu);
    expect_close(p(blobs::kEta20), m.nu20, "nu20", l);
    expect_close(p(blobs::kEta02), m.nu02, "nu02", l);
    expect_close(p(blobs::kEta11), m.nu11, "nu11", l);
    expect_close(p(blobs::kEta21), m.nu21, "nu21", l);
    expect_close(p(blobs::kEta12), m.nu12, "nu12", l);
    expect_close(p(blobs::kEta30), m.nu30, "nu30", l);
    expect_close(p(blobs::kEta03), m.nu03, "nu03", l);
    for (int i = 0; i < 7; ++i) expect_close(p(blobs::kHu1 + i), hu[i], "hu", l);
    expect_close(p(blobs::kCentroidX), m.m10 / m.m00, "x", l);
    expect_close(p(blobs::kCentroidY), m.m01 / m.m00, "y", l);
    EXPECT_EQ(p(blobs::kMass), m.m00);
  }
}

TEST(BlobCrossCheck, MomentsOfScatteredLabels) {
  for (unsigned seed = 1; seed <= 4; ++seed) check_moments(scattered_labels(317 + seed, 203, seed));
}

TEST(BlobCrossCheck, MomentsOfComponents) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    cv::Mat stats, centroids;
    check_moments(component_labels(640, 480, seed, &stats, &centroids));
  }
}

TEST(BlobCrossCheck, CentroidsAndBoundsAgainstComponentStats) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    cv::Mat stats, cv_centroids;
    const OwnedMatrix in = to_owned(component_labels(640 + 3 * seed, 480, seed, &stats, &cv_centroids));
    auto c = std::make_unique<blobs::CentroidTables>();
    auto b = std::make_unique<blobs::BoundsTables>();
    const int count = c->accumulate(view(in));
    ASSERT_EQ(count, stats.rows - 1);
    ASSERT_EQ(b->accumulate(view(in)), count);
    OwnedMatrix cout(CellType::Float32, 3, {count});
    OwnedMatrix bout(CellType::Long, 4, {count});
    c->write(count, cout.matrix());
    b->write(count, bout.matrix());
    for (int l = 1; l <= count; ++l) {
      const int k = l - 1;
      EXPECT_EQ(cout.at<float>(k, 0, 0), static_cast<float>(cv_centroids.at<double>(l, 0))) << l;
      EXPECT_EQ(cout.at<float>(k, 0, 1), static_cast<float>(cv_centroids.at<double>(l, 1))) << l;
      EXPECT_EQ(cout.at<float>(k, 0, 2), static_cast<float>(stats.at<int>(l, cv::CC_STAT_AREA))) << l;
      const int left = stats.at<int>(l, cv::CC_STAT_LEFT), top = stats.at<int>(l, cv::CC_STAT_TOP);
      EXPECT_EQ(bout.at<std::int32_t>(k, 0, 0), left) << l;
      EXPECT_EQ(bout.at<std::int32_t>(k, 0, 1), top) << l;
      EXPECT_EQ(bout.at<std::int32_t>(k, 0, 2), left + stats.at<int>(l, cv::CC_STAT_WIDTH) - 1) << l;
      EXPECT_EQ(bout.at<std::int32_t>(k, 0, 3), top + stats.at<int>(l, cv::CC_STAT_HEIGHT) - 1) << l;
    }
  }
}

}  // namespace
