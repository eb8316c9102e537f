// The rays of one camera over a few frames, for thousands of film, lens and time samples, as a
// module file gives them through the stand-in host. The Linux build writes them to a file; each
// Windows build traces them too and checks them against that file, so that a farm mixing Linux
// and Windows machines renders the same frames.
//
//   ray_dump write <module file> <rays file>
//   ray_dump check <module file> <rays file>
//
// A rays file holds one line per ray: evaluate's result, then the 18 doubles of CameraRay as the
// hexadecimal digits of their bits, so that no formatting of decimals stands between the builds.
#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "stand_in_host/module_loader.h"
#include "stand_in_host/stand_in_host.h"

// The module and this program are compiled with the same flags. With x87 arithmetic a 32-bit
// build rounds intermediates to extended precision: about a quarter of the values below then
// differ from the Linux build's in their last bits, yet by less than the tolerance, which must
// allow for the C libraries' arctangents. So the comparison alone would not notice.
#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "32-bit x86 builds must do floating-point arithmetic with SSE2 (-msse2 -mfpmath=sse)"
#endif

namespace {

using vantorel::standin::LoadedModule;
using vantorel::standin::StandInHost;

constexpr int kFrames = 8;
constexpr int kRaysPerFrame = 512;
constexpr int kRayDoubles = 18;
constexpr double kTolerance = 1e-15;

struct RayRecord {
    int result = 0;
    double values[kRayDoubles] = {};
};

// The same sample sequence on every platform: integer arithmetic, then an exact conversion.
class Samples {
public:
    // Uniform in [low, high), 53 random bits.
    double next(double low, double high) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        const double unit = static_cast<double>(state_ >> 11) / 9007199254740992.0;
        return low + (high - low) * unit;
    }

private:
    std::uint64_t state_ = 0x5eed;
};

// A camera that uses every part of the ray formulas: turned, moving and zooming through blurred
// exposures, shifted, distorted and vignetted, focused near with an open aperture. The zoom
// changes from frame to frame, so the frames' tables take the arctangent of many zoom factors.
void* setUpCamera(StandInHost& host, const CameraHandlerRecord& handler, ItemHandle camera) {
    vantorel::standin::SceneItem& item = host.item(camera);
    item.position.setKey(0.0, {1.5, -0.25, 4.0});
    item.position.setKey(kFrames / 24.0, {1.75, -0.2, 3.5});
    vantorel::standin::setAxesKey(item, 0.0,
                                  vantorel::standin::axesFromHeadingPitchBank(0.3, -0.2, 0.1));
    vantorel::standin::setAxesKey(item, kFrames / 24.0,
                                  vantorel::standin::axesFromHeadingPitchBank(0.35, -0.15, 0.12));
    item.focusDistance.setValue(3.7);
    item.fStop.setValue(2.8);
    host.frameTiming() = vantorel::standin::FrameTiming{24.0, 0.5, 2};

    const char* error = nullptr;
    void* instance = handler.inst->create(handler.inst->privateData, camera, &error);
    if (!instance) {
        return nullptr;
    }
    const ChannelGroupHandle group = host.channelGroupOf(camera);
    const std::pair<const char*, double> parameters[] = {
        {"HShift", 0.07},
        {"VShift", -0.03},
        {"Distortion", 0.12},
        {"Vignetting", 0.8},
    };
    for (const auto& [name, value] : parameters) {
        host.findChannel(group, name)->setValue(value);
    }
    host.findChannel(group, "ZoomFactor")->setKey(0.0, 1.3);
    host.findChannel(group, "ZoomFactor")->setKey(kFrames / 24.0, 5.9);
    return instance;
}

void traceFrame(const CameraHandlerRecord& handler, void* instance, const CameraAccess& access,
                Samples& samples, std::vector<RayRecord>& rays) {
    const double halfWidth = access.filmWidth / 2;
    const double halfHeight = access.filmHeight / 2;
    for (int i = 0; i < kRaysPerFrame; ++i) {
        RayRecord& record = rays.emplace_back();
        const double filmX = samples.next(-halfWidth, halfWidth);
        const double filmY = samples.next(-halfHeight, halfHeight);
        const double lensX = samples.next(-1.0, 1.0);
        const double lensY = samples.next(-1.0, 1.0);
        const double timeFraction = samples.next(0.0, 1.0);
        CameraRay ray{};
        record.result = handler.evaluate(instance, filmX, filmY, lensX, lensY, timeFraction, &ray);
        std::copy_n(ray.origin, 3, record.values);
        std::copy_n(ray.direction, 3, record.values + 3);
        std::copy_n(ray.filmNormal, 3, record.values + 6);
        std::copy_n(ray.filter, 9, record.values + 9);
    }
}

