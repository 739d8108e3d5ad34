// Straight-line Hough transform of a binary image: every foreground cell
// votes, for each angle θ_t, for the distance bin of x cos θ + y sin θ.
#pragma once

#include <cstdint>

#include "frame/matrix.h"

namespace region {

inline constexpr long kMaxAngles = 360;
inline constexpr double kDefaultRho = 4.0;
inline constexpr double kDefaultTheta = 0.0872664626;  // 5 degrees
inline constexpr double kMinRho = 1.0, kMaxRho = 20.0;
inline constexpr double kMinTheta = 0.00872664626, kMaxTheta = 1.570796326795;

// Sizes and steps of one frame's accumulator.
struct HoughGeometry {
  double rho_step;
  double theta_step;
  double k;      // 1 / rho_step: votes multiply, they never divide
  long n_theta;  // rows
  long n_rho;    // columns
  long c;        // column of distance 0
};

// From the attribute values (clamped here; NaN computes with the default)
// and the input's width and height.
HoughGeometry hough_geometry(double rho, double theta, long width, long height);

struct HoughTables {
  double sine[kMaxAngles];
  double cosine[kMaxAngles];
};

// Angle t is the sum of t steps, accumulated by repeated addition.
template <class Sin, class Cos>
void fill_angle_tables(HoughTables& t, const HoughGeometry& g, Sin sin_fn, Cos cos_fn) {
  double a = 0.0;
  for (long i = 0; i < g.n_theta; ++i) {
    t.sine[i] = sin_fn(a);
    t.cosine[i] = cos_fn(a);
    a += g.theta_step;
  }
}

// Rounds half away from zero, as C's round(), then truncates to 32 bits;
// |v| stays far below 2^31 for any matrix that fits in memory.
std::int32_t round_vote(double v);

// The vote loop's vector width: the widest the processor has, the baseline
// of the build (SSE2 on x86-64, else the portable form), or the portable
// form in plain C++ that other processors run. All give the same votes.
enum class VoteKernel { Fastest, Baseline, Portable };

// Adds the votes of `in` to `acc` (n_rho x n_theta cells, already cleared).
// Votes whose column falls outside the accumulator are dropped.
void hough_vote(const frame::PlaneView<const std::uint8_t>& in,
                const frame::PlaneView<std::int32_t>& acc, const HoughTables& tables,
                const HoughGeometry& g, VoteKernel kernel = VoteKernel::Fastest);

}  // namespace region
