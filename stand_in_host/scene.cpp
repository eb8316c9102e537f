#include "stand_in_host/scene.h"

#include <cmath>

namespace vantorel::standin {

namespace {

Vec3 turnAboutUp(const Vec3& v, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {v[0] * c + v[2] * s, v[1], -v[0] * s + v[2] * c};
}

Vec3 turnAboutRight(const Vec3& v, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {v[0], v[1] * c - v[2] * s, v[1] * s + v[2] * c};
}

Vec3 turnAboutForward(const Vec3& v, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {v[0] * c - v[1] * s, v[0] * s + v[1] * c, v[2]};
}

} // namespace

Axes axesFromHeadingPitchBank(double heading, double pitch, double bank) {
    auto turn = [&](const Vec3& axis) {
        return turnAboutUp(turnAboutRight(turnAboutForward(axis, bank), pitch), heading);
    };
    return Axes{turn({1.0, 0.0, 0.0}), turn({0.0, 1.0, 0.0}), turn({0.0, 0.0, 1.0})};
}

void setAxesKey(SceneItem& item, double time, const Axes& axes) {
    item.right.setKey(time, axes.right);
    item.up.setKey(time, axes.up);
    item.forward.setKey(time, axes.forward);
}

} // namespace vantorel::standin
