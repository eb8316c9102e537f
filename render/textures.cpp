#include <cmath>

#include "render/tracer.h"

namespace vantorel::render {

namespace {

// Distance from x to the nearest multiple of spacing.
double distanceToLine(double x, double spacing) {
    const double offset = x - spacing * std::round(x / spacing);
    return std::abs(offset);
}

} // namespace

Color textureColor(const Texture& texture, double u, double v) {
    switch (texture.kind) {
    case Texture::Kind::Solid:
        return texture.base;
    case Texture::Kind::Checker: {
        const auto cell = static_cast<long long>(std::floor(u / texture.cellSize)) +
                          static_cast<long long>(std::floor(v / texture.cellSize));
        return cell % 2 == 0 ? texture.base : texture.accent;
    }
    case Texture::Kind::Grid: {
        const double halfLine = 0.5 * texture.lineWidth;
        const bool onLine = distanceToLine(u, texture.cellSize) < halfLine ||
                            distanceToLine(v, texture.cellSize) < halfLine;
        return onLine ? texture.accent : texture.base;
    }
    }
    return texture.base;
}

} // namespace vantorel::render
