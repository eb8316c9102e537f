#include "ray_cases.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "camera/time_samples.h"
#include "camera/vec3.h"
#include "host/host_interface.h"
#include "stand_in_host/module_loader.h"

namespace vantorel::bench {

const RayCase* findRayCase(std::string_view name) {
    for (const RayCase& c : kRayCases) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

std::vector<RayInput> makeRayInputs(std::size_t count) {
    std::mt19937_64 engine(20240611);
    const auto uniform = [&] { return static_cast<double>(engine() >> 11) * 0x1p-53; };
    std::vector<RayInput> inputs(count);
    for (RayInput& in : inputs) {
        in.filmX = (uniform() - 0.5) * kFilmWidth;
        in.filmY = (uniform() - 0.5) * kFilmHeight;
        do {
            in.lensX = 2.0 * uniform() - 1.0;
            in.lensY = 2.0 * uniform() - 1.0;
        } while (in.lensX * in.lensX + in.lensY * in.lensY > 1.0);
        in.timeFraction = uniform();
    }
    return inputs;
}

namespace {

// The camera at fraction s of the exposure: it dollies forward and pans while focus follows.
SampleInputs movingCameraAt(const RayCase& rayCase, double s) {
    SampleInputs in{};
    in.zoom = 2.6217;
    in.horizontalShift = 0.05;
    in.verticalShift = -0.02;
    in.distortion = rayCase.distortion;
    in.vignetting = rayCase.vignetting;
    in.focusDistance = 4.0 + s;
    in.fStop = 2.8;
    in.filmWidth = kFilmWidth;
    in.filmHeight = kFilmHeight;
    const double pan = 0.3 + 0.1 * s;
    in.position = {1.0 + 0.5 * s, 1.7, -3.0 + 2.0 * s};
    in.right = {std::cos(pan), 0.0, -std::sin(pan)};
    in.up = {0.0, 1.0, 0.0};
    in.forward = {std::sin(pan), 0.0, std::cos(pan)};
    return in;
}

} // namespace

MovingCamera::MovingCamera(const RayCase& rayCase) : table_(kSampleCount + 1) {
    for (uint32_t i = 0; i <= kSampleCount; ++i) {
        table_[i] = makeTimeSample(movingCameraAt(rayCase, sampleTime(0.0, 1.0, kSampleCount, i)));
    }
    instance_.sampleCount = kSampleCount;
    instance_.samples = table_.data();
}

PinholeCamera pinholeOf(const std::vector<TimeSample>& table) {
    PinholeCamera pinhole{{}, static_cast<uint32_t>(table.size() - 1)};
    for (const TimeSample& e : table) {
        PinholeSample p{};
        for (int c = 0; c < 3; ++c) {
            p.right[c] = e.rightAxis[c];
            p.up[c] = e.upAxis[c];
            p.forward[c] = e.focusAxis[c];
            p.position[c] = e.position[c];
            p.filmNormal[c] = e.filmNormal[c];
        }
        pinhole.samples.push_back(p);
    }
    return pinhole;
}

namespace {

constexpr const char* kServerName = "Vantorel0.1.5";

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "cannot benchmark the module %s: %s\n", VANTOREL_MODULE_FILE, why.c_str());
    std::exit(1);
}

standin::LoadedModule openModule() {
    auto opened = standin::LoadedModule::open(VANTOREL_MODULE_FILE);
    if (!opened) {
        fail(std::string(standin::errorName(opened.failure().error)) + " " +
             opened.failure().detail);
    }
    return std::move(opened.value());
}

EvaluateFunction volatile floorSlot = pinholeEvaluate;

} // namespace

standin::StandInHost& benchmarkHost() {
    static standin::StandInHost host;
    return host;
}

const CameraHandlerRecord& activatedHandler() {
    static InstanceFuncs instanceFunctions{};
    static CameraHandlerRecord record{
        &instanceFunctions, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    static standin::LoadedModule module = [] {
        benchmarkHost().log().setRecording(false);
        standin::LoadedModule opened = openModule();
        auto server = opened.findServer(CAMERA_HANDLER_CLASS, kServerName);
        if (!server) {
            fail("no camera server");
        }
        const int result =
            standin::LoadedModule::activate(*server.value(), CAMERA_HANDLER_VERSION, &record);
        if (result != ACTIVATE_OK || !record.evaluate || !record.newFrame) {
            fail("activation gave " + std::to_string(result));
        }
        return opened;
    }();
    return record;
}

EvaluateFunction handlerEvaluate() {
    return activatedHandler().evaluate;
}

EvaluateFunction floorEvaluate() {
    return floorSlot;
}

void traceBatch(EvaluateFunction evaluate, void* camera, std::span<const RayInput> inputs,
                CameraRay& ray) {
    for (const RayInput& in : inputs) {
        evaluate(camera, in.filmX, in.filmY, in.lensX, in.lensY, in.timeFraction, &ray);
    }
}

} // namespace vantorel::bench
