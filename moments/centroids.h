// Mass and intensity-weighted centroid of a single-plane 2-D image.
#pragma once

#include "frame/matrix.h"

namespace moments {

struct Centroid {
  float mass;    // sum of the cells (times kCharScale for char)
  float cx, cy;  // -1, -1 when the mass is not positive
};

// Every cell counts (no skipping); an unknown type gives mass 0.
Centroid compute_centroid(const frame::Matrix& m);

}  // namespace moments
