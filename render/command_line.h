// The renderer's command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantorel::render {

struct Options {
    std::optional<std::filesystem::path> scenePath;  // none: the embedded default scene
    std::optional<std::filesystem::path> output;     // a file, or the folder for it; none: out/
    std::optional<std::filesystem::path> modulePath; // none: the module built with the renderer
    std::optional<int> width;
    std::optional<int> height;
    std::optional<int> samples;
    std::optional<int> frames;
    std::optional<int> threads; // none: every core
    uint64_t seed = 1;
    bool linear16 = false;
    bool gallery = false;
    std::optional<std::filesystem::path> saveCamera;
    std::optional<std::filesystem::path> loadCamera;
    bool help = false;
};

class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// arguments without the program name.
Options parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();

} // namespace vantorel::render
