// One camera ray from the frame's time-sample table.
//
// A thin lens focused at the host camera's focus distance: the film point is mapped onto the focal
// plane (film shift, radial distortion), the origin moves across the lens, and the direction aims
// at the focal-plane point, so only objects at the focus distance are sharp.
#pragma once

#include <cstdint>

#include "camera/camera_instance.h"

namespace vantorel {

// The table entry a time fraction selects: fraction x n truncated toward zero. Fractions whose
// sample would fall outside 0..n, or that are not finite, take the nearest end of the table.
uint32_t sampleIndex(double timeFraction, uint32_t n) noexcept;

// Writes origin, direction, film normal and, with positive vignetting, the filter of the ray
// through film point (filmX, filmY) and lens point (lensX, lensY) at sample e. The formulas are
// rearranged for speed only where that is exact up to rounding, and the arctangent is computed
// here, so rays come out the same whatever the compiler or its math library.
void traceRay(const TimeSample& e, double filmX, double filmY, double lensX, double lensY,
              CameraRay& ray) noexcept;

} // namespace vantorel
