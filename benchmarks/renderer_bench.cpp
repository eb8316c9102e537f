// The demo renderer's camera-ray throughput on the default scene, with one thread and with every
// core: how much of a render the camera's rays can carry, and how well that spreads over threads.
#include <benchmark/benchmark.h>

#include "render/camera_connection.h"
#include "render/default_scene.h"
#include "render/frame_renderer.h"

namespace vantorel::bench {
namespace {

void renderDefaultScene(benchmark::State& state) {
    render::Scene scene = render::defaultScene();
    scene.image.width = 240;
    scene.image.height = 160;
    scene.image.samplesPerPixel = 8;
    render::CameraConnection camera(render::defaultModulePath());
    camera.stage(scene);

    render::FrameRequest request;
    request.scene = &scene;
    request.frame = camera.beginFrame(0);
    request.camera = camera.rayCamera();
    request.threads =
        state.range(0) == 0 ? render::defaultThreadCount() : static_cast<int>(state.range(0));
    uint64_t rays = 0;
    for (auto _ : state) {
        rays += render::renderFrame(request).cameraRays;
    }
    state.counters["camera_rays_per_s"] =
        benchmark::Counter(static_cast<double>(rays), benchmark::Counter::kIsRate);
    state.counters["threads"] = request.threads;
}

// 0 stands for every core.
BENCHMARK(renderDefaultScene)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(0)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vantorel::bench
