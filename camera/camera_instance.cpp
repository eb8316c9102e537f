#include "camera/camera_instance.h"

#include "camera/allocation.h"
#include "host/services.h"

namespace vantorel {

const ParameterSlot kParameters[kParameterCount] = {
    {&CameraInstance::zoomChannel, &CameraInstance::zoomFactor, "ZoomFactor", CHANNEL_KIND_NUMBER},
    {&CameraInstance::hShiftChannel, &CameraInstance::horizontalShift, "HShift",
     CHANNEL_KIND_PERCENT},
    {&CameraInstance::vShiftChannel, &CameraInstance::verticalShift, "VShift",
     CHANNEL_KIND_PERCENT},
    {&CameraInstance::distortionChannel, &CameraInstance::distortion, "Distortion",
     CHANNEL_KIND_PERCENT},
    {&CameraInstance::vignettingChannel, &CameraInstance::vignetting, "Vignetting",
     CHANNEL_KIND_PERCENT},
};

double currentHostTime() noexcept {
    const auto* timeInfo = static_cast<const TimeInfo*>(lookUpService(TIME_INFO_SERVICE_NAME));
    return timeInfo ? timeInfo->time : 0.0;
}

ChannelHandle makeChannel(int kind, const char* name, ChannelGroupHandle group,
                          const double* initial) noexcept {
    const ChannelFuncs* channels = hostServices.channels;
    if (!channels) {
        return nullptr;
    }
    ChannelHandle channel = channels->create(kind, -1);
    if (!channel) {
        return nullptr;
    }
    channels->setup(channel, name, group, nullptr, nullptr, nullptr, nullptr);
    channels->setValue(channel, initial);
    return channel;
}

void sampleParameters(CameraInstance& instance, double t) noexcept {
    const ChannelFuncs* channels = hostServices.channels;
    if (!channels) {
        return;
    }
    for (const ParameterSlot& slot : kParameters) {
        ChannelHandle channel = instance.*slot.channel;
        if (!channel) {
            continue;
        }
        // A host that writes nothing leaves the cached value as it was.
        double value[3] = {instance.*slot.cached, 0.0, 0.0};
        channels->getValue(channel, t, nullptr, value);
        instance.*slot.cached = value[0];
    }
}

void* cameraCreate(void* /*privateData*/, void* context, const char** error) noexcept {
    auto* instance = static_cast<CameraInstance*>(allocateZeroed(1, sizeof(CameraInstance)));
    if (!instance) {
        if (error) {
            *error = kCreateFailedText;
        }
        return nullptr;
    }
    instance->cameraItem = static_cast<ItemHandle>(context);

    const double now = currentHostTime();
    const auto* cameraInfo =
        static_cast<const CameraInfo*>(lookUpService(CAMERA_INFO_SERVICE_NAME));
    instance->zoomFactor =
        cameraInfo ? cameraInfo->zoomFactor(instance->cameraItem, now) : kDefaultZoomFactor;

    if (hostServices.items) {
        instance->channelGroup = hostServices.items->channelGroup(instance->cameraItem);
    }
    for (const ParameterSlot& slot : kParameters) {
        instance->*slot.channel = makeChannel(slot.kind, slot.channelName, instance->channelGroup,
                                              &(instance->*slot.cached));
    }
    return instance;
}

void cameraDestroy(void* inst) noexcept {
    auto* instance = static_cast<CameraInstance*>(inst);
    if (!instance) {
        return;
    }
    if (const ChannelFuncs* channels = hostServices.channels) {
        for (const ParameterSlot& slot : kParameters) {
            if (ChannelHandle channel = instance->*slot.channel) {
                channels->destroy(channel);
            }
        }
    }
    releaseMemory(instance->samples);
    releaseMemory(instance);
}

const char* cameraCopy(void* destination, void* source) noexcept {
    auto* to = static_cast<CameraInstance*>(destination);
    const auto* from = static_cast<const CameraInstance*>(source);
    const ChannelFuncs* channels = hostServices.channels;
    if (!to || !from || !channels) {
        return nullptr;
    }
    for (const ParameterSlot& slot : kParameters) {
        ChannelHandle toChannel = to->*slot.channel;
        ChannelHandle fromChannel = from->*slot.channel;
        if (toChannel && fromChannel) {
            channels->copy(toChannel, fromChannel);
        }
    }
    return nullptr;
}

const char* cameraDescribe(void* /*inst*/) noexcept {
    return kDescribeText;
}

} // namespace vantorel
