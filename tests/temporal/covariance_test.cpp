// The covariance update on host-free vectors.
#include <gtest/gtest.h>

#include <vector>

#include "support/owned_matrix.h"
#include "temporal/covariance.h"

namespace {

using frame::CellType;
using zt::OwnedMatrix;

template <class T>
struct Stats {
  CellType type = std::is_same_v<T, float> ? CellType::Float32 : CellType::Float64;
  long n_values;
  OwnedMatrix x, mean, dev, out;
  long n = 0;
  explicit Stats(long count, long out_padding = 0)
      : n_values(count),
        x(type, 1, {count}),
        mean(type, 1, {count, 1}),
        dev(type, 1, {count, 1}),
        out(type, 1, {count, count}, out_padding) {}
  std::vector<std::vector<T>> observe(const std::vector<T>& v) {
    for (long i = 0; i < n_values; ++i) x.at<T>(i) = v[static_cast<size_t>(i)];
    temporal::covariance_update(x, mean, dev, out, ++n);
    std::vector<std::vector<T>> m(static_cast<size_t>(n_values));
    for (long i = 0; i < n_values; ++i)
      for (long j = 0; j < n_values; ++j) m[static_cast<size_t>(i)].push_back(out.at<T>(j, i));
    return m;
  }
};

template <class T>
void four_observations() {
  Stats<T> s(2, 8);
  using M = std::vector<std::vector<T>>;
  EXPECT_EQ(s.observe({0, 0}), (M{{0, 0}, {0, 0}}));
  EXPECT_EQ(s.observe({2, 4}), (M{{1, 2}, {2, 4}}));
  EXPECT_EQ(s.observe({4, 8}), (M{{2.25, 4.5}, {4.5, 9}}));
  EXPECT_EQ(s.observe({0, 0}), (M{{0.25, 0.5}, {0.5, 1}}));
  EXPECT_EQ(s.mean.template at<T>(0), T(1.5));
  EXPECT_EQ(s.mean.template at<T>(1), T(3));
  EXPECT_EQ(s.dev.template at<T>(1), T(1));
  // The output's row padding is left alone.
  EXPECT_EQ(std::to_integer<int>(s.out.row_ptr(0)[2 * sizeof(T)]), 0xA5);
}

TEST(CovarianceCompute, FourObservationsFloat64) { four_observations<double>(); }
TEST(CovarianceCompute, FourObservationsFloat32) { four_observations<float>(); }

TEST(CovarianceCompute, LengthOneIsTheSquareOfD) {
  Stats<double> s(1);
  s.observe({3});
  s.observe({5});
  EXPECT_EQ(s.observe({10}), (std::vector<std::vector<double>>{{(1.0 * 0.5 + (10 - 6.0) / 2) * (1.0 * 0.5 + (10 - 6.0) / 2)}}));
}

TEST(CovarianceCompute, Float32RoundsEveryStoredValue) {
  Stats<float> f(3);
  std::vector<double> mu(3), d(3);
  const std::vector<std::vector<float>> obs = {{0.1f, 1e7f, -3.3f}, {0.7f, 3.0f, 1e-3f},
                                               {1.9f, -2e6f, 8.8f}, {0.3f, 7.0f, 2.2f}};
  std::vector<float> mf(3), df(3);
  for (size_t k = 0; k < obs.size(); ++k) {
    const double n = static_cast<double>(k + 1);
    const auto out = f.observe(obs[k]);
    for (size_t i = 0; i < 3; ++i) {
      if (k == 0) {
        mf[i] = obs[k][i], df[i] = 0;
        continue;
      }
      mf[i] = static_cast<float>(static_cast<double>(mf[i]) * ((n - 1) / n) + static_cast<double>(obs[k][i]) / n);
      const double m = n - 1;
      df[i] = static_cast<float>(static_cast<double>(df[i]) * ((m - 1) / m) +
                                 (static_cast<double>(obs[k][i]) - static_cast<double>(mf[i])) / m);
    }
    for (size_t i = 0; i < 3; ++i)
      for (size_t j = 0; j < 3; ++j) ASSERT_EQ(out[i][j], df[i] * df[j]) << k << i << j;
  }
}

}  // namespace
