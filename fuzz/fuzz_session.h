// One host session for a fuzz input: a fresh stand-in host with a camera item, the module's
// handler activated through its record as a host does, and checks that end the run with a report
// when the module misbehaves in a way no sanitizer sees.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/services.h"
#include "plugin/plugin.h"
#include "reliability/allocation_hook.h"
#include "stand_in_host/stand_in_host.h"

namespace vantorel::fuzz {

[[noreturn]] inline void fail(const char* what, const char* detail = "") {
    std::fprintf(stderr, "fuzz check failed: %s %s\n", what, detail);
    std::abort();
}

inline void check(bool holds, const char* what, const char* detail = "") {
    if (!holds) {
        fail(what, detail);
    }
}

// Equal values, not-a-number counting as equal to not-a-number.
inline bool same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

class Session {
public:
    Session() {
        // A host loads a fresh module: nothing of an earlier session's services remains.
        hostServices = HostServices{};
        test::resetAllocations();
        host.log().setRecording(false);
        camera = host.addCamera("Camera");
    }

    ~Session() { hostServices = HostServices{}; }

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int activateHandler(int version = CAMERA_HANDLER_VERSION) {
        return handlerActivate(version, standin::StandInHost::globalLookup(), &handler, nullptr);
    }

    void* create() {
        const char* error = nullptr;
        void* instance = functions.create(functions.privateData, camera, &error);
        check(instance || error, "create gave neither an instance nor an error text");
        return instance;
    }

    const char* newFrame(void* instance, int motionSteps) {
        FrameInfo frame = host.frameInfo(0);
        frame.motionSteps = motionSteps;
        const CameraAccess access = host.cameraAccess(camera);
        return handler.newFrame(instance, &frame, &access);
    }

    // Ends the session's instances and checks what the module left behind.
    void finish() {
        const test::AllocationCounts counts = test::allocationCounts();
        if (counts.live() != 0) {
            char detail[64];
            std::snprintf(detail, sizeof detail, "%lld blocks",
                          static_cast<long long>(counts.live()));
            fail("module memory not released", detail);
        }
        if (!host.log().faults().empty()) {
            fail("host saw a misuse:", host.log().faults().front().c_str());
        }
    }

    standin::StandInHost host;
    ItemHandle camera = nullptr;
    InstanceFuncs functions{};
    CameraHandlerRecord handler{&functions, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
};

} // namespace vantorel::fuzz
