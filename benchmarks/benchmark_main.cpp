// Runs the benchmarks, nine repetitions by default, and ends with a table of each ray case's
// median cost beside the median floor of the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ray_cases.h"

namespace {

struct Medians {
    double nsPerRay;
    double floorNsPerRay;
    double ratio;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto ratio = run.counters.find("ratio");
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" ||
                ratio == run.counters.end()) {
                continue;
            }
            medians_[run.run_name.function_name] = {run.counters.at("ns_per_ray").value,
                                                    run.counters.at("floor_ns_per_ray").value,
                                                    ratio->second.value};
        }
    }

    void printRatios() const {
        if (medians_.empty()) {
            return;
        }
        std::printf("\n%-6s %9s %14s %7s %7s\n", "case", "ns/ray", "floor ns/ray", "ratio",
                    "target");
        for (const vantorel::bench::RayCase& c : vantorel::bench::kRayCases) {
            const auto m = medians_.find(std::string("evaluate/") + c.name);
            if (m == medians_.end()) {
                continue;
            }
            std::printf("%-6s %9.2f %14.2f %7.2f %7.1f%s\n", c.name, m->second.nsPerRay,
                        m->second.floorNsPerRay, m->second.ratio, c.targetRatio,
                        m->second.ratio <= c.targetRatio ? "" : "  over");
        }
    }

private:
    std::map<std::string, Medians> medians_;
};

bool hasFlag(int argc, char** argv, std::string_view flag) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(flag)) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
    std::string minTime = "--benchmark_min_time=0.2";
    if (!hasFlag(argc, argv, "--benchmark_repetitions")) {
        args.push_back(repetitions.data());
        args.push_back(aggregatesOnly.data());
    }
    if (!hasFlag(argc, argv, "--benchmark_min_time")) {
        args.push_back(minTime.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
