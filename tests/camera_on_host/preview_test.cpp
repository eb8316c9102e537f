#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "camera_host_fixture.h"

namespace vantorel::test {
namespace {

class PreviewOnHost : public CameraOnHost {
protected:
    void SetUp() override {
        CameraOnHost::SetUp();
        camera().filmWidth = 0.036;
        camera().filmHeight = 0.02;
        camera().focusDistance.setValue(2.0);
        camera().fStop.setValue(2.0);
        instance = create();
        ASSERT_NE(instance, nullptr);
        // Zoom 2 at time 0 rising to 4 at time 10.
        channelOf(instance->zoomChannel).setKey(0.0, 2.0);
        channelOf(instance->zoomChannel).setKey(10.0, 4.0);
    }

    ProjectionMatrix preview(double lensX = 0.0, double lensY = 0.0) {
        ProjectionMatrix m{};
        const CameraAccess access = host.cameraAccess(cameraItem);
        EXPECT_EQ(cameraPreview(instance, lensX, lensY, &m, &access), 1);
        return m;
    }

    CameraInstance* instance = nullptr;
};

TEST_F(PreviewOnHost, FollowsTheParametersAtTheHostsCurrentTime) {
    host.setTime(10.0, 240);
    const ProjectionMatrix m = preview();
    EXPECT_DOUBLE_EQ(m.m[0], 0.04);
    EXPECT_DOUBLE_EQ(m.m[5], 0.04);
    EXPECT_EQ(instance->zoomFactor, 4.0);
    EXPECT_EQ(instance->filmWidth, 0.036);
    EXPECT_EQ(instance->filmHeight, 0.02);
}

TEST_F(PreviewOnHost, WithoutTimeInformationPreviewsTimeZero) {
    host.setTime(10.0, 240);
    host.setServiceAvailable(TIME_INFO_SERVICE_NAME, false);
    EXPECT_DOUBLE_EQ(preview().m[0], 0.02);
}

TEST_F(PreviewOnHost, WithoutCameraInformationTheLensIsAPinhole) {
    host.setServiceAvailable(CAMERA_INFO_SERVICE_NAME, false);
    const ProjectionMatrix m = preview(1.0, -1.0);
    for (double v : m.m) {
        EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_EQ(m.m[12], 0.0);
    EXPECT_EQ(m.m[13], 0.0);
}

TEST_F(PreviewOnHost, LeavesTheFrameTableAlone) {
    host.frameTiming().motionSteps = 1;
    ASSERT_EQ(newFrame(instance, 1), nullptr);
    const TimeSample* table = instance->samples;
    const TimeSample first = table[0];
    preview(0.5, 0.5);
    EXPECT_EQ(instance->samples, table);
    EXPECT_EQ(std::memcmp(&first, &instance->samples[0], sizeof first), 0);
}

} // namespace
} // namespace vantorel::test
