// The moment computation run end to end, shared by compute_moments_test.cpp
// and compute_moments_opencv_test.cpp.
#pragma once

#include <cmath>

#include "moments/moments.h"

namespace {

struct Out {
  float moments[7] = {}, hu[7] = {}, centroids[2] = {}, mass = 0;
  moments::MomentResults ptrs() { return {moments, hu, centroids, &mass}; }
};

inline double plain_pow(double a, double b) { return std::pow(a, b); }

inline bool run(const frame::Matrix& m, Out& out) {
  moments::RawSums s{};
  moments::CentralMoments c{};
  double centroid[2] = {};
  moments::accumulate_moments(m, s);
  return moments::finish_moments(s, c, centroid, out.ptrs(), plain_pow);
}

}  // namespace
