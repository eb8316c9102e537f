// A camera instance living on the stand-in host, with the host services attached as the
// handler's activation attaches them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "camera/camera_instance.h"
#include "host/services.h"
#include "stand_in_host/stand_in_host.h"

namespace vantorel::test {

inline void attachHostServices() {
    GlobalLookup lookup = standin::StandInHost::globalLookup();
    auto find = [lookup](const char* name) { return lookup(name, 0); };
    hostServices = HostServices{};
    hostServices.globalLookup = lookup;
    hostServices.channels = static_cast<const ChannelFuncs*>(find(CHANNEL_SERVICE_NAME));
    hostServices.items = static_cast<const ItemInfo*>(find(ITEM_INFO_SERVICE_NAME));
    hostServices.envelopes = find(ENVELOPE_SERVICE_NAME);
    hostServices.timeInfo = static_cast<const TimeInfo*>(find(TIME_INFO_SERVICE_NAME));
    hostServices.cameraInfo = static_cast<const CameraInfo*>(find(CAMERA_INFO_SERVICE_NAME));
}

class CameraOnHost : public ::testing::Test {
protected:
    void SetUp() override {
        cameraItem = host.addCamera("Camera");
        attachHostServices();
    }
    void TearDown() override {
        for (CameraInstance* instance : instances) {
            cameraDestroy(instance);
        }
        EXPECT_TRUE(host.log().faults().empty()) << host.log().faults().front();
        hostServices = HostServices{};
    }

    CameraInstance* create() {
        const char* error = nullptr;
        auto* instance = static_cast<CameraInstance*>(cameraCreate(nullptr, cameraItem, &error));
        EXPECT_EQ(error, nullptr);
        if (instance) {
            instances.push_back(instance);
        }
        return instance;
    }

    standin::SceneItem& camera() { return host.item(cameraItem); }

    standin::Channel& channelOf(ChannelHandle handle) {
        standin::Channel* channel = host.channel(handle);
        if (!channel) {
            throw std::runtime_error("not a channel of this host");
        }
        return *channel;
    }

    const char* newFrame(CameraInstance* instance, int motionSteps) {
        host.frameTiming().motionSteps = motionSteps;
        const FrameInfo frame = host.frameInfo(0);
        const CameraAccess access = host.cameraAccess(cameraItem);
        return cameraNewFrame(instance, &frame, &access);
    }

    standin::StandInHost host;
    ItemHandle cameraItem = nullptr;
    std::vector<CameraInstance*> instances;
};

} // namespace vantorel::test
