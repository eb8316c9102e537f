// The ray formulas written out literally, step by step, with no rearrangement: the yardstick the
// optimised ray evaluation is held against. lastBitNudge moves the results of the arctangent and
// of the cosine's power by that many units in the last place, to show how much the rays depend on
// the last bits of those functions.
#pragma once

#include <cmath>
#include <cstdlib>

#include "camera/camera_instance.h"

namespace vantorel::reference {

inline double nudged(double value, int unitsInTheLastPlace) {
    for (int i = 0; i < std::abs(unitsInTheLastPlace); ++i) {
        value = std::nextafter(value, unitsInTheLastPlace > 0 ? INFINITY : -INFINITY);
    }
    return value;
}

inline void traceRay(const TimeSample& e, double filmX, double filmY, double lensX, double lensY,
                     CameraRay& ray, int lastBitNudge = 0) {
    // Offset on the lens
    double lensOffset[3];
    for (int c = 0; c < 3; ++c) {
        lensOffset[c] = lensX * e.lensRight[c] + lensY * e.lensUp[c];
    }

    // Undistorted radius and off-axis angle on the focal plane
    const double planeX = (e.shiftX + filmX) * e.rightLength;
    const double planeY = (filmY + e.shiftY) * e.upLength;
    const double radius = std::sqrt(planeX * planeX + planeY * planeY);
    const double angle = nudged(std::atan(radius / e.focusLength), lastBitNudge);

    // Radial distortion
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

    // cos^4 vignetting of the undistorted angle; a filter that is off is not written
    if (e.vignetting > 0.0) {
        const double v = nudged(std::pow(std::cos(angle), 4.0), lastBitNudge) * e.vignetting +
                         (1.0 - e.vignetting);
        for (int c = 0; c < 9; ++c) {
            ray.filter[c] = (c % 4 == 0) ? v : 0.0;
        }
    }
}

} // namespace vantorel::reference
