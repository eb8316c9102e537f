// Stored scene state from an untrusted file: the fuzz input becomes the bytes a load state reads
// (channel states, then the camera's floats), in either encoding, with a reader that may deliver
// a few values per call or fail part way. Whatever the load returns, the camera must then
// preview, render a frame, evaluate rays and save without fault; a load that succeeded must
// round-trip through save and load exactly.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "camera/camera_instance.h"
#include "fuzz_session.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::fuzz {
namespace {

// The loaded instance saved and loaded again into a new one gives the same channels and the
// cached values to single precision.
void checkRoundTrip(Session& session, CameraInstance& loaded, int encoding) {
    standin::StateStream stream(encoding);
    const SaveState saveState = stream.saveState();
    check(session.functions.save(&loaded, &saveState) == nullptr, "saving a loaded camera failed");

    auto* again = static_cast<CameraInstance*>(session.create());
    check(again != nullptr, "create failed");
    standin::StreamReader reader(stream);
    const LoadState loadState = reader.loadState();
    const char* error = session.functions.load(again, &loadState);
    check(error == nullptr, "a camera's own save did not load:", error ? error : "");
    check(reader.atEnd(), "load left saved data unread");
    for (const ParameterSlot& slot : kParameters) {
        check(same(again->*slot.cached, static_cast<float>(loaded.*slot.cached)),
              "cached value changed in a round trip:", slot.channelName);
        const standin::Channel* from = session.host.channel(loaded.*slot.channel);
        const standin::Channel* to = session.host.channel(again->*slot.channel);
        check(from && to, "channel missing after a round trip");
        check(same(from->track().staticValue(), to->track().staticValue()),
              "channel value changed in a round trip:", slot.channelName);
        const auto& fromKeys = from->track().keys();
        const auto& toKeys = to->track().keys();
        check(fromKeys.size() == toKeys.size(), "channel keys lost in a round trip");
        for (std::size_t k = 0; k < fromKeys.size(); ++k) {
            check(fromKeys[k].time == toKeys[k].time && same(fromKeys[k].value, toKeys[k].value),
                  "channel key changed in a round trip:", slot.channelName);
        }
    }
    session.functions.destroy(again);
}

// The camera works after any load, failed ones included.
void useCamera(Session& session, void* instance) {
    ProjectionMatrix matrix{};
    const CameraAccess access = session.host.cameraAccess(session.camera);
    check(session.handler.preview(instance, 0.3, -0.2, &matrix, &access) == 1, "preview failed");
    check(session.newFrame(instance, 1) == nullptr, "frame failed after a load");
    CameraRay ray{};
    for (int i = 0; i <= 8; ++i) {
        check(session.handler.evaluate(instance, 0.01 * (i - 4), 0.004 * i, 0.5, -0.5, i / 8.0,
                                       &ray) == 1,
              "evaluation without a table after a frame");
    }
    standin::StateStream saved;
    const SaveState saveState = saved.saveState();
    check(session.functions.save(instance, &saveState) == nullptr, "save failed");
}

} // namespace
} // namespace vantorel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantorel;
    using namespace vantorel::fuzz;
    FuzzedDataProvider input(data, size);
    // The reader's behaviour comes from the end of the input, the stored bytes from its start.
    const int encoding = input.ConsumeBool() ? STATE_ENCODING_TEXT : STATE_ENCODING_BINARY;
    const int valuesPerCall = input.ConsumeIntegralInRange(0, 7); // 0: as many as asked for
    const int failAfter = input.ConsumeIntegralInRange(-1, 60);   // -1: never fails
    standin::StateStream stream(encoding);
    stream.setBytes(input.ConsumeRemainingBytesAsString());

    Session session;
    check(session.activateHandler() == ACTIVATE_OK, "activation failed");
    auto* instance = static_cast<CameraInstance*>(session.create());
    check(instance != nullptr, "create failed");

    standin::StreamReader reader(stream);
    if (valuesPerCall > 0) {
        reader.deliverAtMost(valuesPerCall);
    }
    if (failAfter >= 0) {
        reader.failAfter(failAfter);
    }
    const LoadState loadState = reader.loadState();
    if (session.functions.load(instance, &loadState) == nullptr) {
        checkRoundTrip(session, *instance, encoding);
    }
    useCamera(session, instance);
    session.functions.destroy(instance);
    session.finish();
    return 0;
}
