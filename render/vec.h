// Small vector and colour arithmetic for the renderer's scene and tracer.
#pragma once

#include <cmath>

namespace vantorel::render {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(Vec3 a) {
    return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator*(double s, Vec3 a) {
    return a * s;
}
inline double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) {
    return std::sqrt(dot(a, a));
}
inline Vec3 normalize(Vec3 a) {
    return a * (1.0 / length(a));
}
inline Vec3 lerp(Vec3 a, Vec3 b, double t) {
    return a + (b - a) * t;
}

// Linear radiance, one double per channel.
struct Color {
    double r = 0.0, g = 0.0, b = 0.0;
};

inline Color operator+(Color a, Color b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Color operator*(Color a, Color b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Color operator*(Color a, double s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline Color lerp(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

} // namespace vantorel::render
