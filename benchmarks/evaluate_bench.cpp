// Rays of each case beside the floor, on the same inputs and in the same run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "ray_cases.h"

namespace vantorel::bench {
namespace {

double secondsToTrace(EvaluateFunction evaluate, void* camera, std::span<const RayInput> inputs,
                      CameraRay& ray) {
    const auto start = std::chrono::steady_clock::now();
    traceBatch(evaluate, camera, inputs, ray);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Batches of the case and of the floor alternate, each going first every other time, so that the
// drift of a shared machine falls on both alike. The time reported is the case's; the counters
// give both per ray and their ratio.
void evaluate(benchmark::State& state, const RayCase* rayCase) {
    MovingCamera camera(*rayCase);
    PinholeCamera pinhole = pinholeOf(camera.table());
    const std::vector<RayInput> inputs = makeRayInputs(kInputCount);
    const EvaluateFunction caseEvaluate = handlerEvaluate();
    const EvaluateFunction floor = floorEvaluate();
    CameraRay ray{};
    double caseSeconds = 0.0;
    double floorSeconds = 0.0;
    bool floorFirst = true;
    for (auto _ : state) {
        double seconds = 0.0;
        if (floorFirst) {
            floorSeconds += secondsToTrace(floor, &pinhole, inputs, ray);
            seconds = secondsToTrace(caseEvaluate, camera.instance(), inputs, ray);
        } else {
            seconds = secondsToTrace(caseEvaluate, camera.instance(), inputs, ray);
            floorSeconds += secondsToTrace(floor, &pinhole, inputs, ray);
        }
        caseSeconds += seconds;
        state.SetIterationTime(seconds);
        floorFirst = !floorFirst;
    }
    benchmark::DoNotOptimize(ray);
    const double rays =
        static_cast<double>(state.iterations()) * static_cast<double>(inputs.size());
    state.counters["ns_per_ray"] = caseSeconds * 1e9 / rays;
    state.counters["floor_ns_per_ray"] = floorSeconds * 1e9 / rays;
    state.counters["ratio"] = caseSeconds / floorSeconds;
}

BENCHMARK_CAPTURE(evaluate, fast, findRayCase("fast"))->UseManualTime();
BENCHMARK_CAPTURE(evaluate, dist, findRayCase("dist"))->UseManualTime();
BENCHMARK_CAPTURE(evaluate, vig, findRayCase("vig"))->UseManualTime();
BENCHMARK_CAPTURE(evaluate, both, findRayCase("both"))->UseManualTime();

} // namespace
} // namespace vantorel::bench
