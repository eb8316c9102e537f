#include "camera/ray_evaluation.h"

#include <cmath>

namespace vantorel {

uint32_t sampleIndex(double timeFraction, uint32_t n) noexcept {
    const double position = timeFraction * static_cast<double>(n);
    if (position >= static_cast<double>(n)) {
        return n;
    }
    if (position > 0.0) {
        return static_cast<uint32_t>(position);
    }
    return 0; // also NaN
}

namespace {

// Where the plain forms below are exact: no square of these can overflow or underflow, and the
// undistorted angle times the focus length stays finite.
constexpr double kPlainFocusLengthMin = 1e-150;
constexpr double kPlainFocusLengthMax = 1e150;
constexpr double kPlainRadiusSquaredMax = 1e300;

// atan(radius / focusLength) for radius >= 0, to about two units in the last place, computed the
// same way on every compiler. The quotient is folded onto |x| <= tan(pi/8) with atan(t) = pi/2 -
// atan(1/t) and atan(t) = pi/4 + atan((t - 1)/(t + 1)), taking one division either way, and a
// minimax polynomial (degree 10 in x^2, relative error 2.4e-18) covers what is left.
double offAxisAngle(double radius, double focusLength) noexcept {
    constexpr double kTanEighthPi = 0.41421356237309503;
    constexpr double kTanThreeEighthsPi = 2.414213562373095;
    constexpr double kHalfPi[2] = {1.5707963267948966, 6.123233995736766e-17};
    constexpr double kQuarterPi[2] = {0.7853981633974483, 3.061616997868383e-17};
    const double run = std::fabs(focusLength);
    const bool steep = radius > kTanThreeEighthsPi * run;
    const bool middle = !steep && radius > kTanEighthPi * run;
    const double numerator = steep ? -run : middle ? radius - run : radius;
    const double denominator = steep ? radius : middle ? radius + run : run;
    const double baseHigh = steep ? kHalfPi[0] : middle ? kQuarterPi[0] : 0.0;
    const double baseLow = steep ? kHalfPi[1] : middle ? kQuarterPi[1] : 0.0;

    const double x = numerator / denominator;
    const double z = x * x;
    double p = -0.017829241251105885;
    p = p * z + 0.03801563965108175;
    p = p * z - 0.050384155744535204;
    p = p * z + 0.05847964871018047;
    p = p * z - 0.06663159118221913;
    p = p * z + 0.07692069764531696;
    p = p * z - 0.09090898612754982;
    p = p * z + 0.11111110826572136;
    p = p * z - 0.14285714281383943;
    p = p * z + 0.19999999999969312;
    p = p * z - 0.3333333333333327;
    return std::copysign(baseHigh + ((x + x * (z * p)) + baseLow), focusLength);
}

// cos^2 of the undistorted angle atan(sqrt(radiusSquared) / focusLength), without trigonometry:
// cos^2(atan t) = 1 / (1 + t^2).
double cosineSquared(double radiusSquared, double focusLength, bool plain) noexcept {
    if (plain) {
        const double focusSquared = focusLength * focusLength;
        return focusSquared / (focusSquared + radiusSquared);
    }
    const double tangent = std::sqrt(radiusSquared) / focusLength;
    return 1.0 / (1.0 + tangent * tangent);
}

[[gnu::always_inline]] inline void trace(const TimeSample& e, double filmX, double filmY,
                                         double lensX, double lensY, CameraRay& ray) noexcept {
    // Offset on the lens
    const double lensOffsetX = lensX * e.lensRight[0] + lensY * e.lensUp[0];
    const double lensOffsetY = lensX * e.lensRight[1] + lensY * e.lensUp[1];
    const double lensOffsetZ = lensX * e.lensRight[2] + lensY * e.lensUp[2];

    // Undistorted point on the focal plane
    const double shiftedX = filmX + e.shiftX;
    const double shiftedY = filmY + e.shiftY;
    const double planeX = shiftedX * e.rightLength;
    const double planeY = shiftedY * e.upLength;
    const double radiusSquared = planeX * planeX + planeY * planeY;
    const double focusLength = e.focusLength;
    const bool plain = focusLength > kPlainFocusLengthMin && focusLength < kPlainFocusLengthMax &&
                       radiusSquared < kPlainRadiusSquaredMax;

    // Radial distortion. Without it the factor is exactly 1 off the axis (0 on it), so the angle
    // is only needed for vignetting.
    double factor = 0.0;
    if (e.distortion == 0.0 && plain && std::isfinite(e.fisheyeNorm)) {
        factor = radiusSquared != 0.0 ? 1.0 : 0.0;
    } else {
        const double radius = std::sqrt(radiusSquared);
        const double angle = offAxisAngle(radius, focusLength);
        if (radius != 0.0) {
            factor = radius / (angle * focusLength * e.distortion * e.fisheyeNorm +
                               (1.0 - e.distortion) * radius);
        }
    }

    // Aim from the lens point at the focal-plane point
    const double towardX = factor * shiftedX;
    const double towardY = factor * shiftedY;
    const double directionX =
        towardX * e.rightAxis[0] + towardY * e.upAxis[0] + e.focusAxis[0] - lensOffsetX;
    const double directionY =
        towardX * e.rightAxis[1] + towardY * e.upAxis[1] + e.focusAxis[1] - lensOffsetY;
    const double directionZ =
        towardX * e.rightAxis[2] + towardY * e.upAxis[2] + e.focusAxis[2] - lensOffsetZ;
    const double inverseLength = 1.0 / std::sqrt(directionX * directionX + directionY * directionY +
                                                 directionZ * directionZ);
    ray.origin[0] = e.position[0] + lensOffsetX;
    ray.origin[1] = e.position[1] + lensOffsetY;
    ray.origin[2] = e.position[2] + lensOffsetZ;
    ray.direction[0] = directionX * inverseLength;
    ray.direction[1] = directionY * inverseLength;
    ray.direction[2] = directionZ * inverseLength;
    ray.filmNormal[0] = e.filmNormal[0];
    ray.filmNormal[1] = e.filmNormal[1];
    ray.filmNormal[2] = e.filmNormal[2];

    // cos^4 vignetting of the undistorted angle; a filter that is off is left to the host
    if (e.vignetting > 0.0) {
        const double cosine2 = cosineSquared(radiusSquared, focusLength, plain);
        const double v = cosine2 * cosine2 * e.vignetting + (1.0 - e.vignetting);
        ray.filter[0] = v;
        ray.filter[1] = 0.0;
        ray.filter[2] = 0.0;
        ray.filter[3] = 0.0;
        ray.filter[4] = v;
        ray.filter[5] = 0.0;
        ray.filter[6] = 0.0;
        ray.filter[7] = 0.0;
        ray.filter[8] = v;
    }
}

} // namespace

void traceRay(const TimeSample& e, double filmX, double filmY, double lensX, double lensY,
              CameraRay& ray) noexcept {
    trace(e, filmX, filmY, lensX, lensY, ray);
}

int cameraEvaluate(void* inst, double filmX, double filmY, double lensX, double lensY,
                   double timeFraction, CameraRay* ray) noexcept {
    const auto* instance = static_cast<const CameraInstance*>(inst);
    if (!instance || !instance->samples || !ray) {
        return 0;
    }
    const TimeSample& e = instance->samples[sampleIndex(timeFraction, instance->sampleCount)];
    trace(e, filmX, filmY, lensX, lensY, *ray);
    return 1;
}

} // namespace vantorel
