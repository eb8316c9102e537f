// Three-component vectors as the host passes them: plain double[3].
#pragma once

#include <cmath>

namespace vantorel {

struct Vec3 {
    double x, y, z;
};

inline Vec3 toVec3(const double v[3]) {
    return {v[0], v[1], v[2]};
}
inline void store(const Vec3& v, double out[3]) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}
inline Vec3 operator*(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}
inline double length(const Vec3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace vantorel
