// The built module file, loaded through the stand-in host and driven only through the tables it
// fills, as a host drives it.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "camera/camera_instance.h"
#include "stand_in_host/module_loader.h"
#include "stand_in_host/stand_in_host.h"

namespace vantorel::module_test {

inline constexpr const char* kServerName = "Vantorel0.1.5";

inline constexpr std::uint32_t kZoomField = 0x8001;
inline constexpr std::uint32_t kFocalLengthLineField = 0x8002;
inline constexpr std::uint32_t kHorizontalShiftField = 0x8003;
inline constexpr std::uint32_t kVerticalShiftField = 0x8004;
inline constexpr std::uint32_t kDistortionField = 0x8005;
inline constexpr std::uint32_t kVignettingField = 0x8006;

// The channel names in the order the camera keeps its parameters.
constexpr const char* kChannelNames[] = {"ZoomFactor", "HShift", "VShift", "Distortion",
                                         "Vignetting"};

// The five cached parameter values in their fixed order.
using CachedValues = std::vector<double>;

// The services the module looked up, in order, each as "name mode=useMode".
inline std::vector<std::string> lookups(const standin::CallLog& log) {
    std::vector<std::string> names;
    for (const standin::HostCall& call : log.calls()) {
        if (call.service == "global" && call.operation == "lookup") {
            names.push_back(call.arguments);
        }
    }
    return names;
}

// The text with each channel serial ("#" and its digits) taken out.
inline std::string withoutSerials(const std::string& text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '#') {
            kept += text[i];
            continue;
        }
        while (i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
            ++i;
        }
    }
    return kept;
}

// Each call the module made as "service operation arguments", channel serials left out so that
// channels read by their names.
inline std::vector<std::string> callsAsText(const standin::CallLog& log) {
    std::vector<std::string> lines;
    for (const standin::HostCall& call : log.calls()) {
        std::string arguments = withoutSerials(call.arguments);
        arguments.erase(0, arguments.find_first_not_of(' '));
        lines.push_back(call.service + " " + call.operation +
                        (arguments.empty() ? "" : " " + arguments));
    }
    return lines;
}

// Every digit a double needs to read back exactly.
inline std::string exactText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// A channel's animation as text, exact to the bit: its value without keys, then each key as
// time:value.
inline std::string animationText(const standin::Channel& channel) {
    std::string text = exactText(channel.track().staticValue());
    for (const auto& key : channel.track().keys()) {
        text += " " + exactText(key.time) + ":" + exactText(key.value);
    }
    return text;
}

class LoadedModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto opened = standin::LoadedModule::open(VANTOREL_MODULE_FILE);
        ASSERT_TRUE(opened.ok()) << opened.failure().detail;
        module.emplace(std::move(opened.value()));
    }

    void TearDown() override {
        for (void* instance : liveInstances) {
            instanceFuncs.destroy(instance);
        }
        liveInstances.clear();
        module.reset();
    }

    const ServerRecord& server(const char* className) const {
        return *module->findServer(className, kServerName).value();
    }

    int activateHandler(int version = CAMERA_HANDLER_VERSION) {
        return standin::LoadedModule::activate(server(CAMERA_HANDLER_CLASS), version, &handler);
    }

    int activateInterface(CameraInterfaceRecord& record, int version = CAMERA_INTERFACE_VERSION) {
        return standin::LoadedModule::activate(server(CAMERA_INTERFACE_CLASS), version, &record);
    }

    // A camera instance for a camera item, made through the activated handler.
    void* createInstance(ItemHandle item) {
        const char* error = nullptr;
        void* instance = instanceFuncs.create(instanceFuncs.privateData, item, &error);
        EXPECT_NE(instance, nullptr) << (error ? error : "");
        if (instance) {
            liveInstances.push_back(instance);
        }
        return instance;
    }

    void destroyInstance(void* instance) {
        std::erase(liveInstances, instance);
        instanceFuncs.destroy(instance);
    }

    // The panel of an instance, built by activating the interface server for it.
    standin::Panel& openPanel(void* instance) {
        CameraInterfaceRecord record{instance, nullptr, nullptr, nullptr};
        EXPECT_EQ(activateInterface(record), ACTIVATE_OK);
        standin::Panel* panel = host.panel(record.panel);
        if (!panel) {
            throw std::runtime_error("the module built no panel");
        }
        return *panel;
    }

    // A channel the camera made in the item's channel group.
    standin::Channel& channel(ItemHandle item, const std::string& name) {
        standin::Channel* channel = host.findChannel(host.channelGroupOf(item), name);
        if (!channel) {
            throw std::runtime_error("no channel " + name);
        }
        return *channel;
    }

    // The camera computes with its cached values but hands them to the host only rounded to
    // single precision (in saved scenes) or resampled from the channels (in frames and previews),
    // so the tests read them from the instance record the module allocated.
    static CachedValues cachedValues(void* instance) {
        const auto& record = *static_cast<const CameraInstance*>(instance);
        return {record.zoomFactor, record.horizontalShift, record.verticalShift, record.distortion,
                record.vignetting};
    }

    const char* newFrame(void* instance, ItemHandle item, int frame = 0) {
        const FrameInfo info = host.frameInfo(frame);
        const CameraAccess access = host.cameraAccess(item);
        return handler.newFrame(instance, &info, &access);
    }

    standin::StandInHost host;
    std::optional<standin::LoadedModule> module;
    ItemHandle camera = host.addCamera("Camera");
    InstanceFuncs instanceFuncs{};
    CameraHandlerRecord handler{&instanceFuncs, nullptr, nullptr, nullptr,
                                nullptr,        nullptr, nullptr};
    std::vector<void*> liveInstances;
};

} // namespace vantorel::module_test
