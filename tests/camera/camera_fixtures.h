// Small cameras for the tests of the camera's math.
#pragma once

#include <cmath>

#include "camera/time_samples.h"
#include "camera/vec3.h"

namespace vantorel::test {

// A 36 x 24 mm film, zoom 3.2, focused at 5 m with f/2.8, placed off the origin with turned,
// deliberately non-unit axes.
inline SampleInputs turnedCamera() {
    SampleInputs in{};
    in.zoom = 3.2;
    in.focusDistance = 5.0;
    in.fStop = 2.8;
    in.filmWidth = 0.036;
    in.filmHeight = 0.024;
    in.position = {1.0, 2.0, -3.0};
    const double c = std::cos(0.3), s = std::sin(0.3);
    in.right = Vec3{c, 0.0, -s} * 2.5;
    in.up = Vec3{0.0, 1.0, 0.0} * 0.4;
    in.forward = Vec3{s, 0.0, c} * 7.0;
    return in;
}

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Vec3 unit(const Vec3& v) {
    return v * (1.0 / length(v));
}

} // namespace vantorel::test
