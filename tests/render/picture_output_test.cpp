// PNG encoding and whole-file writes.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <vector>

#include "render/files.h"
#include "render/png_output.h"

namespace vantorel::render {
namespace {

// The file's samples, 16-bit values widened from either depth.
std::vector<unsigned> decode(const std::string& bytes, unsigned& bitDepth) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
    bitDepth = (image.format & PNG_FORMAT_FLAG_LINEAR) ? 16 : 8;
    std::vector<unsigned> samples;
    if (bitDepth == 16) {
        std::vector<png_uint_16> buffer(PNG_IMAGE_SIZE(image) / 2);
        EXPECT_TRUE(png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr));
        samples.assign(buffer.begin(), buffer.end());
    } else {
        image.format = PNG_FORMAT_RGB;
        std::vector<png_byte> buffer(PNG_IMAGE_SIZE(image));
        EXPECT_TRUE(png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr));
        samples.assign(buffer.begin(), buffer.end());
    }
    return samples;
}

Image greys() {
    Image image(3, 1);
    image.set(0, 0, {0.0, 0.0, 0.0});
    image.set(1, 0, {0.5, 0.5, 0.5});
    image.set(2, 0, {1.7, 1.0, 0.2159});
    return image;
}

TEST(PictureOutput, EightBitFilesAreDisplayEncoded) {
    unsigned depth = 0;
    const std::vector<unsigned> samples = decode(encodePng(greys(), PngEncoding::Srgb8), depth);
    EXPECT_EQ(depth, 8u);
    // Linear 0.5 displays as 188 of 255; light beyond white is clipped; 0.2159 shows as 128.
    EXPECT_EQ(samples, (std::vector<unsigned>{0, 0, 0, 188, 188, 188, 255, 255, 128}));
}

TEST(PictureOutput, SixteenBitFilesHoldLinearLight) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const std::string bytes = encodePng(greys(), PngEncoding::Linear16);
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
    image.format = PNG_FORMAT_LINEAR_RGB;
    std::vector<png_uint_16> samples(PNG_IMAGE_SIZE(image) / 2);
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr));
    EXPECT_EQ(samples,
              (std::vector<png_uint_16>{0, 0, 0, 32768, 32768, 32768, 65535, 65535, 14149}));
}

TEST(PictureOutput, AFileThatCannotBeWrittenLeavesNothingBehind) {
    const auto folder = std::filesystem::temp_directory_path() / "vantorel-render-unwritable";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "taken.png");
    EXPECT_THROW(writePng(greys(), folder / "taken.png", PngEncoding::Srgb8), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "taken.png"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace vantorel::render
