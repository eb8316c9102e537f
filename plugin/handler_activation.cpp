#include "camera/camera_instance.h"
#include "host/services.h"
#include "plugin/plugin.h"

namespace vantorel {

namespace {

void acquireHandlerServices(GlobalLookup global) noexcept {
    hostServices.globalLookup = global;
    hostServices.channels = static_cast<const ChannelFuncs*>(lookUpService(CHANNEL_SERVICE_NAME));
    hostServices.items = static_cast<const ItemInfo*>(lookUpService(ITEM_INFO_SERVICE_NAME));
    hostServices.envelopes = lookUpService(ENVELOPE_SERVICE_NAME);
    hostServices.timeInfo = static_cast<const TimeInfo*>(lookUpService(TIME_INFO_SERVICE_NAME));
    hostServices.cameraInfo =
        static_cast<const CameraInfo*>(lookUpService(CAMERA_INFO_SERVICE_NAME));
}

// Camera information is not demanded: creation falls back without it and a frame reports it.
bool requiredHandlerServicesPresent() noexcept {
    return hostServices.channels && hostServices.items && hostServices.envelopes &&
           hostServices.timeInfo;
}

void fillHandlerRecord(CameraHandlerRecord& record) noexcept {
    InstanceFuncs& inst = *record.inst;
    inst.privateData = reinterpret_cast<void*>(hostServices.globalLookup);
    inst.create = cameraCreate;
    inst.destroy = cameraDestroy;
    inst.copy = cameraCopy;
    inst.load = cameraLoad;
    inst.save = cameraSave;
    inst.describe = cameraDescribe;
    record.preview = cameraPreview;
    record.newFrame = cameraNewFrame;
    record.evaluate = cameraEvaluate;
    record.flags = cameraFlags;
}

} // namespace

int handlerActivate(int version, GlobalLookup global, void* local, void* /*serverData*/) noexcept {
    auto* record = static_cast<CameraHandlerRecord*>(local);
    // A host that hands over no record, or no instance table, does not speak this version.
    if (version != CAMERA_HANDLER_VERSION || !record || !record->inst) {
        return ACTIVATE_BAD_VERSION;
    }
    acquireHandlerServices(global);
    if (!requiredHandlerServicesPresent()) {
        return ACTIVATE_MISSING_SERVICE;
    }
    fillHandlerRecord(*record);
    return ACTIVATE_OK;
}

int cameraFlags(void* /*inst*/) noexcept {
    return 1;
}

} // namespace vantorel
