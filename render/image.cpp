#include "render/image.h"

#include <algorithm>
#include <cmath>

namespace vantorel::render {

Image::Image(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height) * 3u, 0.0f) {}

Color Image::at(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width_) + x) * 3u;
    return {pixels_[i], pixels_[i + 1], pixels_[i + 2]};
}

void Image::set(int x, int y, Color color) {
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width_) + x) * 3u;
    pixels_[i] = static_cast<float>(color.r);
    pixels_[i + 1] = static_cast<float>(color.g);
    pixels_[i + 2] = static_cast<float>(color.b);
}

void Image::paste(const Image& source, int left, int top) {
    for (int y = std::max(0, -top); y < source.height() && y + top < height_; ++y) {
        for (int x = std::max(0, -left); x < source.width() && x + left < width_; ++x) {
            set(x + left, y + top, source.at(x, y));
        }
    }
}

void Image::fill(Color color) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            set(x, y, color);
        }
    }
}

double linearToSrgb(double linear) {
    const double v = std::clamp(linear, 0.0, 1.0);
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

double luminance(Color color) {
    return 0.2126 * color.r + 0.7152 * color.g + 0.0722 * color.b;
}

} // namespace vantorel::render
