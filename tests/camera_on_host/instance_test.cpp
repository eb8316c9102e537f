#include <gtest/gtest.h>

#include <string>

#include "camera_host_fixture.h"

namespace vantorel::test {
namespace {

struct ExpectedChannel {
    ChannelHandle CameraInstance::*handle;
    const char* name;
    int kind;
};

const ExpectedChannel kExpectedChannels[] = {
    {&CameraInstance::zoomChannel, "ZoomFactor", 0x10},
    {&CameraInstance::hShiftChannel, "HShift", 0x20},
    {&CameraInstance::vShiftChannel, "VShift", 0x20},
    {&CameraInstance::distortionChannel, "Distortion", 0x20},
    {&CameraInstance::vignettingChannel, "Vignetting", 0x20},
};

TEST_F(CameraOnHost, NewInstanceStartsFromTheHostCamerasZoomWithFiveGroupedChannels) {
    camera().zoomFactor.setValue(4.5);
    CameraInstance* instance = create();
    ASSERT_NE(instance, nullptr);

    EXPECT_EQ(instance->cameraItem, cameraItem);
    EXPECT_EQ(instance->channelGroup, host.channelGroupOf(cameraItem));
    EXPECT_EQ(instance->zoomFactor, 4.5);
    EXPECT_EQ(instance->filmWidth, 0.0);
    EXPECT_EQ(instance->filmHeight, 0.0);
    EXPECT_EQ(instance->samples, nullptr);
    for (const ExpectedChannel& expected : kExpectedChannels) {
        const standin::Channel& channel = channelOf(instance->*expected.handle);
        EXPECT_EQ(channel.name(), expected.name);
        EXPECT_EQ(channel.kind(), expected.kind);
        EXPECT_EQ(channel.envelopeFlags(), -1);
        EXPECT_EQ(channel.group(), instance->channelGroup);
        EXPECT_EQ(channel.valueAt(0.0), std::string(expected.name) == "ZoomFactor" ? 4.5 : 0.0);
    }
}

TEST_F(CameraOnHost, WithoutCameraInformationTheZoomFactorIsTheDefault) {
    host.setServiceAvailable(CAMERA_INFO_SERVICE_NAME, false);
    CameraInstance* instance = create();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->zoomFactor, 2.6217);
    EXPECT_EQ(channelOf(instance->zoomChannel).valueAt(0.0), 2.6217);
}

TEST_F(CameraOnHost, ChannelsTheHostCannotCreateAreAbsentAndSkippedEverywhere) {
    host.failChannelCreation(standin::FailAfter{2});
    CameraInstance* instance = create();
    ASSERT_NE(instance, nullptr);
    host.clearFailures();
    EXPECT_NE(instance->zoomChannel, nullptr);
    EXPECT_NE(instance->hShiftChannel, nullptr);
    EXPECT_EQ(instance->vShiftChannel, nullptr);
    EXPECT_EQ(instance->vignettingChannel, nullptr);

    instance->vignetting = 0.25;
    sampleParameters(*instance, 0.0);
    EXPECT_EQ(instance->vignetting, 0.25); // no channel: the cached value stays

    CameraInstance* complete = create();
    ASSERT_NE(complete, nullptr);
    EXPECT_EQ(cameraCopy(complete, instance), nullptr);
    EXPECT_EQ(cameraCopy(instance, complete), nullptr);
    // Destroying the incomplete instance in TearDown must touch no absent channel.
}

TEST_F(CameraOnHost, CopyTakesTheSourceAnimationAndLeavesTheCachedValues) {
    CameraInstance* source = create();
    CameraInstance* destination = create();
    ASSERT_TRUE(source && destination);
    channelOf(source->distortionChannel).setKey(0.0, 0.2);
    channelOf(source->distortionChannel).setKey(1.0, 0.6);
    source->distortion = 0.9;
    destination->distortion = -0.3;

    EXPECT_EQ(cameraCopy(destination, source), nullptr);
    EXPECT_EQ(destination->distortion, -0.3);
    EXPECT_DOUBLE_EQ(channelOf(destination->distortionChannel).valueAt(0.5), 0.4);
    sampleParameters(*destination, 0.5);
    EXPECT_DOUBLE_EQ(destination->distortion, 0.4);
    // The channels stay the destination's own.
    EXPECT_NE(destination->distortionChannel, source->distortionChannel);
}

TEST_F(CameraOnHost, DescribeIsTheSameTextForEveryInstance) {
    CameraInstance* a = create();
    CameraInstance* b = create();
    b->distortion = 1.0;
    EXPECT_STREQ(cameraDescribe(a), "Corvasin");
    EXPECT_EQ(cameraDescribe(a), cameraDescribe(b));
}

TEST_F(CameraOnHost, SamplingReadsEveryChannelAtTheGivenTime) {
    CameraInstance* instance = create();
    const double keys[][2] = {{2.0, 4.0}, {0.0, 0.5}, {-0.5, 0.5}, {0.0, 1.0}, {1.0, 0.0}};
    for (int p = 0; p < kParameterCount; ++p) {
        standin::Channel& channel = channelOf(instance->*kParameters[p].channel);
        channel.setKey(0.0, keys[p][0]);
        channel.setKey(2.0, keys[p][1]);
    }
    sampleParameters(*instance, 0.5);
    for (int p = 0; p < kParameterCount; ++p) {
        EXPECT_DOUBLE_EQ(instance->*kParameters[p].cached, keys[p][0] * 0.75 + keys[p][1] * 0.25)
            << kParameters[p].channelName;
    }
}

} // namespace
} // namespace vantorel::test
