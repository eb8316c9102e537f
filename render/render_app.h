// What vantorel-render does with its command line: render frames or a contact sheet through the
// camera module, write PNG files and sum up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>

#include "render/camera_connection.h"
#include "render/command_line.h"
#include "render/frame_renderer.h"
#include "render/scene.h"

namespace vantorel::render {

// Renders frame of the scene the camera was last staged with.
FrameResult renderThroughCamera(CameraConnection& camera, const Scene& scene, int frame,
                                uint64_t seed, int threads,
                                const std::function<void(double)>& onProgress = {});

// The file of one frame: output itself for a single frame, else output's name with the frame
// number appended (out/vantorel.png -> out/vantorel_0007.png).
std::filesystem::path framePath(const std::filesystem::path& output, int frame, int frameCount);

// Runs the renderer; the summary goes to out, progress to standard error. Returns the exit
// status. Throws on errors, each naming what went wrong; nothing is written before the scene
// and the camera are known to be usable.
int runRenderer(const Options& options, std::ostream& out);

} // namespace vantorel::render
