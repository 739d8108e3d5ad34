// Raw moments up to the third order of a single-plane 2-D image, the seven
// normalised central moments of orders two and three and the seven Hu
// invariants. Cell values are the weights; zero cells are skipped.
#pragma once

#include "frame/matrix.h"

namespace moments {

// The instance keeps these between the accumulation and the results, in
// this order.
struct RawSums {
  double m00, m01, m10, m11, m20, m02, m21, m12, m30, m03;
};
// Central moments, replaced in place by their normalised values.
struct CentralMoments {
  double mu11, mu20, mu02, mu21, mu12, mu30, mu03;
};

// Where the float32 results go (the attributes of the instance).
struct MomentResults {
  float* moments;    // 7: eta20, eta02, eta11, eta21, eta12, eta30, eta03
  float* hu;         // 7
  float* centroids;  // 2: cx, cy
  float* mass;       // 1: m00, unscaled
};

inline constexpr double kCharScale = 0.00392156863;

using PowFn = double (*)(double, double);

// Adds every non-zero cell of `m` (one plane, two dimensions, any type; an
// unknown type adds nothing) to `s`, rows in increasing y, columns in
// increasing x. The sums come out exactly as that sequence of double
// additions gives them.
void accumulate_moments(const frame::Matrix& m, RawSums& s);

// From the sums: centroid, scaling by kCharScale, central and normalised
// moments, Hu invariants, stored rounded to float32. Returns false and
// leaves `out` (and `c`, `centroid`) alone when m00 is 0. `s` is scaled in
// place.
bool finish_moments(RawSums& s, CentralMoments& c, double centroid[2], const MomentResults& out,
                    PowFn pow_fn);

}  // namespace moments
