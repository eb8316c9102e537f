#include <gtest/gtest.h>

#include <cmath>

#include "camera_fixtures.h"

namespace vantorel {
namespace {

using test::turnedCamera;

TEST(TimeSample, WorkedExampleOfFocalLengthLensRadiusAndScale) {
    SampleInputs in{};
    in.zoom = 4.0;
    in.filmWidth = 0.03;
    in.filmHeight = 0.02;
    in.fStop = 2.0;
    in.focusDistance = 2.0;
    in.horizontalShift = 0.1;
    in.verticalShift = -0.2;
    in.right = {1, 0, 0};
    in.up = {0, 1, 0};
    in.forward = {0, 0, 1};
    const TimeSample s = makeTimeSample(in);

    // f = 0.04, r = 0.01, k = 50
    EXPECT_DOUBLE_EQ(s.rightLength, 50.0);
    EXPECT_DOUBLE_EQ(s.upLength, 50.0);
    EXPECT_DOUBLE_EQ(s.focusLength, 2.0);
    EXPECT_DOUBLE_EQ(s.lensRight[0], 0.01);
    EXPECT_DOUBLE_EQ(s.lensUp[1], 0.01);
    EXPECT_DOUBLE_EQ(s.fisheyeNorm, 1.0 / (4.0 * std::atan(0.25)));
    EXPECT_DOUBLE_EQ(s.shiftX, 0.1 * 0.03);
    EXPECT_DOUBLE_EQ(s.shiftY, 0.02 * -0.2);
}

class AxisScale : public ::testing::TestWithParam<double> {};

TEST_P(AxisScale, ScaledAxesDoNotChangeTheFocalPlaneGeometry) {
    SampleInputs in = turnedCamera();
    const TimeSample unitAxes = makeTimeSample(in);
    in.right = in.right * GetParam();
    in.up = in.up * GetParam();
    in.forward = in.forward * GetParam();
    const TimeSample scaled = makeTimeSample(in);

    const double k = in.focusDistance / (in.filmHeight * in.zoom * 0.5);
    EXPECT_NEAR(scaled.rightLength, k, 1e-12 * k);
    EXPECT_NEAR(scaled.upLength, k, 1e-12 * k);
    EXPECT_NEAR(scaled.focusLength, in.focusDistance, 1e-12);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(scaled.rightAxis[c], unitAxes.rightAxis[c], 1e-12 * k);
        EXPECT_NEAR(scaled.focusAxis[c], unitAxes.focusAxis[c], 1e-12);
        EXPECT_NEAR(scaled.lensUp[c], unitAxes.lensUp[c], 1e-15);
        // The film normal is the host's forward axis exactly as given.
        EXPECT_EQ(scaled.filmNormal[c], (&in.forward.x)[c]);
    }
}

INSTANTIATE_TEST_SUITE_P(HostAxes, AxisScale, ::testing::Values(1e-6, 0.5, 1.0, 3.0, 1e6));

TEST(TimeSample, SampleTimesSpanTheExposureEndToEnd) {
    struct Case {
        uint32_t n;
        uint32_t i;
        double expected;
    };
    const Case cases[] = {
        {0, 0, 10.0}, {4, 0, 10.0}, {4, 1, 10.125}, {4, 2, 10.25}, {4, 3, 10.375}, {4, 4, 10.5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(sampleTime(10.0, 0.5, c.n, c.i), c.expected) << c.n << " " << c.i;
    }
}

} // namespace
} // namespace vantorel
