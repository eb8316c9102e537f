// cameraNewFrame through the module's handler record on the stand-in host: the table arithmetic
// together with the host's answers to the camera's questions at each of the N + 1 sample times
// (five channels, focus distance, f-stop, position and three axes).
#include <benchmark/benchmark.h>

#include "ray_cases.h"

namespace vantorel::bench {
namespace {

void newFrame(benchmark::State& state) {
    const CameraHandlerRecord& handler = activatedHandler();
    standin::StandInHost& host = benchmarkHost();
    const ItemHandle camera = host.addCamera("Benchmark camera");
    standin::SceneItem& item = host.item(camera);
    item.position.setKey(0.0, {0.0, 1.7, -3.0});
    item.position.setKey(1.0, {1.0, 1.7, 0.0});
    item.focusDistance.setKey(0.0, 4.0);
    item.focusDistance.setKey(1.0, 5.0);

    const char* error = nullptr;
    void* instance = handler.inst->create(handler.inst->privateData, camera, &error);
    if (!instance) {
        state.SkipWithError(error ? error : "no instance");
        return;
    }
    const auto motionSteps = static_cast<int>(state.range(0));
    host.frameTiming().motionSteps = motionSteps;
    const FrameInfo frame = host.frameInfo(0);
    const CameraAccess access = host.cameraAccess(camera);
    for (auto _ : state) {
        const char* failure = handler.newFrame(instance, &frame, &access);
        benchmark::DoNotOptimize(failure);
    }
    handler.inst->destroy(instance);
    state.counters["ns_per_sample"] =
        benchmark::Counter(4.0 * motionSteps + 1.0, benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

BENCHMARK(newFrame)->ArgName("motion_steps")->Arg(0)->Arg(1)->Arg(4)->Arg(16);

} // namespace
} // namespace vantorel::bench
