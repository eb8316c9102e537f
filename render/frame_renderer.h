// Renders one frame: every pixel's stratified samples become camera rays through the camera's
// evaluate function, and each ray's radiance, passed through the ray's colour filter, is
// averaged into the pixel.
#pragma once

#include <cstdint>
#include <functional>

#include "host/host_interface.h"
#include "render/image.h"
#include "render/scene.h"

namespace vantorel::render {

// The camera as a renderer calls it: the handler record's evaluate on one instance, after the
// instance was given the frame.
struct RayCamera {
    int (*evaluate)(void* inst, double filmX, double filmY, double lensX, double lensY,
                    double timeFraction, CameraRay* ray) = nullptr;
    void* instance = nullptr;
};

struct FrameRequest {
    const Scene* scene = nullptr;
    RayCamera camera;
    FrameInfo frame{}; // as the camera was given it
    uint64_t seed = 0;
    int threads = 1;
    // Called on the calling thread with the finished fraction of the frame, now and then.
    std::function<void(double)> onProgress;
};

struct FrameResult {
    Image image;
    uint64_t cameraRays = 0;
    uint64_t refusedRays = 0; // rays the camera did not write
};

FrameResult renderFrame(const FrameRequest& request);

// The film position, in metres from the film centre with +y up, of a point of pixel (x, y)
// given by offsets in [0, 1) across and down the pixel.
struct FilmPoint {
    double x, y;
};
FilmPoint filmPoint(const ImageSettings& image, const FilmSettings& film, double x, double y);

// The scene time of a camera ray with the given time fraction. The camera takes its state from
// one of 4 x motion steps + 1 samples of the exposure; the scene is frozen at the same sample, so
// that camera and objects move together and motion steps 0 means no motion blur.
double sampleSceneTime(const FrameInfo& frame, double timeFraction);

// Threads to use when none are asked for: every core.
int defaultThreadCount();

} // namespace vantorel::render
