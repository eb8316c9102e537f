// Reading and writing whole files.
#pragma once

#include <filesystem>
#include <string>

namespace vantorel::render {

// Throws std::runtime_error naming the path when the file cannot be read.
std::string readWholeFile(const std::filesystem::path& path);

// Writes bytes to path, creating missing folders. The file appears whole or not at all: it is
// written beside its final name and renamed into place. Throws std::runtime_error naming the
// path on failure.
void writeWholeFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace vantorel::render
