#include "camera/arctangent.h"

#include <cmath>

namespace vantorel {

// The quotient is folded onto |x| <= tan(pi/8) with atan(t) = pi/2 - atan(1/t) and
// atan(t) = pi/4 + atan((t - 1)/(t + 1)), one division either way, and a minimax polynomial
// (degree 10 in x^2, relative error 2.4e-18) covers what is left.
double arctangentOfRatio(double rise, double run) noexcept {
    constexpr double kTanEighthPi = 0.41421356237309503;
    constexpr double kTanThreeEighthsPi = 2.414213562373095;
    // pi/4 and pi/2 each as a double and the double nearest the rest
    static constexpr double kBaseHigh[3] = {0.0, 0.7853981633974483, 1.5707963267948966};
    static constexpr double kBaseLow[3] = {0.0, 3.061616997868383e-17, 6.123233995736766e-17};
    const double runSize = std::fabs(run);
    const int region = static_cast<int>(rise > kTanEighthPi * runSize) +
                       static_cast<int>(rise > kTanThreeEighthsPi * runSize);
    const double numerators[3] = {rise, rise - runSize, -runSize};
    const double denominators[3] = {runSize, rise + runSize, rise};
    const double x = numerators[region] / denominators[region];

    const double z = x * x;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const double z8 = z4 * z4;
    const double c1 = -0.3333333333333327 + 0.19999999999969312 * z;
    const double c3 = -0.14285714281383943 + 0.11111110826572136 * z;
    const double c5 = -0.09090898612754982 + 0.07692069764531696 * z;
    const double c7 = -0.06663159118221913 + 0.05847964871018047 * z;
    const double c9 = -0.050384155744535204 + 0.03801563965108175 * z;
    const double c1to4 = c1 + c3 * z2;
    const double c5to8 = c5 + c7 * z2;
    const double c9to11 = c9 - 0.017829241251105885 * z2;
    const double c = (c1to4 + c5to8 * z4) + c9to11 * z8;
    const double folded = (x + x * (z * c)) + kBaseLow[region];
    return std::copysign(kBaseHigh[region] + folded, run);
}

} // namespace vantorel
