// Scene files: JSON text read into a Scene, every value checked before anything is rendered.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "render/scene.h"

namespace vantorel::render {

// A scene that cannot be used. The message names the file, the line and the field:
// "scene.json:12: objects[1].radius: must be greater than 0 (got -2)".
class SceneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads text as a scene; sourceName stands for the file in error messages.
Scene parseScene(const std::string& text, const std::string& sourceName);

Scene loadSceneFile(const std::filesystem::path& path);

} // namespace vantorel::render
