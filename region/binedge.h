// Binary edges: a foreground cell is an edge cell when one of its up to
// eight neighbours inside the region is background (0; -0.0 for floats).
#pragma once

#include "frame/matrix.h"

namespace region {

// Marks the edges of the width x height region of `in` into `out` (plane 0
// of each, rows by each matrix's own stride; `in` has one plane). Both have
// cell type `type`; an unknown type writes nothing. Every cell of the region
// is written: 255 / 1 / 1.0 on edges, 0 elsewhere.
void binary_edges(const frame::Matrix& in, const frame::Matrix& out, long width, long height);

}  // namespace region
