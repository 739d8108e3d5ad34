// The moment computation against OpenCV's moments and Hu invariants.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstring>

#include "compute_moments_support.h"
#include "moments/moments.h"
#include "support/owned_matrix.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

// The normalised moments of the K-scaled sums are OpenCV's nu scaled by
// K^-((p+q)/2); the invariants follow from them.
TEST(Moments, AgreesWithOpenCv) {
  for (int binary = 0; binary < 2; ++binary)
    for (unsigned seed = 0; seed < 4; ++seed) {
      const int w = 37 + 50 * seed, h = 29 + 31 * seed;
      cv::Mat img(h, w, CV_8U);
      cv::randu(img, 0, 256);
      cv::Mat blur;
      cv::GaussianBlur(img, blur, cv::Size(0, 0), 5);
      if (binary) cv::threshold(blur, blur, 127, 255, cv::THRESH_BINARY);
      OwnedMatrix m(CellType::Char, 1, {w, h}, 4);
      for (int y = 0; y < h; ++y) std::memcpy(m.row_ptr(y), blur.ptr(y), w);
      Out o;
      ASSERT_TRUE(run(m, o));
      const cv::Moments cm = cv::moments(blur);
      const double K = moments::kCharScale;
      EXPECT_NEAR(o.centroids[0], cm.m10 / cm.m00, 1e-4);
      EXPECT_NEAR(o.centroids[1], cm.m01 / cm.m00, 1e-4);
      EXPECT_NEAR(o.mass, cm.m00, 1e-6 * cm.m00);
      const double k2 = 1 / K, k3 = std::pow(K, -1.5);
      const double nu[7] = {cm.nu20 * k2, cm.nu02 * k2, cm.nu11 * k2, cm.nu21 * k3,
                            cm.nu12 * k3, cm.nu30 * k3, cm.nu03 * k3};
      for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(o.moments[i], nu[i], 2e-5 * std::fabs(nu[i]) + 1e-6 * std::fabs(nu[0]))
            << "eta " << i;
      cv::Moments scaled{};
      scaled.nu20 = nu[0];
      scaled.nu02 = nu[1];
      scaled.nu11 = nu[2];
      scaled.nu21 = nu[3];
      scaled.nu12 = nu[4];
      scaled.nu30 = nu[5];
      scaled.nu03 = nu[6];
      double hu[7];
      cv::HuMoments(scaled, hu);
      for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(o.hu[i], hu[i], 1e-4 * std::fabs(hu[i]) + 1e-6 * hu[0] * hu[0] * (i + 1))
            << "hu " << i;
    }
}

}  // namespace
