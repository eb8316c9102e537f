// The arithmetic of a new frame: one table of 4 x motion steps + 1 time samples built from the
// camera's state at each sample time, without the host's calls.
#include <benchmark/benchmark.h>

#include <vector>

#include "camera/time_samples.h"
#include "ray_cases.h"

namespace vantorel::bench {
namespace {

SampleInputs cameraAt(double t) {
    SampleInputs in{};
    in.zoom = 2.6217;
    in.horizontalShift = 0.05;
    in.verticalShift = -0.02;
    in.distortion = 0.5;
    in.vignetting = 0.7;
    in.focusDistance = 4.0 + t;
    in.fStop = 2.8;
    in.filmWidth = kFilmWidth;
    in.filmHeight = kFilmHeight;
    in.position = {1.0, 1.7, -3.0 + 2.0 * t};
    in.right = {0.96, 0.0, -0.28 - 0.1 * t};
    in.up = {0.0, 1.0, 0.0};
    in.forward = {0.28 + 0.1 * t, 0.0, 0.96};
    return in;
}

void timeSampleTable(benchmark::State& state) {
    const auto n = static_cast<uint32_t>(4 * state.range(0));
    std::vector<TimeSample> table(n + 1);
    for (auto _ : state) {
        for (uint32_t i = 0; i <= n; ++i) {
            table[i] = makeTimeSample(cameraAt(sampleTime(0.0, 1.0, n, i)));
        }
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_sample"] = benchmark::Counter(
        static_cast<double>(n + 1),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(timeSampleTable)->ArgName("motion_steps")->Arg(0)->Arg(1)->Arg(4)->Arg(16);

} // namespace
} // namespace vantorel::bench
