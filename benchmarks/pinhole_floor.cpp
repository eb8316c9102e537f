// The floor of a camera ray, kept in a file of its own so that nothing inlines it.
#include <cmath>

#include "ray_cases.h"

namespace vantorel::bench {

namespace {

uint32_t pinholeIndex(double timeFraction, uint32_t n) {
    const double position = timeFraction * static_cast<double>(n);
    if (position >= static_cast<double>(n)) {
        return n;
    }
    if (position > 0.0) {
        return static_cast<uint32_t>(position);
    }
    return 0;
}

} // namespace

[[gnu::noinline]] int pinholeEvaluate(void* camera, double filmX, double filmY, double /*lensX*/,
                                      double /*lensY*/, double timeFraction, CameraRay* ray) {
    const auto& pinhole = *static_cast<const PinholeCamera*>(camera);
    const PinholeSample& p = pinhole.samples[pinholeIndex(timeFraction, pinhole.sampleCount)];
    const double dx = filmX * p.right[0] + filmY * p.up[0] + p.forward[0];
    const double dy = filmX * p.right[1] + filmY * p.up[1] + p.forward[1];
    const double dz = filmX * p.right[2] + filmY * p.up[2] + p.forward[2];
    const double inverseLength = 1.0 / std::sqrt(dx * dx + dy * dy + dz * dz);
    ray->origin[0] = p.position[0];
    ray->origin[1] = p.position[1];
    ray->origin[2] = p.position[2];
    ray->direction[0] = dx * inverseLength;
    ray->direction[1] = dy * inverseLength;
    ray->direction[2] = dz * inverseLength;
    ray->filmNormal[0] = p.filmNormal[0];
    ray->filmNormal[1] = p.filmNormal[1];
    ray->filmNormal[2] = p.filmNormal[2];
    return 1;
}

} // namespace vantorel::bench
