// The per-frame table of time samples.
//
// Before the renderer asks for any ray of a frame the camera samples the exposure at N + 1 equally
// spaced times, N = 4 x motion steps, and keeps at each time everything a ray needs, scaled to the
// focal plane. All per-frame work happens here so that a ray costs one lookup and arithmetic.
#pragma once

#include <cstdint>

#include "camera/camera_instance.h"
#include "camera/vec3.h"

namespace vantorel {

// What the camera knows at one sample time.
struct SampleInputs {
    double zoom;
    double horizontalShift;
    double verticalShift;
    double distortion;
    double vignetting;
    double focusDistance;
    double fStop;
    double filmWidth;
    double filmHeight;
    Vec3 position;
    Vec3 right;
    Vec3 up;
    Vec3 forward;
};

TimeSample makeTimeSample(const SampleInputs& in) noexcept;

// Time of sample i of n across an exposure; sample n falls on start + exposure.
double sampleTime(double startTime, double exposure, uint32_t n, uint32_t i) noexcept;

constexpr int kTimeSamplesPerMotionStep = 4;

} // namespace vantorel
