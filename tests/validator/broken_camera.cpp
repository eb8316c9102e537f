// The camera module broken in one way, chosen by a compile definition, for the validator's tests:
// the real camera behind a descriptor whose handler activation swaps one function for a faulty
// one. Each fault is one that a host would suffer from and a validator has to catch.
#include <cstring>

#include "camera/camera_instance.h"
#include "plugin/plugin.h"

#if defined(_WIN32)
#define FIXTURE_EXPORT __declspec(dllexport)
#else
#define FIXTURE_EXPORT __attribute__((visibility("default")))
#endif

namespace {

using namespace vantorel;

#if defined(FIXTURE_RAY_OVERRUN)
// Writes the ray and then one double past its end.
int faultyEvaluate(void* inst, double filmX, double filmY, double lensX, double lensY,
                   double timeFraction, CameraRay* ray) {
    const int written = cameraEvaluate(inst, filmX, filmY, lensX, lensY, timeFraction, ray);
    const double stray = 1.0;
    std::memcpy(reinterpret_cast<unsigned char*>(ray) + sizeof *ray, &stray, sizeof stray);
    return written;
}
#elif defined(FIXTURE_WRONG_FLAGS)
int faultyFlags(void*) {
    return 0;
}
#elif defined(FIXTURE_LOSES_VIGNETTING)
// Saves the vignetting amount as 0, whatever it is.
const char* faultySave(void* inst, const SaveState* state) {
    auto* instance = static_cast<CameraInstance*>(inst);
    const double kept = instance->vignetting;
    instance->vignetting = 0.0;
    const char* failure = cameraSave(inst, state);
    instance->vignetting = kept;
    return failure;
}
#endif

int faultyHandlerActivate(int version, GlobalLookup global, void* local, void* serverData) {
#if defined(FIXTURE_ANY_VERSION)
    version = CAMERA_HANDLER_VERSION;
#endif
    const int result = handlerActivate(version, global, local, serverData);
    if (result != ACTIVATE_OK) {
        return result;
    }
    [[maybe_unused]] auto* record = static_cast<CameraHandlerRecord*>(local);
#if defined(FIXTURE_RAY_OVERRUN)
    record->evaluate = faultyEvaluate;
#elif defined(FIXTURE_WRONG_FLAGS)
    record->flags = faultyFlags;
#elif defined(FIXTURE_LOSES_VIGNETTING)
    record->inst->save = faultySave;
#endif
    return result;
}

void* startup() {
    static int token;
    return &token;
}

void shutdown(void*) {}

const ServerTag kTags[] = {{"Vantorel 0.1.5", 0}, {nullptr, 0}};
const ServerRecord kServers[] = {
    {CAMERA_HANDLER_CLASS, kServerName, faultyHandlerActivate, kTags},
    {CAMERA_INTERFACE_CLASS, kServerName, interfaceActivate, kTags},
    {nullptr, nullptr, nullptr, nullptr},
};

} // namespace

extern "C" {
FIXTURE_EXPORT extern const ModuleDescriptor _mod_descrip;
const ModuleDescriptor _mod_descrip = {MODULE_SYNCHRONISATION,
                                       MODULE_SYSTEM_VERSION,
                                       MODULE_MACHINE_CODE,
                                       startup,
                                       shutdown,
                                       kServers};
}
