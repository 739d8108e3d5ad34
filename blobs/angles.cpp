#include "blobs/angles.h"

#include <cmath>

namespace blobs {

float orientation_radians(const float* c) {
  const float e20 = c[kEta20], e02 = c[kEta02], e11 = c[kEta11];
  float theta = 0.0f;
  const float d = e20 - e02;
  if (d != 0.0f) {
    const float t = 2.0f * e11;
    const float q = t / d;
    theta = static_cast<float>(0.5 * std::atan(static_cast<double>(q)));
    if (!(e20 > e02))
      theta = static_cast<float>(theta + kQuarterTurn);
    else if (theta < 0.0f)
      theta = static_cast<float>(theta + kHalfTurn);
  }
  return theta;
}

float orientation(const float* c, bool degrees) {
  const float theta = orientation_radians(c);
  return degrees ? static_cast<float>(theta * kDegrees) : theta;
}

float direction(const float* c, DirectionSettings s) {
  float theta = orientation_radians(c);
  // Which end of the axis: the sign of the third-order moment along it.
  const double t = theta;
  bool turn;
  if (kEighthTurn < t && t < kThreeEighths)
    turn = c[kEta03] < 0.0f;
  else if (t > kThreeEighths)
    turn = c[kEta30] > 0.0f;
  else
    turn = c[kEta30] < 0.0f;
  if (turn) theta = static_cast<float>(theta + kHalfTurn);
  if (s.flip) theta = static_cast<float>(theta > 0.0f ? theta - kHalfTurn : theta + kHalfTurn);
  return s.degrees ? static_cast<float>(theta * kDegrees) : theta;
}

float elongation(const float* c) {
  const double a = c[kEta20], b = c[kEta02], e = c[kEta11];
  return static_cast<float>(((a - b) * (a - b) + e * e * 4.0) / (a * b));
}

}  // namespace blobs
