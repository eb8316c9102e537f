// A linear-light RGB picture, one float per channel, rows from the top.
#pragma once

#include <cstdint>
#include <vector>

#include "render/vec.h"

namespace vantorel::render {

class Image {
public:
    Image() = default;
    Image(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    Color at(int x, int y) const;
    void set(int x, int y, Color color);
    // Copies source in with its top-left corner at (left, top), clipped to this picture.
    void paste(const Image& source, int left, int top);
    void fill(Color color);

    bool operator==(const Image&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<float> pixels_;
};

// Display encoding of a linear value in [0, 1] (values outside are clipped).
double linearToSrgb(double linear);

// Relative luminance of a linear colour.
double luminance(Color color);

} // namespace vantorel::render
