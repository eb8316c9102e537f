#include "render/surfaces.h"

#include <algorithm>
#include <cmath>

namespace vantorel::render {

namespace {

Vec3 positionAt(const SceneObject& object, double time) {
    return object.position + object.velocity * time;
}

void intersectSphere(const SceneObject& sphere, const Ray& ray, double time, Hit& hit) {
    const Vec3 centre = positionAt(sphere, time);
    const Vec3 toOrigin = ray.origin - centre;
    const double b = dot(toOrigin, ray.direction);
    const double c = dot(toOrigin, toOrigin) - sphere.radius * sphere.radius;
    const double discriminant = b * b - c;
    if (discriminant < 0.0) {
        return;
    }
    const double root = std::sqrt(discriminant);
    double distance = -b - root;
    if (distance <= kSurfaceOffset) {
        distance = -b + root;
    }
    if (distance <= kSurfaceOffset || distance >= hit.distance) {
        return;
    }
    const Vec3 local = (ray.origin + ray.direction * distance) - centre;
    hit.distance = distance;
    hit.normal = local * (1.0 / sphere.radius);
    hit.u = std::atan2(local.x, local.z) * sphere.radius;
    hit.v = std::asin(std::clamp(hit.normal.y, -1.0, 1.0)) * sphere.radius;
    hit.object = &sphere;
}

void intersectPlane(const SceneObject& plane, const Ray& ray, double time, Hit& hit) {
    const double facing = dot(plane.normal, ray.direction);
    if (facing == 0.0) {
        return;
    }
    const Vec3 origin = positionAt(plane, time);
    const double distance = dot(plane.normal, origin - ray.origin) / facing;
    if (distance <= kSurfaceOffset || distance >= hit.distance) {
        return;
    }
    const Vec3 local = (ray.origin + ray.direction * distance) - origin;
    const Vec3 vAxis = normalize(plane.up - plane.normal * dot(plane.up, plane.normal));
    const Vec3 uAxis = cross(plane.normal, vAxis);
    const double u = dot(local, uAxis);
    const double v = dot(local, vAxis);
    if ((plane.width > 0.0 && std::abs(u) > 0.5 * plane.width) ||
        (plane.height > 0.0 && std::abs(v) > 0.5 * plane.height)) {
        return;
    }
    hit.distance = distance;
    hit.normal = facing < 0.0 ? plane.normal : -plane.normal;
    hit.u = u;
    hit.v = v;
    hit.object = &plane;
}

} // namespace

void intersect(const SceneObject& object, const Ray& ray, double time, Hit& hit) {
    switch (object.shape) {
    case SceneObject::Shape::Sphere:
        intersectSphere(object, ray, time, hit);
        break;
    case SceneObject::Shape::Plane:
        intersectPlane(object, ray, time, hit);
        break;
    }
}

} // namespace vantorel::render
