#pragma once

#include <numbers>

namespace threadgauge {

// The fundamental triangle height is taken as 0.866 P, as the gauge tables were computed,
// not as √3/2 P; the factors are formed first (0.6495 and 1.0825), then multiplied by P.
inline double BasicPitchDiameter(double d, double P) { return d - (0.75 * 0.866) * P; }
inline double BasicMinorDiameter(double d, double P) { return d - (1.25 * 0.866) * P; }

// The flank half-angle of the 60° metric thread, in radians.
inline const double kFlankHalfAngle = std::numbers::pi * 30 / 180;

}  // namespace threadgauge
