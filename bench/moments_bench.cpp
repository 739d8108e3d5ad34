// Whole-image measures beside their OpenCV counterparts, on the same images.
#include <benchmark/benchmark.h>

#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "bench/scenes.h"

#include "moments/centroids.h"
#include "moments/moments.h"
#include "moments/plane_totals.h"

namespace {

// A smooth grey image with some black, as a camera frame after a threshold
// of the background would give.
cv::Mat grey_image(int w, int h, int channels = 1) {
  cv::Mat noise(h, w, CV_8UC(channels));
  cv::randu(noise, 0, 256);
  cv::Mat img;
  cv::GaussianBlur(noise, img, cv::Size(0, 0), 3);
  return img;
}

double plain_pow(double a, double b) { return std::pow(a, b); }

void BM_Moments_zelk_moments(benchmark::State& st) {
  const cv::Mat img = grey_image(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  const frame::Matrix m = as_frame(img, frame::CellType::Char);
  float mo[7], hu[7], c[2], mass;
  for (auto _ : st) {
    moments::RawSums s{};
    moments::CentralMoments cm{};
    double centroid[2];
    moments::accumulate_moments(m, s);
    moments::finish_moments(s, cm, centroid, {mo, hu, c, &mass}, plain_pow);
    benchmark::DoNotOptimize(hu[0]);
  }
}

void BM_Moments_cv_moments(benchmark::State& st) {
  const cv::Mat img = grey_image(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  for (auto _ : st) {
    cv::Moments cm = cv::moments(img);
    double hu[7];
    cv::HuMoments(cm, hu);
    benchmark::DoNotOptimize(hu[0]);
  }
}

void BM_Moments_zelk_centroids(benchmark::State& st) {
  const cv::Mat img = grey_image(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
  const frame::Matrix m = as_frame(img, frame::CellType::Char);
  for (auto _ : st) {
    moments::Centroid c = moments::compute_centroid(m);
    benchmark::DoNotOptimize(c);
  }
}

void BM_Moments_zelk_mass4(benchmark::State& st) {
  const cv::Mat img = grey_image(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)), 4);
  const frame::Matrix m = as_frame(img, frame::CellType::Char);
  float out[32];
  for (auto _ : st) {
    moments::plane_totals(m, moments::Totals::Mass, out);
    benchmark::DoNotOptimize(out[0]);
  }
}

void BM_Moments_zelk_sum4(benchmark::State& st) {
  const cv::Mat img = grey_image(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)), 4);
  const frame::Matrix m = as_frame(img, frame::CellType::Char);
  float out[32];
  for (auto _ : st) {
    moments::plane_totals(m, moments::Totals::Sum, out);
    benchmark::DoNotOptimize(out[0]);
  }
}

void BM_Moments_cv_sum4(benchmark::State& st) {
  const cv::Mat img = grey_image(static_cast<int>(st.range(0)), static_cast<int>(st.range(1)), 4);
  for (auto _ : st) {
    cv::Scalar s = cv::sum(img);
    benchmark::DoNotOptimize(s);
  }
}

#define SIZES ->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Moments_zelk_moments) SIZES;
BENCHMARK(BM_Moments_cv_moments) SIZES;
BENCHMARK(BM_Moments_zelk_centroids) SIZES;
BENCHMARK(BM_Moments_zelk_mass4) SIZES;
BENCHMARK(BM_Moments_zelk_sum4) SIZES;
BENCHMARK(BM_Moments_cv_sum4) SIZES;

}  // namespace
