// The moving camera the ray benchmarks trace, their inputs, and the floor they are measured
// against: a plain pinhole ray from the same kind of per-time-sample table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "camera/camera_instance.h"
#include "stand_in_host/stand_in_host.h"

namespace vantorel::bench {

// The signature of the handler's evaluate slot.
using EvaluateFunction = int (*)(void* instance, double filmX, double filmY, double lensX,
                                 double lensY, double timeFraction, CameraRay* ray);

struct RayCase {
    const char* name;
    double distortion;
    double vignetting;
    double targetRatio; // the most a ray of this case may cost, in floors
};

inline constexpr RayCase kRayCases[] = {
    {"fast", 0.0, 0.0, 1.4},
    {"dist", 0.5, 0.0, 3.5},
    {"vig", 0.0, 0.7, 1.6},
    {"both", 0.5, 0.7, 3.7},
};

// The case of that name, or none.
const RayCase* findRayCase(std::string_view name);

struct RayInput {
    double filmX, filmY, lensX, lensY, timeFraction;
};

inline constexpr uint32_t kSampleCount = 8;
inline constexpr std::size_t kInputCount = 4096;
inline constexpr double kFilmWidth = 0.036;
inline constexpr double kFilmHeight = 0.024;

// Film points over the whole film, lens points over the unit disk, time fractions over [0, 1);
// the same every run.
std::vector<RayInput> makeRayInputs(std::size_t count);

// A camera that moves and turns across the exposure, with a table of N = 8 time samples.
class MovingCamera {
public:
    explicit MovingCamera(const RayCase& rayCase);
    MovingCamera(const MovingCamera&) = delete;
    MovingCamera& operator=(const MovingCamera&) = delete;

    void* instance() { return &instance_; }
    const std::vector<TimeSample>& table() const { return table_; }

private:
    std::vector<TimeSample> table_;
    CameraInstance instance_{};
};

// What the floor keeps per time sample: a pinhole camera's axes, scaled as the lens camera's.
struct PinholeSample {
    double right[3];
    double up[3];
    double forward[3];
    double position[3];
    double filmNormal[3];
};

struct PinholeCamera {
    std::vector<PinholeSample> samples;
    uint32_t sampleCount;
};

PinholeCamera pinholeOf(const std::vector<TimeSample>& table);

// The floor: index selection as the camera's, direction x * right + y * up + forward normalised
// with one square root, origin and film normal copied. camera is a PinholeCamera.
int pinholeEvaluate(void* camera, double filmX, double filmY, double lensX, double lensY,
                    double timeFraction, CameraRay* ray);

// The stand-in host the module is activated with, recording no calls.
standin::StandInHost& benchmarkHost();

// The handler record of the module file, loaded and its camera server activated as the host does
// it; exits with a message when that fails, as a benchmark of anything else would mislead.
const CameraHandlerRecord& activatedHandler();

// The record's evaluate slot, the function the host calls for every ray; and the floor, read
// back through a volatile pointer so that the compiler cannot see which function it calls.
EvaluateFunction handlerEvaluate();
EvaluateFunction floorEvaluate();

// Calls evaluate once per input, writing every ray into the same record.
void traceBatch(EvaluateFunction evaluate, void* camera, std::span<const RayInput> inputs,
                CameraRay& ray);

} // namespace vantorel::bench
