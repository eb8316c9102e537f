#include "camera/ray_evaluation.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "camera/arctangent.h"
#include "camera/vec3.h"

namespace vantorel {

uint32_t sampleIndex(double timeFraction, uint32_t n) noexcept {
    const double last = static_cast<double>(n);
    const double position = timeFraction * last;
    if (position > 0.0 && position < last) [[likely]] {
        return static_cast<uint32_t>(position);
    }
    return position >= last ? n : 0; // not a number goes to the first sample
}

namespace {

// The range where the plain forms below are exact: no square of these overflows or underflows.
constexpr double kPlainFocusLengthMin = 1e-150;
constexpr double kPlainFocusLengthMax = 1e150;
constexpr double kPlainRadiusSquaredMax = 1e300;
// The range of axis weights (below) and of the squared length of the aim they give where aiming
// along the scaled direction overflows or underflows nowhere the formulas would not.
constexpr double kPlainAxisWeightMin = 1e-50;
constexpr double kPlainAxisWeightMax = 1e50;
constexpr double kPlainAimMin = 1e-100;
constexpr double kPlainAimMax = 1e100;

// atan(t) / t for z = t^2 in [0, 1]: minimax polynomial of degree 20, relative error 4.4e-18,
// evaluated in Estrin's scheme so that its steps run side by side.
[[gnu::always_inline]] inline double arctangentRatio(double z) noexcept {
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const double z8 = z4 * z4;
    const double z16 = z8 * z8;
    const double c1 = -0.3333333333333293 + 0.19999999999939708 * z;
    const double c3 = -0.14285714282101178 + 0.11111110996118471 * z;
    const double c5 = -0.09090906842530863 + 0.07692278220432583 * z;
    const double c7 = -0.06666392317640372 + 0.058804645922666376 * z;
    const double c9 = -0.052532599014663804 + 0.04721505678477325 * z;
    const double c11 = -0.04217170085367453 + 0.03660320577854576 * z;
    const double c13 = -0.029845452810653324 + 0.02191618368482567 * z;
    const double c15 = -0.013838376055627337 + 0.007154005094262033 * z;
    const double c17 = -0.0028637307860347365 + 0.0008240539244793024 * z;
    const double c19 = -0.00015062794551059852 + 1.3075265206099285e-05 * z;
    const double c1to4 = c1 + c3 * z2;
    const double c5to8 = c5 + c7 * z2;
    const double c9to12 = c9 + c11 * z2;
    const double c13to16 = c13 + c15 * z2;
    const double c17to20 = c17 + c19 * z2;
    const double c1to8 = c1to4 + c5to8 * z4;
    const double c9to16 = c9to12 + c13to16 * z4;
    const double c1to16 = c1to8 + c9to16 * z8;
    return 1.0 + z * (c1to16 + c17to20 * z16);
}

// The unnormalised direction towardX * rightAxis + towardY * upAxis + focusAxis - lensOffset,
// summed in the formulas' own order.
struct Aim {
    double x, y, z;
    double lengthSquared;
};

[[gnu::always_inline]] inline Aim aimAt(const TimeSample& e, double towardX, double towardY,
                                        const Vec3& lensOffset) noexcept {
    Aim a;
    a.x = towardX * e.rightAxis[0] + towardY * e.upAxis[0] + e.focusAxis[0] - lensOffset.x;
    a.y = towardX * e.rightAxis[1] + towardY * e.upAxis[1] + e.focusAxis[1] - lensOffset.y;
    a.z = towardX * e.rightAxis[2] + towardY * e.upAxis[2] + e.focusAxis[2] - lensOffset.z;
    a.lengthSquared = a.x * a.x + a.y * a.y + a.z * a.z;
    return a;
}

// The unnormalised direction towardX * rightAxis + towardY * upAxis + axisWeight * (focusAxis -
// lensOffset), the weight coming last so that it holds up as little as possible.
[[gnu::always_inline]] inline Aim aimAlong(const TimeSample& e, double towardX, double towardY,
                                           double axisWeight, const Vec3& lensOffset) noexcept {
    Aim a;
    a.x = (towardX * e.rightAxis[0] + towardY * e.upAxis[0]) +
          axisWeight * (e.focusAxis[0] - lensOffset.x);
    a.y = (towardX * e.rightAxis[1] + towardY * e.upAxis[1]) +
          axisWeight * (e.focusAxis[1] - lensOffset.y);
    a.z = (towardX * e.rightAxis[2] + towardY * e.upAxis[2]) +
          axisWeight * (e.focusAxis[2] - lensOffset.z);
    a.lengthSquared = a.x * a.x + a.y * a.y + a.z * a.z;
    return a;
}

// Writes origin, direction (the aim times inverseLength) and film normal.
[[gnu::always_inline]] inline void writeRay(const TimeSample& e, const Aim& aim,
                                            double inverseLength, const Vec3& lensOffset,
                                            CameraRay& ray) noexcept {
    ray.origin[0] = e.position[0] + lensOffset.x;
    ray.origin[1] = e.position[1] + lensOffset.y;
    ray.origin[2] = e.position[2] + lensOffset.z;
    ray.direction[0] = aim.x * inverseLength;
    ray.direction[1] = aim.y * inverseLength;
    ray.direction[2] = aim.z * inverseLength;
    ray.filmNormal[0] = e.filmNormal[0];
    ray.filmNormal[1] = e.filmNormal[1];
    ray.filmNormal[2] = e.filmNormal[2];
}

// The x and y parts of the perspective path's vectors side by side, so that each step of both
// is one instruction; z goes alone. Every sum keeps the formulas' order.
using Pair = double __attribute__((vector_size(16)));

[[gnu::always_inline]] inline Pair loadPair(const double* from) noexcept {
    Pair p;
    std::memcpy(&p, from, sizeof p);
    return p;
}

[[gnu::always_inline]] inline void storePair(double* to, Pair p) noexcept {
    std::memcpy(to, &p, sizeof p);
}

// cos^2 of the undistorted angle without trigonometry: cos^2(atan t) = 1 / (1 + t^2), with
// t^2 = radius^2 / focus length / focus length, which overflows or underflows only where t^2
// itself does.
[[gnu::always_inline]] inline double cosineSquared(double radiusSquared,
                                                   double focusLength) noexcept {
    return 1.0 / (1.0 + radiusSquared / focusLength / focusLength);
}

// The same with one division fewer, cos^2 = D / (D + radius^2 / D), for a focus length and a
// radius that are finite and not zero: within a few units in the last place wherever cos^2 is a
// normal number. The sum overflows only where the quotient does, and there cos^2 is below the
// smallest normal number and comes out 0.
[[gnu::always_inline]] inline double perspectiveCosineSquared(double radiusSquared,
                                                              double focusLength) noexcept {
    return focusLength / (focusLength + radiusSquared / focusLength);
}

// cos^4 vignetting; a filter that is off is left to the host.
[[gnu::always_inline]] inline void vignette(double vignetting, double cosineSquared,
                                            CameraRay& ray) noexcept {
    const double v = cosineSquared * cosineSquared * vignetting + (1.0 - vignetting);
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

// Offset on the lens
[[gnu::always_inline]] inline Vec3 lensOffsetOf(const TimeSample& e, double lensX,
                                                double lensY) noexcept {
    return {lensX * e.lensRight[0] + lensY * e.lensUp[0],
            lensX * e.lensRight[1] + lensY * e.lensUp[1],
            lensX * e.lensRight[2] + lensY * e.lensUp[2]};
}

// The film point shifted, and the square of its undistorted radius on the focal plane.
struct FilmPoint {
    double shiftedX, shiftedY;
    double radiusSquared;
};

[[gnu::always_inline]] inline FilmPoint filmPointOf(const TimeSample& e, double filmX,
                                                    double filmY) noexcept {
    FilmPoint p;
    p.shiftedX = filmX + e.shiftX;
    p.shiftedY = filmY + e.shiftY;
    const double planeX = p.shiftedX * e.rightLength;
    const double planeY = p.shiftedY * e.upLength;
    p.radiusSquared = planeX * planeX + planeY * planeY;
    return p;
}

// The formulas as they stand, for inputs outside the range of the plain forms, where infinities,
// zeros and not-a-number must come out as the formulas give them.
[[gnu::noinline]] void traceAnyRay(const TimeSample& e, double filmX, double filmY, double lensX,
                                   double lensY, CameraRay& ray) noexcept {
    const Vec3 lensOffset = lensOffsetOf(e, lensX, lensY);
    const FilmPoint p = filmPointOf(e, filmX, filmY);
    const double radius = std::sqrt(p.radiusSquared);
    const double angle = arctangentOfRatio(radius, e.focusLength);
    double factor = 0.0;
    if (radius != 0.0) {
        factor = radius / (angle * e.focusLength * e.distortion * e.fisheyeNorm +
                           (1.0 - e.distortion) * radius);
    }
    const Aim aim = aimAt(e, factor * p.shiftedX, factor * p.shiftedY, lensOffset);
    writeRay(e, aim, 1.0 / std::sqrt(aim.lengthSquared), lensOffset, ray);
    if (e.vignetting > 0.0) {
        vignette(e.vignetting, cosineSquared(p.radiusSquared, e.focusLength), ray);
    }
}

// Range tests on the upper 32 bits of a double (sign, exponent and the top of the mantissa): one
// unsigned comparison of one integer word, which keeps them off the floating-point units and costs
// as little on 32-bit targets as on 64-bit ones. For positive bounds whose lower words are zero,
// x lies in [low, high) exactly when its upper word lies in [upperWord(low), upperWord(high));
// negative numbers and not-a-number fall outside.
[[gnu::always_inline]] inline uint32_t upperWord(double x) noexcept {
    return static_cast<uint32_t>(std::bit_cast<uint64_t>(x) >> 32);
}

template <uint32_t kLow, uint32_t kHigh>
[[gnu::always_inline]] inline bool upperWordWithin(double x) noexcept {
    return upperWord(x) - kLow < kHigh - kLow;
}

// 2^-1022 <= x < infinity: a positive normal number.
[[gnu::always_inline]] inline bool isPositiveNormal(double x) noexcept {
    return upperWordWithin<0x00100000, 0x7ff00000>(x);
}

// 2^-1022 <= x < 2^1022: x and 1 / x are both normal numbers.
[[gnu::always_inline]] inline bool hasNormalReciprocal(double x) noexcept {
    return upperWordWithin<0x00100000, 0x7fd00000>(x);
}

// 1 / sqrt(x) for x with a normal reciprocal, as sqrt(x) x (1 / x): the square root and the
// division then run side by side instead of one waiting for the other. Within 3 units in the
// last place of the plain form.
[[gnu::always_inline]] inline double inverseSquareRootOfNormal(double x) noexcept {
    return std::sqrt(x) * (1.0 / x);
}

[[gnu::always_inline]] inline double inverseSquareRoot(double x) noexcept {
    if (hasNormalReciprocal(x)) [[likely]] {
        return inverseSquareRootOfNormal(x);
    }
    return 1.0 / std::sqrt(x);
}

// Without distortion the factor is exactly 1 wherever the radius is positive and finite and the
// focus length and fisheyeNorm are finite, and the angle is needed only for vignetting. The
// product below is a positive normal number only there (where it is not, the ray just takes the
// general way). Returns false, writing nothing, elsewhere.
[[gnu::always_inline]] inline bool tracePerspectiveRay(const TimeSample& e, double filmX,
                                                       double filmY, double lensX, double lensY,
                                                       CameraRay& ray) noexcept {
    const Pair shifted = Pair{filmX, filmY} + loadPair(&e.shiftX);
    const Pair plane = shifted * loadPair(&e.rightLength);
    const Pair planeSquared = plane * plane;
    const double radiusSquared = planeSquared[0] + planeSquared[1];
    if (!isPositiveNormal(radiusSquared * (e.focusLength * e.fisheyeNorm))) [[unlikely]] {
        return false;
    }
    const Pair lensXY = lensX * loadPair(e.lensRight) + lensY * loadPair(e.lensUp);
    const double lensZ = lensX * e.lensRight[2] + lensY * e.lensUp[2];
    const Pair aimXY = shifted[0] * loadPair(e.rightAxis) + shifted[1] * loadPair(e.upAxis) +
                       loadPair(e.focusAxis) - lensXY;
    const double aimZ =
        shifted[0] * e.rightAxis[2] + shifted[1] * e.upAxis[2] + e.focusAxis[2] - lensZ;
    const Pair aimSquared = aimXY * aimXY;
    const double inverseLength = inverseSquareRoot(aimSquared[0] + aimSquared[1] + aimZ * aimZ);
    storePair(ray.origin, loadPair(e.position) + lensXY);
    ray.origin[2] = e.position[2] + lensZ;
    storePair(ray.direction, aimXY * inverseLength);
    ray.direction[2] = aimZ * inverseLength;
    storePair(ray.filmNormal, loadPair(e.filmNormal));
    ray.filmNormal[2] = e.filmNormal[2];
    if (e.vignetting > 0.0) {
        vignette(e.vignetting, perspectiveCosineSquared(radiusSquared, e.focusLength), ray);
    }
    return true;
}

// With distortion the factor is 1 / w, w = distortion x fisheyeNorm x atan(t) / t +
// (1 - distortion), t = radius / focus length, and aiming along w times the formulas' direction
// spares the division by w. Returns false, writing nothing, where w or that aim is so large or so
// small that it would overflow or underflow somewhere the formulas do not.
[[gnu::always_inline]] inline bool traceDistortedRay(const TimeSample& e, double filmX,
                                                     double filmY, double lensX, double lensY,
                                                     CameraRay& ray) noexcept {
    const FilmPoint p = filmPointOf(e, filmX, filmY);
    const double focusLength = e.focusLength;
    if (!(focusLength > kPlainFocusLengthMin && focusLength < kPlainFocusLengthMax &&
          p.radiusSquared > 0.0 && p.radiusSquared < kPlainRadiusSquaredMax)) {
        return false;
    }
    // The reciprocal depends on the sample alone, so it is ready long before the radius
    const double tangentSquared = p.radiusSquared * (1.0 / (focusLength * focusLength));
    const double axisWeight =
        e.distortion * e.fisheyeNorm * arctangentRatio(tangentSquared) + (1.0 - e.distortion);
    const Vec3 lensOffset = lensOffsetOf(e, lensX, lensY);
    const Aim aim = aimAlong(e, p.shiftedX, p.shiftedY, axisWeight, lensOffset);
    const double weightSize = std::fabs(axisWeight);
    if (!(tangentSquared <= 1.0 && weightSize > kPlainAxisWeightMin &&
          weightSize < kPlainAxisWeightMax && aim.lengthSquared > kPlainAimMin &&
          aim.lengthSquared < kPlainAimMax)) {
        return false;
    }
    // A negative weight turns the aim round
    writeRay(e, aim, std::copysign(inverseSquareRootOfNormal(aim.lengthSquared), axisWeight),
             lensOffset, ray);
    if (e.vignetting > 0.0) {
        vignette(e.vignetting, 1.0 / (1.0 + tangentSquared), ray);
    }
    return true;
}

// x == 0 (either zero), tested as an integer: with the sign bit shifted out nothing is left.
[[gnu::always_inline]] inline bool isZero(double x) noexcept {
    return (std::bit_cast<uint64_t>(x) << 1) == 0;
}

// Each kind of lens in a function of its own, so that neither's work is scheduled into the
// other's. Both return 1, the evaluation's result, so that they end it with a jump.
[[gnu::noinline]] int tracePerspective(const TimeSample& e, double filmX, double filmY,
                                       double lensX, double lensY, CameraRay& ray) noexcept {
    if (!tracePerspectiveRay(e, filmX, filmY, lensX, lensY, ray)) {
        traceAnyRay(e, filmX, filmY, lensX, lensY, ray);
    }
    return 1;
}

[[gnu::noinline]] int traceDistorted(const TimeSample& e, double filmX, double filmY, double lensX,
                                     double lensY, CameraRay& ray) noexcept {
    if (!traceDistortedRay(e, filmX, filmY, lensX, lensY, ray)) {
        traceAnyRay(e, filmX, filmY, lensX, lensY, ray);
    }
    return 1;
}

[[gnu::always_inline]] inline int trace(const TimeSample& e, double filmX, double filmY,
                                        double lensX, double lensY, CameraRay& ray) noexcept {
    return isZero(e.distortion) ? tracePerspective(e, filmX, filmY, lensX, lensY, ray)
                               : traceDistorted(e, filmX, filmY, lensX, lensY, ray);
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
    return trace(e, filmX, filmY, lensX, lensY, *ray);
}

} // namespace vantorel
