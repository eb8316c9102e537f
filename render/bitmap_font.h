// A tiny built-in 5 x 7 pixel font for labelling pictures: capitals (lower case is drawn as
// capitals), digits and a little punctuation; anything else is drawn as a box.
#pragma once

#include <string_view>

#include "render/image.h"

namespace vantorel::render {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = 6;

// Width in pixels of text drawn at the given scale.
int textWidth(std::string_view text, int scale);

// Draws text with its top-left corner at (left, top), each font pixel a scale x scale square,
// clipped to the image.
void drawText(Image& image, int left, int top, std::string_view text, int scale, Color color);

} // namespace vantorel::render
