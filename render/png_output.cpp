#include "render/png_output.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <stdexcept>
#include <vector>

#include "render/files.h"

namespace vantorel::render {

namespace {

struct Encoder {
    std::string bytes;
    std::string failure;
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    static_cast<Encoder*>(png_get_error_ptr(png))->failure = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, png_size_t length) {
    static_cast<Encoder*>(png_get_io_ptr(png))->bytes.append(reinterpret_cast<char*>(data), length);
}

void onFlush(png_structp) {}

std::vector<unsigned char> rowBytes(const Image& image, PngEncoding encoding) {
    const bool wide = encoding == PngEncoding::Linear16;
    std::vector<unsigned char> bytes(static_cast<size_t>(image.width()) * image.height() * 3u *
                                     (wide ? 2u : 1u));
    size_t i = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Color c = image.at(x, y);
            for (double channel : {c.r, c.g, c.b}) {
                if (wide) {
                    const auto v =
                        static_cast<unsigned>(std::lround(std::clamp(channel, 0.0, 1.0) * 65535.0));
                    bytes[i++] = static_cast<unsigned char>(v >> 8u);
                    bytes[i++] = static_cast<unsigned char>(v & 0xffu);
                } else {
                    bytes[i++] =
                        static_cast<unsigned char>(std::lround(linearToSrgb(channel) * 255.0));
                }
            }
        }
    }
    return bytes;
}

// libpng reports errors by jumping back to the setjmp below, so no object with a destructor is
// created after it.
void encodeRows(Encoder& encoder, const Image& image, PngEncoding encoding, unsigned char* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &encoder, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        encoder.failure = "out of memory";
        return;
    }
    const bool wide = encoding == PngEncoding::Linear16;
    const size_t stride = static_cast<size_t>(image.width()) * 3u * (wide ? 2u : 1u);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &encoder, onWrite, onFlush);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                     static_cast<png_uint_32>(image.height()), wide ? 16 : 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (wide) {
            png_set_gAMA(png, info, 1.0);
        } else {
            png_set_sRGB_gAMA_and_cHRM(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
        }
        png_write_info(png, info);
        for (int y = 0; y < image.height(); ++y) {
            png_write_row(png, rows + stride * static_cast<size_t>(y));
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
}

} // namespace

std::string encodePng(const Image& image, PngEncoding encoding) {
    std::vector<unsigned char> rows = rowBytes(image, encoding);
    Encoder encoder;
    encodeRows(encoder, image, encoding, rows.data());
    if (!encoder.failure.empty()) {
        throw std::runtime_error("cannot encode PNG: " + encoder.failure);
    }
    return std::move(encoder.bytes);
}

void writePng(const Image& image, const std::filesystem::path& path, PngEncoding encoding) {
    writeWholeFile(path, encodePng(image, encoding));
}

} // namespace vantorel::render
