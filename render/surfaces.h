// Ray intersection with the scene's spheres and planes, at one moment of the exposure.
#pragma once

#include <limits>

#include "render/scene.h"

namespace vantorel::render {

struct Ray {
    Vec3 origin;
    Vec3 direction; // unit length
};

// Where a ray meets a surface: distance along the ray, the outward normal and the surface
// coordinates (metres) that textures are laid out in.
struct Hit {
    double distance = std::numeric_limits<double>::infinity();
    Vec3 normal{};
    double u = 0.0, v = 0.0;
    const SceneObject* object = nullptr;
};

// Rays start this far along themselves, so that a surface does not shadow itself.
constexpr double kSurfaceOffset = 1e-6;

// Replaces hit when object is met closer than hit.distance at the given time.
void intersect(const SceneObject& object, const Ray& ray, double time, Hit& hit);

} // namespace vantorel::render
