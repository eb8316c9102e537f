#include "render/scene.h"

#include <cmath>
#include <numbers>

namespace vantorel::render {

CameraState lerp(const CameraState& a, const CameraState& b, double t) {
    return {lerp(a.position, b.position, t), lerp(a.headingPitchBank, b.headingPitchBank, t),
            lerp(a.zoom, b.zoom, t), lerp(a.focusDistance, b.focusDistance, t),
            lerp(a.fStop, b.fStop, t)};
}

Vec3 headingPitchTowards(Vec3 from, Vec3 target) {
    const Vec3 d = target - from;
    const double degrees = 180.0 / std::numbers::pi;
    return {std::atan2(d.x, d.z) * degrees, std::atan2(-d.y, std::hypot(d.x, d.z)) * degrees, 0.0};
}

} // namespace vantorel::render
