// The per-camera instance and the handler functions the host calls on it.
//
// The host creates one instance for every camera item that uses this camera and destroys it with
// the item. Each of the five own parameters lives twice: as a host channel (animated, edited and
// stored by the host) and as a cached double (the value last sampled, loaded or set).
#pragma once

#include <cstdint>

#include "host/host_interface.h"

namespace vantorel {

// Everything ray evaluation needs at one sample time of a frame, scaled to the focal plane.
struct TimeSample {
    double shiftX; // horizontal shift x film width
    double shiftY; // film height x vertical shift
    double distortion;
    double vignetting;
    double rightLength;   // |rightAxis|, k up to rounding
    double upLength;      // |upAxis|, k up to rounding
    double focusLength;   // |focusAxis|, the focus distance up to rounding
    double fisheyeNorm;   // 1 / (zoom x atan(1 / zoom))
    double rightAxis[3];  // camera right axis, length k = focus distance / focal length
    double upAxis[3];     // camera up axis, length k
    double focusAxis[3];  // camera forward axis, length focus distance
    double lensRight[3];  // camera right axis, length lens radius
    double lensUp[3];     // camera up axis, length lens radius
    double filmNormal[3]; // the host's forward axis as sampled, not normalised
    double position[3];
};

constexpr int kInfoTextSize = 40;

struct CameraInstance {
    double zoomFactor;
    double horizontalShift; // fraction of the film width
    double verticalShift;   // fraction of the film height
    double distortion;      // 0 none, 1 full; negative values allowed
    double vignetting;      // 0 none, 1 full
    double filmWidth;       // metres; 0 until the first preview or frame
    double filmHeight;
    ChannelHandle zoomChannel;
    ChannelHandle hShiftChannel;
    ChannelHandle vShiftChannel;
    ChannelHandle distortionChannel;
    ChannelHandle vignettingChannel;
    ChannelGroupHandle channelGroup;
    ItemHandle cameraItem;
    double startTime;     // of the current frame's exposure
    double exposure;      // duration of the current frame's exposure
    uint32_t sampleCount; // N: the table holds N + 1 samples
    TimeSample* samples;  // owned; none before the first frame or after a failed one
    char infoText[kInfoTextSize];
};

constexpr int kParameterCount = 5;

// The five parameters always travel in this order: zoom factor, horizontal shift, vertical shift,
// distortion, vignetting.
struct ParameterSlot {
    ChannelHandle CameraInstance::*channel;
    double CameraInstance::*cached;
    const char* channelName;
    int kind;
};
extern const ParameterSlot kParameters[kParameterCount];

constexpr double kDefaultZoomFactor = 2.6217;

// Texts the module returns as failures.
inline constexpr const char* kCreateFailedText = "Couldn't allocate instance data.";
inline constexpr const char* kAllocationFailedText = "Can't allocate Memory";
inline constexpr const char* kCameraInfoMissingText = "Camera information unavailable";
inline constexpr const char* kItemInfoMissingText = "Item information unavailable";
inline constexpr const char* kNegativeMotionStepsText = "Motion steps can't be negative";
inline constexpr const char* kMissingRecordText = "Missing frame or camera record";
inline constexpr const char* kMissingStateText = "Missing scene state";
inline constexpr const char* kDescribeText = "Corvasin";

// Instance functions (host thread).
void* cameraCreate(void* privateData, void* context, const char** error) noexcept;
void cameraDestroy(void* inst) noexcept;
const char* cameraCopy(void* destination, void* source) noexcept;
const char* cameraDescribe(void* inst) noexcept;
const char* cameraLoad(void* inst, const LoadState* state) noexcept;
const char* cameraSave(void* inst, const SaveState* state) noexcept;

// Handler functions.
int cameraPreview(void* inst, double lensX, double lensY, ProjectionMatrix* out,
                  const CameraAccess* camera) noexcept;
const char* cameraNewFrame(void* inst, const FrameInfo* frame, const CameraAccess* camera) noexcept;
int cameraEvaluate(void* inst, double filmX, double filmY, double lensX, double lensY,
                   double timeFraction, CameraRay* ray) noexcept;

// A channel of the given kind, named and grouped, starting at *initial; none when the host
// cannot create it.
ChannelHandle makeChannel(int kind, const char* name, ChannelGroupHandle group,
                          const double* initial) noexcept;

// Refreshes the five cached values from their channels at time t. A value whose channel is
// absent keeps its cached value.
void sampleParameters(CameraInstance& instance, double t) noexcept;

// The host's current time, or 0 without the time service.
double currentHostTime() noexcept;

} // namespace vantorel
