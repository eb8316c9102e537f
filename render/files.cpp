#include "render/files.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vantorel::render {

std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    if (!file || !(bytes << file.rdbuf())) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes.str();
}

void writeWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::error_code error;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) {
            throw std::runtime_error("cannot write " + path.string() + ": " + error.message());
        }
    }
    std::filesystem::path partial = path;
    partial += ".partial";
    bool written = false;
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        written = file && file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) &&
                  file.flush();
    }
    if (written) {
        std::filesystem::rename(partial, path, error);
    }
    if (!written || error) {
        std::filesystem::remove(partial, error);
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace vantorel::render
