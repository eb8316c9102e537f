// The camera's panel: five animatable fields bound straight to the instance's channels and a
// read-only line with the focal length the zoom factor gives on the current film.
#include <cstdio>

#include "camera/camera_instance.h"
#include "host/services.h"
#include "plugin/plugin.h"

namespace vantorel {

namespace {

const PanelControl kControls[] = {
    {kPanelZoom, "Zoom Factor", "float-env"},
    {kPanelFocalLengthLine, "", "sInfo"},
    {kPanelHorizontalShift, "Horizontal Shift", "percent-env"},
    {kPanelVerticalShift, "Vertical Shift", "percent-env"},
    {kPanelDistortion, "Distortion", "percent-env"},
    {kPanelVignetting, "Vignetting", "percent-env"},
    {0, nullptr, nullptr},
};

const PanelData kData[] = {
    {kPanelZoom, "", "float-env"},
    {kPanelFocalLengthLine, "", "string"},
    {kPanelHorizontalShift, "", "percent-env"},
    {kPanelVerticalShift, "", "percent-env"},
    {kPanelDistortion, "", "percent-env"},
    {kPanelVignetting, "", "percent-env"},
    {0, nullptr, nullptr},
};

// Hint tags of the panel service, named by the words that follow each.
constexpr uintptr_t kHintGroup = 0x3D01FE81;           // group id, members, 0
constexpr uintptr_t kHintNotify = 0x3D000F01;          // callback
constexpr uintptr_t kHintNotifyWithValue = 0x3D001302; // callback, value
constexpr uintptr_t kHintMinimum = 0x3D014002;         // control id, lower limit
constexpr uintptr_t kHintMaximum = 0x3D014102;         // control id, upper limit
constexpr uintptr_t kHintNumeric = 0x3D014202;         // control id, value
constexpr uintptr_t kHintSingleValue = 0x3D001201;     // value
constexpr uintptr_t kGroupZoom = 0x8007;
constexpr uintptr_t kGroupShifts = 0x8008;
constexpr uintptr_t kGroupLensEffects = 0x8009;

// Negative hint arguments travel as the two's complement of a hint word.
constexpr uintptr_t hintInt(intptr_t value) {
    return static_cast<uintptr_t>(value);
}

const uintptr_t kHints[] = {
    kHintGroup,
    kGroupZoom,
    kPanelZoom,
    kPanelFocalLengthLine,
    0,
    kHintGroup,
    kGroupLensEffects,
    kPanelDistortion,
    kPanelVignetting,
    0,
    kHintGroup,
    kGroupShifts,
    kPanelHorizontalShift,
    kPanelVerticalShift,
    0,
    kHintNotify,
    reinterpret_cast<uintptr_t>(&noOpCallback),
    kHintNotifyWithValue,
    reinterpret_cast<uintptr_t>(&noOpCallback),
    0,
    kHintMinimum,
    kPanelZoom,
    0,
    kHintNumeric,
    kPanelZoom,
    1,
    kHintMinimum,
    kPanelHorizontalShift,
    hintInt(-1000),
    kHintMaximum,
    kPanelHorizontalShift,
    1000,
    kHintMinimum,
    kPanelVerticalShift,
    hintInt(-1000),
    kHintMaximum,
    kPanelVerticalShift,
    1000,
    kHintMinimum,
    kPanelDistortion,
    hintInt(-100),
    kHintMaximum,
    kPanelDistortion,
    100,
    kHintMinimum,
    kPanelVignetting,
    0,
    kHintMaximum,
    kPanelVignetting,
    100,
    kHintSingleValue,
    hintInt(-1),
    0,
};

void acquirePanelServices(GlobalLookup global) noexcept {
    hostServices.globalLookup = global;
    hostServices.instanceUpdate =
        reinterpret_cast<InstanceUpdateFunc>(lookUpService(INSTANCE_UPDATE_SERVICE_NAME));
    hostServices.panels = static_cast<const PanelFuncs*>(lookUpService(PANEL_SERVICE_NAME));
}

// The zoom factor's channel at the host's current time; the cached value when there is no
// channel to read.
double zoomAtCurrentTime(const CameraInstance& instance) noexcept {
    double value[3] = {instance.zoomFactor, 0.0, 0.0};
    if (hostServices.channels && instance.zoomChannel) {
        hostServices.channels->getValue(instance.zoomChannel, currentHostTime(), nullptr, value);
    }
    return value[0];
}

const char* formatFocalLengthLine(CameraInstance& instance) noexcept {
    const double focalLengthMm = instance.filmHeight * zoomAtCurrentTime(instance) * 0.5 * 1000.0;
    // Bounded and always terminated: a huge value is cut to fit the line.
    std::snprintf(instance.infoText, sizeof instance.infoText, "Focal Length %0.1fmm",
                  focalLengthMm);
    return instance.infoText;
}

// The parameter a panel field edits, or none for the focal-length line and unknown fields.
const ParameterSlot* parameterForField(uint32_t id) noexcept {
    switch (id) {
    case kPanelZoom:
        return &kParameters[0];
    case kPanelHorizontalShift:
        return &kParameters[1];
    case kPanelVerticalShift:
        return &kParameters[2];
    case kPanelDistortion:
        return &kParameters[3];
    case kPanelVignetting:
        return &kParameters[4];
    default:
        return nullptr;
    }
}

} // namespace

int interfaceActivate(int version, GlobalLookup global, void* local,
                      void* /*serverData*/) noexcept {
    auto* record = static_cast<CameraInterfaceRecord*>(local);
    if (version != CAMERA_INTERFACE_VERSION || !record) {
        return ACTIVATE_BAD_VERSION;
    }
    acquirePanelServices(global);
    const PanelFuncs* panels = hostServices.panels;
    if (!panels) {
        return ACTIVATE_MISSING_SERVICE;
    }
    PanelHandle panel = panels->create(1, kControls);
    if (!panel) {
        return ACTIVATE_OK;
    }
    panels->describe(panel, kData, panelGet, panelSet);
    panels->hint(panel, 0, kHints);
    panels->viewInstance(panel, record->inst);
    panels->setData(panel, 0, record->inst);
    record->panel = panel;
    record->options = nullptr;
    record->command = nullptr;
    return ACTIVATE_OK;
}

void* panelGet(void* inst, uint32_t id) noexcept {
    auto* instance = static_cast<CameraInstance*>(inst);
    if (!instance) {
        return nullptr;
    }
    if (id == kPanelFocalLengthLine) {
        return const_cast<char*>(formatFocalLengthLine(*instance));
    }
    const ParameterSlot* parameter = parameterForField(id);
    return parameter ? instance->*parameter->channel : nullptr;
}

int panelSet(void* inst, uint32_t id, void* value) noexcept {
    auto* instance = static_cast<CameraInstance*>(inst);
    const ParameterSlot* parameter = parameterForField(id);
    if (!instance || !parameter || !value) {
        return 0;
    }
    instance->*parameter->cached = *static_cast<const double*>(value);
    if (hostServices.instanceUpdate) {
        hostServices.instanceUpdate(CAMERA_HANDLER_CLASS, instance);
    }
    return 1;
}

void noOpCallback(void* /*ignored*/) noexcept {}

} // namespace vantorel
