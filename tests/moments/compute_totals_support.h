// Centroids by each byte kernel and totals as a vector, shared by
// compute_totals_test.cpp and compute_totals_opencv_test.cpp.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "moments/byte_rows.h"
#include "moments/centroids.h"
#include "moments/plane_totals.h"
#include "support/owned_matrix.h"

namespace {

// The centroid of `m` by every byte kernel in turn, each passed to check()
// under a trace that names the size and the kernel.
template <class Check>
void for_each_byte_kernel(const zt::OwnedMatrix& m, Check check) {
  for (auto kernel : {moments::ByteKernel::Fastest, moments::ByteKernel::Baseline,
                      moments::ByteKernel::Portable}) {
    const auto was = moments::use_byte_kernel(kernel);
    const moments::Centroid c = moments::compute_centroid(m);
    moments::use_byte_kernel(was);
    SCOPED_TRACE(testing::Message() << m.matrix().dim[0] << " x " << m.matrix().dim[1] << " kernel "
                                    << static_cast<int>(kernel));
    check(c);
  }
}

inline std::vector<float> totals(const frame::Matrix& m, moments::Totals k) {
  float out[frame::kMaxPlanes];
  const long n = moments::plane_totals(m, k, out);
  return std::vector<float>(out, out + n);
}

}  // namespace
