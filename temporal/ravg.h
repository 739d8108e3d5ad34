// Exponential running average: every value becomes alpha · input plus
// (1 − alpha) · the previous average. char and long cells keep the average
// as float32 in an internal matrix of their own; float cells keep it in the
// output. A row is taken as the run of whole 16-byte groups that its stride
// holds (4-byte groups of a char row), whatever its cells and planes.
#pragma once

#include "frame/matrix.h"
#include "temporal/blend.h"
#include "temporal/working.h"

namespace temporal {

// Values averaged per row: groups from the row strides, times the values
// of a group (4; 2 for float64).
long ravg_row_values(const frame::Matrix& in, const frame::Matrix& internal);

// Whether every row run of the region lies inside each matrix's `size`
// bytes (the internal matrix only for char and long). Same-size matrices
// from the host always fit; odd strides may not.
bool ravg_rows_fit(const Region& r, const frame::Matrix& in, const frame::Matrix& out,
                   const frame::Matrix& internal);

// Averages one part of the region: `dim` (dimcount entries) and the three
// data addresses describe the part, which may be cut along either of the
// first two dimensions, its rows starting at cell `first_cell` of the
// matrices' rows; the strides are those of the whole matrices. Each row's
// run is the whole groups of its stride from the row's start, as far as they
// reach into the part's cells. The internal matrix is used only for char
// and long.
void ravg_slice(double alpha, long dimcount, const long* dim, const frame::Matrix& in,
                const frame::Matrix& out, const frame::Matrix& internal,
                BlendKernel kernel = BlendKernel::Fastest, long first_cell = 0);

}  // namespace temporal
