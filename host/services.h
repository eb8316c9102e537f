// The host services the module holds for all of its instances.
//
// Only the two activation functions write these; every other function only reads them. Each
// activation overwrites what it acquires, so a host may activate any number of times.
#pragma once

#include "host/host_interface.h"

namespace vantorel {

struct HostServices {
    GlobalLookup globalLookup = nullptr;
    const ChannelFuncs* channels = nullptr;
    const ItemInfo* items = nullptr;
    const void* envelopes = nullptr;
    const TimeInfo* timeInfo = nullptr;
    const CameraInfo* cameraInfo = nullptr;
    const PanelFuncs* panels = nullptr;
    InstanceUpdateFunc instanceUpdate = nullptr;
};

extern HostServices hostServices;

// A fresh lookup through the stored global lookup; none when there is no lookup or no service.
void* lookUpService(const char* serviceName) noexcept;

} // namespace vantorel
