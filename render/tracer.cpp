#include "render/tracer.h"

#include <algorithm>
#include <cmath>

namespace vantorel::render {

Tracer::Tracer(const Scene& scene)
    : scene_(scene), towardsSun_(normalize(scene.lighting.sunDirection)) {}

Hit Tracer::closestHit(const Ray& ray, double time) const {
    Hit hit;
    for (const SceneObject& object : scene_.objects) {
        intersect(object, ray, time, hit);
    }
    return hit;
}

bool Tracer::sunVisible(Vec3 point, double time) const {
    return !closestHit({point, towardsSun_}, time).object;
}

Color Tracer::sky(Vec3 direction) const {
    const Lighting& lighting = scene_.lighting;
    const double height = std::sqrt(std::clamp(direction.y, 0.0, 1.0));
    return lerp(lighting.skyHorizon, lighting.skyZenith, height);
}

Color Tracer::radiance(const Ray& ray, double time) const {
    const Hit hit = closestHit(ray, time);
    if (!hit.object) {
        return sky(ray.direction);
    }
    const Lighting& lighting = scene_.lighting;
    const Color albedo = textureColor(hit.object->texture, hit.u, hit.v);
    // Light from the sky hemisphere above the surface, brighter towards the zenith.
    const Color ambient =
        lerp(lighting.skyHorizon, lighting.skyZenith, 0.5 + 0.5 * hit.normal.y) * 0.5;
    Color light = ambient;
    const double sunCosine = dot(hit.normal, towardsSun_);
    if (sunCosine > 0.0) {
        const Vec3 point = ray.origin + ray.direction * hit.distance;
        if (!lighting.shadows || sunVisible(point + hit.normal * kSurfaceOffset, time)) {
            light = light + lighting.sun * sunCosine;
        }
    }
    return albedo * light;
}

} // namespace vantorel::render
