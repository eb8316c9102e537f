// Any order of host calls: the fuzz input is a script of activations (any version, services
// present or absent), instance creation, copy, describe, frames, rays, previews, panel reads and
// writes, saves, loads and destruction, with channel operations and module allocations failing
// where the script says. Whatever the order, nothing may crash, leak, misuse a host handle or
// write outside the records it was given.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "camera/camera_instance.h"
#include "fuzz_session.h"
#include "fuzz_values.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::fuzz {
namespace {

constexpr const char* kServices[] = {CHANNEL_SERVICE_NAME,        ITEM_INFO_SERVICE_NAME,
                                     CAMERA_INFO_SERVICE_NAME,    TIME_INFO_SERVICE_NAME,
                                     ENVELOPE_SERVICE_NAME,       PANEL_SERVICE_NAME,
                                     INSTANCE_UPDATE_SERVICE_NAME};

constexpr std::uint32_t kPanelIds[] = {0,
                                       kPanelZoom,
                                       kPanelFocalLengthLine,
                                       kPanelHorizontalShift,
                                       kPanelVerticalShift,
                                       kPanelDistortion,
                                       kPanelVignetting,
                                       0x8007,
                                       0xFFFFFFFF};

constexpr int kSlots = 4;

class Script {
public:
    explicit Script(FuzzedDataProvider& input) : input_(input) {}

    void run() {
        while (input_.remaining_bytes() > 0) {
            step();
        }
        // The host ends the scene with every service back, as a real one has them.
        for (const char* service : kServices) {
            session_.host.setServiceAvailable(service, true);
        }
        session_.host.clearFailures();
        session_.activateHandler();
        for (void*& instance : slots_) {
            destroy(instance);
        }
        session_.finish();
    }

private:
    enum Operation {
        kActivateHandler,
        kActivateInterface,
        kCreate,
        kDestroy,
        kCopy,
        kDescribe,
        kFlags,
        kNewFrame,
        kEvaluate,
        kPreview,
        kPanelGet,
        kPanelSet,
        kSave,
        kLoad,
        kToggleService,
        kFailChannels,
        kFailAllocation,
        kSetTime,
        kOperationCount
    };

    int anyVersion() {
        return input_.ConsumeBool() ? input_.ConsumeIntegralInRange(0, 5)
                                    : input_.ConsumeIntegral<int>();
    }

    void*& anySlot() { return slots_[input_.ConsumeIntegralInRange(0, kSlots - 1)]; }

    // The host calls handler functions only once an activation has filled the record.
    bool activated() const { return session_.functions.create != nullptr; }

    void destroy(void*& instance) {
        if (instance && activated()) {
            session_.functions.destroy(instance);
            instance = nullptr;
        }
    }

    void step() {
        switch (input_.ConsumeIntegralInRange(0, kOperationCount - 1)) {
        case kActivateHandler: {
            const int result = session_.activateHandler(anyVersion());
            check(result == ACTIVATE_OK || result == ACTIVATE_BAD_VERSION ||
                      result == ACTIVATE_MISSING_SERVICE,
                  "handler activation gave an unknown result");
            break;
        }
        case kActivateInterface:
            activateInterface();
            break;
        case kCreate: {
            void*& slot = anySlot();
            if (activated() && !slot) {
                slot = session_.create();
            }
            break;
        }
        case kDestroy:
            destroy(anySlot());
            break;
        case kCopy: {
            void* to = anySlot();
            void* from = anySlot();
            if (activated() && to && from) {
                check(session_.functions.copy(to, from) == nullptr, "copy reported an error");
            }
            break;
        }
        case kDescribe: {
            void* instance = anySlot();
            if (activated() && instance) {
                const char* text = session_.functions.describe(instance);
                check(text && std::string(text) == "Corvasin", "describe text wrong");
            }
            break;
        }
        case kFlags: {
            void* instance = anySlot();
            if (session_.handler.flags && instance) {
                check(session_.handler.flags(instance) == 1, "flags wrong");
            }
            break;
        }
        case kNewFrame:
            newFrame();
            break;
        case kEvaluate:
            evaluate();
            break;
        case kPreview:
            preview();
            break;
        case kPanelGet:
            panelGet();
            break;
        case kPanelSet:
            panelSet();
            break;
        case kSave:
            save();
            break;
        case kLoad:
            load();
            break;
        case kToggleService:
            session_.host.setServiceAvailable(input_.PickValueInArray(kServices),
                                              input_.ConsumeBool());
            break;
        case kFailChannels:
            failChannels();
            break;
        case kFailAllocation:
            test::failAllocationCall(input_.ConsumeIntegralInRange(0, 3));
            break;
        case kSetTime:
            session_.host.setTime(anyDouble(input_), input_.ConsumeIntegral<int>());
            break;
        default:
            break;
        }
    }

