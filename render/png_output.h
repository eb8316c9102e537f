// Pictures as PNG files.
#pragma once

#include <filesystem>
#include <string>

#include "render/image.h"

namespace vantorel::render {

enum class PngEncoding {
    Srgb8,    // 8 bits per channel, display (sRGB) encoded
    Linear16, // 16 bits per channel, linear light
};

// The bytes of a PNG file holding image.
std::string encodePng(const Image& image, PngEncoding encoding);

// Writes the PNG whole or not at all (see writeWholeFile).
void writePng(const Image& image, const std::filesystem::path& path, PngEncoding encoding);

} // namespace vantorel::render
