// Cumulative mean over a stream of frames: the N-th frame since a restart
// enters with weight 1/N. Integer cells keep their means in a float64
// accumulator (densely, in walk order); float cells keep them in the output.
#pragma once

#include "frame/matrix.h"
#include "temporal/blend.h"
#include "temporal/working.h"

namespace temporal {

// Accumulator bytes for a region: each row's bytes (dim[0] x planes x 8)
// rounded down to 16, plus 16, times every higher size; -1 when too large.
long long mean_accumulator_bytes(const Region& r);

// Values of the region, one accumulator value each; -1 when too large.
long long mean_values(const Region& r);

// True when every row of `r` lies within the accumulator laid out for
// `laid_out`: same plane and dimension counts, no size larger.
bool region_within(const Region& r, const Region& laid_out);

// Averages one frame into the means with n the frame's number (n >= 1).
// `acc` holds mean_values(laid_out) values laid out densely for `laid_out`,
// a region that r lies within; a smaller r keeps each cell's own mean.
// Only char and long cells use it. Nothing is touched when either matrix
// has no cells.
void mean_walk(const frame::Matrix& in, const frame::Matrix& out, const Region& r, double n,
               double* acc, const Region& laid_out, BlendKernel kernel = BlendKernel::Fastest);

}  // namespace temporal
