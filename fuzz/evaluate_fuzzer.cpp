// The per-ray path with any numbers a host could hand over: the camera's own parameters, focus
// distance, f-stop, film size, camera axes of any length (zero included), exposure and motion
// steps in the frame, then film point, lens point and time fraction of each ray. Every double may
// be not-a-number, infinite, huge or subnormal. Evaluation must stay inside its table, write only
// the caller's ray, and leave the filter alone unless vignetting is on.
#include <cstddef>
#include <cstdint>

#include "camera/camera_instance.h"
#include "fuzz_session.h"
#include "fuzz_values.h"

namespace vantorel::fuzz {
namespace {

constexpr double kSentinel = -1234.5;

standin::Vec3 anyVector(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange(0, 7) == 0) {
        return {0.0, 0.0, 0.0};
    }
    return {anyDouble(input), anyDouble(input), anyDouble(input)};
}

void setUpCamera(Session& session, CameraInstance& instance, FuzzedDataProvider& input) {
    for (const ParameterSlot& slot : kParameters) {
        session.host.channel(instance.*slot.channel)->setValue(anyDouble(input));
    }
    standin::SceneItem& camera = session.host.item(session.camera);
    camera.focusDistance.setValue(anyDouble(input));
    camera.fStop.setValue(anyDouble(input));
    camera.filmWidth = anyDouble(input);
    camera.filmHeight = anyDouble(input);
    camera.position.setValue(anyVector(input));
    camera.right.setValue(anyVector(input));
    camera.up.setValue(anyVector(input));
    camera.forward.setValue(anyVector(input));
}

void checkRay(const CameraRay& ray, const CameraInstance& instance, const standin::Vec3& forward) {
    for (int c = 0; c < 3; ++c) {
        check(same(ray.filmNormal[c], forward[c]), "film normal is not the host's forward axis");
    }
    if (instance.vignetting > 0.0) {
        for (int c = 0; c < 9; ++c) {
            check(c % 4 == 0 ? same(ray.filter[c], ray.filter[0]) : ray.filter[c] == 0.0,
                  "vignetting filter is not a multiple of the identity");
        }
        return;
    }
    for (double entry : ray.filter) {
        check(entry == kSentinel, "filter written while vignetting is off");
    }
}

} // namespace
} // namespace vantorel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantorel;
    using namespace vantorel::fuzz;
    FuzzedDataProvider input(data, size);
    Session session;
    check(session.activateHandler() == ACTIVATE_OK, "activation failed");
    auto* instance = static_cast<CameraInstance*>(session.create());
    check(instance != nullptr, "create failed");
    setUpCamera(session, *instance, input);

    const int motionSteps = anyMotionSteps(input);
    FrameInfo frame = session.host.frameInfo(0);
    frame.exposureStart = anyDouble(input);
    frame.exposureDuration = anyDouble(input);
    frame.motionSteps = motionSteps;
    const CameraAccess access = session.host.cameraAccess(session.camera);
    const char* error = session.handler.newFrame(instance, &frame, &access);
    const bool tableFits = motionSteps >= 0 && motionSteps <= INT_MAX / 4;
    check((error == nullptr) == tableFits, "frame result does not match its motion steps");

    const standin::Vec3 forward = session.host.item(session.camera).forward.staticValue();
    while (input.remaining_bytes() > 0) {
        CameraRay ray;
        for (double* part : {ray.origin, ray.direction, ray.filmNormal}) {
            part[0] = part[1] = part[2] = kSentinel;
        }
        for (double& entry : ray.filter) {
            entry = kSentinel;
        }
        const double filmX = anyDouble(input);
        const double filmY = anyDouble(input);
        const double lensX = anyDouble(input);
        const double lensY = anyDouble(input);
        const double timeFraction = anyDouble(input);
        const int written =
            session.handler.evaluate(instance, filmX, filmY, lensX, lensY, timeFraction, &ray);
        check(written == (tableFits ? 1 : 0), "evaluation result does not match the table");
        if (written) {
            checkRay(ray, *instance, forward);
        } else {
            check(ray.origin[0] == kSentinel, "ray written without a table");
        }
    }
    session.functions.destroy(instance);
    session.finish();
    return 0;
}
