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

void traceRay(const TimeSample& e, double filmX, double filmY, double lensX, double lensY,
              CameraRay& ray) noexcept {
    // Offset on the lens
    double lensOffset[3];
    for (int c = 0; c < 3; ++c) {
        lensOffset[c] = lensX * e.lensRight[c] + lensY * e.lensUp[c];
    }

    // Undistorted radius and off-axis angle on the focal plane
    const double planeX = (e.shiftX + filmX) * e.rightLength;
    const double planeY = (filmY + e.shiftY) * e.upLength;
    const double radius = std::sqrt(planeX * planeX + planeY * planeY);
    const double angle = std::atan(radius / e.focusLength);

    // Radial distortion: blends perspective with an equidistant mapping that keeps points at half
    // the film height from the axis in place
    double factor = 0.0;
    if (radius != 0.0) {
        factor = radius / (angle * e.focusLength * e.distortion * e.fisheyeNorm +
                           (1.0 - e.distortion) * radius);
    }

    // Aim from the lens point at the focal-plane point
    double direction[3];
    for (int c = 0; c < 3; ++c) {
        direction[c] = factor * (filmX + e.shiftX) * e.rightAxis[c] +
                       factor * (filmY + e.shiftY) * e.upAxis[c] + e.focusAxis[c] - lensOffset[c];
    }
    const double directionLength = std::sqrt(
        direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
    for (int c = 0; c < 3; ++c) {
        ray.origin[c] = e.position[c] + lensOffset[c];
        ray.direction[c] = direction[c] / directionLength;
        ray.filmNormal[c] = e.filmNormal[c];
    }

    // cos^4 vignetting of the undistorted angle; a filter that is off is left to the host
    if (e.vignetting > 0.0) {
        const double v = std::pow(std::cos(angle), 4.0) * e.vignetting + (1.0 - e.vignetting);
        for (int c = 0; c < 9; ++c) {
            ray.filter[c] = (c % 4 == 0) ? v : 0.0;
        }
    }
}

int cameraEvaluate(void* inst, double filmX, double filmY, double lensX, double lensY,
                   double timeFraction, CameraRay* ray) noexcept {
    const auto* instance = static_cast<const CameraInstance*>(inst);
    if (!instance || !instance->samples || !ray) {
        return 0;
    }
    const TimeSample& e = instance->samples[sampleIndex(timeFraction, instance->sampleCount)];
    traceRay(e, filmX, filmY, lensX, lensY, *ray);
    return 1;
}

} // namespace vantorel
