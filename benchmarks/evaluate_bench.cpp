// Rays of each case beside the floor, on the same inputs and in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "ray_cases.h"

namespace vantorel::bench {
namespace {

double secondsToTrace(EvaluateFunction evaluate, void* camera, std::span<const RayInput> inputs,
                      CameraRay& ray) {
    const auto start = std::chrono::steady_clock::now();
    traceBatch(evaluate, camera, inputs, ray);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double>& values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Batches of the case and of the floor alternate, each going first every other time, so that the
// drift of a shared machine falls on both alike. The counters give the median batch of each per
// ray, and their ratio: a batch the scheduler interrupts is an outlier a median ignores.
void evaluate(benchmark::State& state, const RayCase* rayCase) {
    MovingCamera camera(*rayCase);
    PinholeCamera pinhole = pinholeOf(camera.table());
    const std::vector<RayInput> inputs = makeRayInputs(kInputCount);
    const EvaluateFunction caseEvaluate = handlerEvaluate();
    const EvaluateFunction floor = floorEvaluate();
    CameraRay ray{};
    std::vector<double> caseSeconds;
    std::vector<double> floorSeconds;
    bool floorFirst = true;
    for (auto _ : state) {
        if (floorFirst) {
            floorSeconds.push_back(secondsToTrace(floor, &pinhole, inputs, ray));
            caseSeconds.push_back(secondsToTrace(caseEvaluate, camera.instance(), inputs, ray));
        } else {
            caseSeconds.push_back(secondsToTrace(caseEvaluate, camera.instance(), inputs, ray));
            floorSeconds.push_back(secondsToTrace(floor, &pinhole, inputs, ray));
        }
        state.SetIterationTime(caseSeconds.back());
        floorFirst = !floorFirst;
    }
    benchmark::DoNotOptimize(ray);
    const double caseBatch = median(caseSeconds);
    const double floorBatch = median(floorSeconds);
    const double rays = static_cast<double>(inputs.size());
    state.counters["ns_per_ray"] = caseBatch * 1e9 / rays;
    state.counters["floor_ns_per_ray"] = floorBatch * 1e9 / rays;
    state.counters["ratio"] = caseBatch / floorBatch;
}

BENCHMARK_CAPTURE(evaluate, fast, findRayCase("fast"))->UseManualTime();
BENCHMARK_CAPTURE(evaluate, dist, findRayCase("dist"))->UseManualTime();
BENCHMARK_CAPTURE(evaluate, vig, findRayCase("vig"))->UseManualTime();
BENCHMARK_CAPTURE(evaluate, both, findRayCase("both"))->UseManualTime();

} // namespace
} // namespace vantorel::bench