    void activateInterface() {
        CameraInterfaceRecord record{anySlot(), nullptr, nullptr, nullptr};
        const int result =
            interfaceActivate(anyVersion(), standin::StandInHost::globalLookup(), &record, nullptr);
        check(result == ACTIVATE_OK || result == ACTIVATE_BAD_VERSION ||
                  result == ACTIVATE_MISSING_SERVICE,
              "interface activation gave an unknown result");
        if (record.panel) {
            panel_ = session_.host.panel(record.panel);
            check(panel_ != nullptr, "interface record holds a panel the host never made");
        }
    }

    void newFrame() {
        void* instance = anySlot();
        if (!session_.handler.newFrame || !instance) {
            return;
        }
        FrameInfo frame = session_.host.frameInfo(input_.ConsumeIntegral<int>());
        frame.motionSteps = anyMotionSteps(input_);
        frame.exposureDuration = anyDouble(input_);
        const CameraAccess access = session_.host.cameraAccess(session_.camera);
        session_.handler.newFrame(instance, &frame, &access);
    }

    void evaluate() {
        void* instance = anySlot();
        if (!session_.handler.evaluate || !instance) {
            return;
        }
        CameraRay ray{};
        const int written = session_.handler.evaluate(instance, anyDouble(input_),
                                                      anyDouble(input_), anyDouble(input_),
                                                      anyDouble(input_), anyDouble(input_), &ray);
        check(written == 0 || written == 1, "evaluation gave an unknown result");
        check(written == (static_cast<CameraInstance*>(instance)->samples ? 1 : 0),
              "evaluation result does not match the table");
    }

    void preview() {
        void* instance = anySlot();
        if (!session_.handler.preview || !instance) {
            return;
        }
        ProjectionMatrix matrix{};
        const CameraAccess access = session_.host.cameraAccess(session_.camera);
        check(session_.handler.preview(instance, anyDouble(input_), anyDouble(input_), &matrix,
                                       &access) == 1,
              "preview did not return 1");
    }

    void panelGet() {
        void* instance = anySlot();
        if (!panel_ || !panel_->get || !instance) {
            return;
        }
        const std::uint32_t id = input_.PickValueInArray(kPanelIds);
        void* value = panel_->get(instance, id);
        if (id == kPanelFocalLengthLine) {
            check(value != nullptr, "no focal-length line");
            const char* line = static_cast<const char*>(value);
            check(std::memchr(line, '\0', kInfoTextSize) != nullptr, "focal-length line unended");
        }
    }

    void panelSet() {
        void* instance = anySlot();
        if (!panel_ || !panel_->set || !instance) {
            return;
        }
        const std::uint32_t id = input_.PickValueInArray(kPanelIds);
        double value = anyDouble(input_);
        const int result = panel_->set(instance, id, &value);
        check(result == 0 || result == 1, "panel set gave an unknown result");
    }

    void save() {
        void* instance = anySlot();
        if (!activated() || !instance) {
            return;
        }
        auto stream = std::make_unique<standin::StateStream>(
            input_.ConsumeBool() ? STATE_ENCODING_TEXT : STATE_ENCODING_BINARY);
        const SaveState state = stream->saveState();
        if (session_.functions.save(instance, &state) == nullptr) {
            streams_.push_back(std::move(stream));
        }
    }

    // Loads a stream saved earlier, or bytes from the script, through a reader that may be
    // short or fail.
    void load() {
        void* instance = anySlot();
        if (!activated() || !instance) {
            return;
        }
        std::unique_ptr<standin::StateStream> own;
        const standin::StateStream* stream = nullptr;
        if (!streams_.empty() && input_.ConsumeBool()) {
            stream =
                streams_[input_.ConsumeIntegralInRange<std::size_t>(0, streams_.size() - 1)].get();
        } else {
            own = std::make_unique<standin::StateStream>(
                input_.ConsumeBool() ? STATE_ENCODING_TEXT : STATE_ENCODING_BINARY);
            own->setBytes(input_.ConsumeBytesAsString(input_.ConsumeIntegralInRange(0, 200)));
            stream = own.get();
        }
        standin::StreamReader reader(*stream);
        if (input_.ConsumeBool()) {
            reader.deliverAtMost(input_.ConsumeIntegralInRange(0, 6));
        }
        if (input_.ConsumeBool()) {
            reader.failAfter(input_.ConsumeIntegralInRange(0, 40));
        }
        const LoadState state = reader.loadState();
        session_.functions.load(instance, &state);
    }

    void failChannels() {
        const standin::FailAfter after{input_.ConsumeIntegralInRange(0, 6)};
        switch (input_.ConsumeIntegralInRange(0, 3)) {
        case 0:
            session_.host.failChannelCreation(after);
            break;
        case 1:
            session_.host.failChannelLoad("Load refused", after);
            break;
        case 2:
            session_.host.failChannelSave("Save refused", after);
            break;
        default:
            session_.host.clearFailures();
            break;
        }
    }

    FuzzedDataProvider& input_;
    Session session_;
    std::array<void*, kSlots> slots_{};
    standin::Panel* panel_ = nullptr;
    std::vector<std::unique_ptr<standin::StateStream>> streams_;
};

} // namespace
} // namespace vantorel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    vantorel::fuzz::Script(input).run();
    return 0;
}
