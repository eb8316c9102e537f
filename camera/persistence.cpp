// Scene persistence: the five channel states, then the five cached values in single precision,
// in the fixed parameter order, whatever encoding the host chose.
#include <cfloat>
#include <cmath>
#include <limits>

#include "camera/camera_instance.h"
#include "host/services.h"

namespace vantorel {

namespace {

// Values beyond the float range are stored as infinities rather than left to an undefined
// conversion.
float toSinglePrecision(double value) {
    if (std::isnan(value) || std::fabs(value) <= FLT_MAX) {
        return static_cast<float>(value);
    }
    return std::copysign(std::numeric_limits<float>::infinity(),
                         static_cast<float>(value > 0 ? 1 : -1));
}

} // namespace

const char* cameraSave(void* inst, const SaveState* state) noexcept {
    const auto* instance = static_cast<const CameraInstance*>(inst);
    if (!instance || !state) {
        return kMissingStateText;
    }
    if (const ChannelFuncs* channels = hostServices.channels) {
        for (const ParameterSlot& slot : kParameters) {
            ChannelHandle channel = instance->*slot.channel;
            if (!channel) {
                continue;
            }
            if (const char* failure = channels->save(channel, state)) {
                return failure;
            }
        }
    }
    float cached[kParameterCount];
    for (int p = 0; p < kParameterCount; ++p) {
        cached[p] = toSinglePrecision(instance->*kParameters[p].cached);
    }
    if (state->writeFloats) {
        state->writeFloats(state->writerData, cached, kParameterCount);
    }
    return nullptr;
}

const char* cameraLoad(void* inst, const LoadState* state) noexcept {
    auto* instance = static_cast<CameraInstance*>(inst);
    if (!instance || !state) {
        return kMissingStateText;
    }
    if (const ChannelFuncs* channels = hostServices.channels) {
        for (const ParameterSlot& slot : kParameters) {
            ChannelHandle channel = instance->*slot.channel;
            if (!channel) {
                continue;
            }
            if (const char* failure = channels->load(channel, state)) {
                return failure;
            }
        }
    }
    if (!state->readFloats) {
        return nullptr;
    }
    float cached[kParameterCount] = {};
    const int delivered = state->readFloats(state->readerData, cached, kParameterCount);
    // A short read keeps the cached values it did not deliver.
    for (int p = 0; p < delivered && p < kParameterCount; ++p) {
        instance->*kParameters[p].cached = static_cast<double>(cached[p]);
    }
    return nullptr;
}

} // namespace vantorel