// The rays, or none when the module cannot be driven to give them.
std::vector<RayRecord> traceModuleRays(const char* moduleFile) {
    StandInHost host;
    auto opened = LoadedModule::open(moduleFile);
    if (!opened.ok()) {
        std::cerr << opened.failure().detail << '\n';
        return {};
    }
    const LoadedModule& module = opened.value();
    InstanceFuncs instanceFuncs{};
    CameraHandlerRecord handler{&instanceFuncs, nullptr, nullptr, nullptr,
                                nullptr,        nullptr, nullptr};
    auto server = module.findServer(CAMERA_HANDLER_CLASS, "Vantorel0.1.5");
    if (!server.ok() ||
        LoadedModule::activate(*server.value(), CAMERA_HANDLER_VERSION, &handler) != ACTIVATE_OK) {
        std::cerr << "the camera handler did not activate\n";
        return {};
    }
    const ItemHandle camera = host.addCamera("Camera");
    void* instance = setUpCamera(host, handler, camera);
    if (!instance) {
        std::cerr << "the camera instance was not created\n";
        return {};
    }
    const CameraAccess access = host.cameraAccess(camera);
    Samples samples;
    std::vector<RayRecord> rays;
    for (int frameNumber = 0; frameNumber < kFrames; ++frameNumber) {
        const FrameInfo frame = host.frameInfo(frameNumber);
        if (const char* error = handler.newFrame(instance, &frame, &access)) {
            std::cerr << "new frame " << frameNumber << " failed: " << error << '\n';
            rays.clear();
            break;
        }
        traceFrame(handler, instance, access, samples, rays);
    }
    instanceFuncs.destroy(instance);
    return rays;
}

int writeRays(const char* moduleFile, const char* raysFile) {
    const std::vector<RayRecord> rays = traceModuleRays(moduleFile);
    if (rays.empty()) {
        return 1;
    }
    std::ofstream out(raysFile, std::ios::binary);
    for (const RayRecord& record : rays) {
        out << record.result;
        for (double value : record.values) {
            char digits[20];
            std::snprintf(digits, sizeof digits, " %016" PRIx64,
                          std::bit_cast<std::uint64_t>(value));
            out << digits;
        }
        out << '\n';
    }
    return out.good() ? 0 : 1;
}

bool readRays(const char* raysFile, std::vector<RayRecord>& rays) {
    std::ifstream in(raysFile, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        RayRecord record;
        fields >> record.result;
        for (double& value : record.values) {
            std::uint64_t bits = 0;
            fields >> std::hex >> bits;
            value = std::bit_cast<double>(bits);
        }
        if (!fields) {
            return false;
        }
        rays.push_back(record);
    }
    return !rays.empty();
}

// The ray's parts: origin, direction, film normal, filter. A component is compared relative to the
// largest component of its part, so a component that is zero up to rounding compares by the
// part's size.
constexpr int kPartStarts[] = {0, 3, 6, 9, kRayDoubles};

struct Comparison {
    double maxRelative = 0.0;
    int differing = 0;
    int oneUlpApart = 0;
    int mismatchedResults = 0;
};

void compareRay(const RayRecord& a, const RayRecord& b, Comparison& comparison) {
    if (a.result != b.result) {
        ++comparison.mismatchedResults;
        return;
    }
    for (std::size_t part = 0; part + 1 < std::size(kPartStarts); ++part) {
        double scale = 0.0;
        for (int i = kPartStarts[part]; i < kPartStarts[part + 1]; ++i) {
            scale = std::max({scale, std::abs(a.values[i]), std::abs(b.values[i])});
        }
        for (int i = kPartStarts[part]; i < kPartStarts[part + 1]; ++i) {
            const double x = a.values[i];
            const double y = b.values[i];
            if (std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y)) {
                continue;
            }
            ++comparison.differing;
            comparison.oneUlpApart += std::nextafter(x, y) == y;
            const double relative = scale > 0.0 ? std::abs(x - y) / scale : INFINITY;
            comparison.maxRelative = std::max(comparison.maxRelative, relative);
        }
    }
}

int checkRays(const char* moduleFile, const char* raysFile) {
    std::vector<RayRecord> expected;
    if (!readRays(raysFile, expected)) {
        std::cerr << "cannot read the rays in " << raysFile << '\n';
        return 1;
    }
    const std::vector<RayRecord> rays = traceModuleRays(moduleFile);
    if (rays.size() != expected.size()) {
        std::cerr << rays.size() << " rays traced, " << expected.size() << " in " << raysFile
                  << '\n';
        return 1;
    }
    Comparison comparison;
    for (std::size_t i = 0; i < rays.size(); ++i) {
        compareRay(rays[i], expected[i], comparison);
    }
    std::cout << rays.size() << " rays, " << rays.size() * kRayDoubles
              << " values: " << comparison.differing << " differ, " << comparison.oneUlpApart
              << " of them by one unit in the last place; largest relative difference "
              << comparison.maxRelative << "; " << comparison.mismatchedResults
              << " results differ\n";
    return comparison.mismatchedResults == 0 && comparison.maxRelative <= kTolerance ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode == "write") {
        return writeRays(argv[2], argv[3]);
    }
    if (mode == "check") {
        return checkRays(argv[2], argv[3]);
    }
    std::cerr << "usage: ray_dump write <module file> <rays file>\n"
                 "       ray_dump check <module file> <rays file>\n";
    return 2;
}
