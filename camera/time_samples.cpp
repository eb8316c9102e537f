#include "camera/time_samples.h"

#include <cmath>
#include <cstdint>

#include "camera/allocation.h"
#include "camera/arctangent.h"
#include "host/services.h"

namespace vantorel {

TimeSample makeTimeSample(const SampleInputs& in) noexcept {
    const double focal = in.filmHeight * in.zoom * 0.5;
    const double lensRadius = 0.5 * (focal / in.fStop);
    const double k = in.focusDistance / focal; // focal-plane units per film unit

    const Vec3 rightAxis = in.right * ((1.0 / length(in.right)) * k);
    const Vec3 upAxis = in.up * ((1.0 / length(in.up)) * k);
    const Vec3 focusAxis = in.forward * ((focal / length(in.forward)) * k);

    TimeSample s{};
    s.shiftX = in.horizontalShift * in.filmWidth;
    s.shiftY = in.filmHeight * in.verticalShift;
    s.distortion = in.distortion;
    s.vignetting = in.vignetting;
    s.rightLength = length(rightAxis);
    s.upLength = length(upAxis);
    s.focusLength = length(focusAxis);
    const double halfAngle = arctangentOfRatio(1.0, in.zoom); // atan(1 / zoom)
    s.fisheyeNorm = in.filmHeight / ((halfAngle + halfAngle) * focal);
    store(rightAxis, s.rightAxis);
    store(upAxis, s.upAxis);
    store(focusAxis, s.focusAxis);
    store(in.right * (lensRadius / length(in.right)), s.lensRight);
    store(in.up * (lensRadius / length(in.up)), s.lensUp);
    store(in.forward, s.filmNormal);
    store(in.position, s.position);
    return s;
}

double sampleTime(double startTime, double exposure, uint32_t n, uint32_t i) noexcept {
    if (n == 0) {
        return startTime;
    }
    return startTime + (exposure / static_cast<double>(n)) * static_cast<double>(i);
}

namespace {

Vec3 itemParameter(ItemHandle item, int code, double t) {
    double v[3] = {0.0, 0.0, 0.0};
    hostServices.items->param(item, code, t, v);
    return toVec3(v);
}

SampleInputs sampleInputsAt(const CameraInstance& instance, const CameraAccess& camera, double t) {
    const CameraInfo& cameraInfo = *hostServices.cameraInfo;
    SampleInputs in{};
    in.zoom = instance.zoomFactor;
    in.horizontalShift = instance.horizontalShift;
    in.verticalShift = instance.verticalShift;
    in.distortion = instance.distortion;
    in.vignetting = instance.vignetting;
    in.focusDistance = cameraInfo.focusDistance(camera.cameraItem, t);
    in.fStop = cameraInfo.fStop(camera.cameraItem, t);
    in.filmWidth = camera.filmWidth;
    in.filmHeight = camera.filmHeight;
    in.position = itemParameter(camera.cameraItem, ITEM_WORLD_POSITION, t);
    in.right = itemParameter(camera.cameraItem, ITEM_RIGHT, t);
    in.up = itemParameter(camera.cameraItem, ITEM_UP, t);
    in.forward = itemParameter(camera.cameraItem, ITEM_FORWARD, t);
    return in;
}

void dropTable(CameraInstance& instance) noexcept {
    releaseMemory(instance.samples);
    instance.samples = nullptr;
    instance.sampleCount = 0;
}

// Releases the old table and allocates room for the new frame's, or explains why not.
const char* replaceTable(CameraInstance& instance, int motionSteps) noexcept {
    dropTable(instance);
    if (motionSteps < 0) {
        return kNegativeMotionStepsText;
    }
    const uint64_t count = uint64_t{kTimeSamplesPerMotionStep} * static_cast<uint64_t>(motionSteps);
    if (count >= UINT32_MAX) {
        return kAllocationFailedText; // N + 1 records could never be addressed
    }
    instance.sampleCount = static_cast<uint32_t>(count);
    instance.samples = static_cast<TimeSample*>(
        allocateZeroed(static_cast<std::size_t>(count) + 1, sizeof(TimeSample)));
    return instance.samples ? nullptr : kAllocationFailedText;
}

} // namespace

const char* cameraNewFrame(void* inst, const FrameInfo* frame,
                           const CameraAccess* camera) noexcept {
    auto* instance = static_cast<CameraInstance*>(inst);
    if (!instance) {
        return kMissingRecordText;
    }
    if (!frame || !camera) {
        dropTable(*instance);
        return kMissingRecordText;
    }
    instance->startTime = frame->exposureStart;
    instance->exposure = frame->exposureDuration;
    if (!hostServices.cameraInfo || !hostServices.items) {
        dropTable(*instance);
        return hostServices.cameraInfo ? kItemInfoMissingText : kCameraInfoMissingText;
    }
    if (const char* failure = replaceTable(*instance, frame->motionSteps)) {
        return failure;
    }

    const uint32_t n = instance->sampleCount;
    for (uint32_t i = 0; i <= n; ++i) {
        const double t = sampleTime(instance->startTime, instance->exposure, n, i);
        sampleParameters(*instance, t);
        instance->filmWidth = camera->filmWidth;
        instance->filmHeight = camera->filmHeight;
        instance->samples[i] = makeTimeSample(sampleInputsAt(*instance, *camera, t));
    }
    return nullptr;
}

} // namespace vantorel
