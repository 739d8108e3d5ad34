// Running statistics of a stream of vectors: the mean mu and the mean d of
// the deviations of each observation from the mean after it; the output is
// the outer product d·dᵀ.
#pragma once

#include "frame/matrix.h"

namespace temporal {

// Takes observation `n` (n >= 1 since the last restart) of the vector
// `x` (one-dimensional, one plane) into `mean` and `dev` (N consecutive
// values each) and writes d[i]·d[j] into row i, column j of `out`. All four
// are of x's type, float32 or float64; N is x's dim[0], limited to what the
// other matrices hold.
void covariance_update(const frame::Matrix& x, const frame::Matrix& mean, const frame::Matrix& dev,
                       const frame::Matrix& out, long n);

}  // namespace temporal
