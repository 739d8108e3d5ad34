// Per-plane totals over every cell of a matrix of any number of dimensions:
// the mass (char sums divided by 255, double accumulators) and the plain
// sum (accumulators as wide as the cell type asks for).
#pragma once

#include "frame/matrix.h"

namespace moments {

enum class Totals { Mass, Sum };

// Writes one value per plane, plane 0 first, rounded to float32, and
// returns how many: the plane count, at most kMaxPlanes (further planes are
// not summed). An unknown cell type gives zeros.
long plane_totals(const frame::Matrix& m, Totals kind, float out[frame::kMaxPlanes]);

}  // namespace moments
