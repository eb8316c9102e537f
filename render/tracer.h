// Radiance along a camera ray: the closest surface, its texture, sunlight with hard shadows and
// light from the sky; rays that meet nothing see the sky.
#pragma once

#include "render/scene.h"
#include "render/surfaces.h"

namespace vantorel::render {

class Tracer {
public:
    explicit Tracer(const Scene& scene);

    // Linear radiance seen along ray at the given scene time.
    Color radiance(const Ray& ray, double time) const;

private:
    Hit closestHit(const Ray& ray, double time) const;
    bool sunVisible(Vec3 point, double time) const;
    Color sky(Vec3 direction) const;

    const Scene& scene_;
    Vec3 towardsSun_;
};

Color textureColor(const Texture& texture, double u, double v);

} // namespace vantorel::render
