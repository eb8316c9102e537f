#include <functional>

#include "loaded_module_fixture.h"

namespace vantorel::module_test {
namespace {

// A hint argument below zero, as the word the host reads.
std::uintptr_t negative(std::intptr_t value) {
    return static_cast<std::uintptr_t>(value);
}

class PanelTest : public LoadedModuleTest {
protected:
    void SetUp() override {
        LoadedModuleTest::SetUp();
        ASSERT_EQ(activateHandler(), ACTIVATE_OK);
        instance = createInstance(camera);
    }

    standin::Panel& panel() {
        if (!shown) {
            shown = &openPanel(instance);
        }
        return *shown;
    }

    std::string focalLengthLine() {
        const void* line = panel().get(instance, kFocalLengthLineField);
        return line ? static_cast<const char*>(line) : "(none)";
    }

    void preview() {
        ProjectionMatrix matrix{};
        const CameraAccess access = host.cameraAccess(camera);
        handler.preview(instance, 0.0, 0.0, &matrix, &access);
    }

    void* instance = nullptr;
    standin::Panel* shown = nullptr;
};

TEST_F(PanelTest, ControlAndDataTablesReadWordForWord) {
    EXPECT_EQ(panel().controls, (std::vector<standin::PanelControlEntry>{
                                    {0x8001, "Zoom Factor", "float-env"},
                                    {0x8002, "", "sInfo"},
                                    {0x8003, "Horizontal Shift", "percent-env"},
                                    {0x8004, "Vertical Shift", "percent-env"},
                                    {0x8005, "Distortion", "percent-env"},
                                    {0x8006, "Vignetting", "percent-env"},
                                }));
    EXPECT_EQ(panel().data, (std::vector<standin::PanelDataEntry>{
                                {0x8001, "", "float-env"},
                                {0x8002, "", "string"},
                                {0x8003, "", "percent-env"},
                                {0x8004, "", "percent-env"},
                                {0x8005, "", "percent-env"},
                                {0x8006, "", "percent-env"},
                            }));
    EXPECT_TRUE(host.log().faults().empty());
}

TEST_F(PanelTest, HintListReadsWordForWordWithTheNoOpCallbackInBothNotifications) {
    // The module's shutdown function is the same do-nothing callback.
    const auto callback = reinterpret_cast<std::uintptr_t>(module->descriptor().shutdown);
    const std::uintptr_t group = 0x3D01FE81;
    const std::uintptr_t lower = 0x3D014002;
    const std::uintptr_t upper = 0x3D014102;
    const std::vector<std::uintptr_t> expected = {group,
                                                  0x8007,
                                                  0x8001,
                                                  0x8002,
                                                  0,
                                                  group,
                                                  0x8009,
                                                  0x8005,
                                                  0x8006,
                                                  0,
                                                  group,
                                                  0x8008,
                                                  0x8003,
                                                  0x8004,
                                                  0,
                                                  0x3D000F01,
                                                  callback,
                                                  0x3D001302,
                                                  callback,
                                                  0,
                                                  lower,
                                                  0x8001,
                                                  0,
                                                  0x3D014202,
                                                  0x8001,
                                                  1,
                                                  lower,
                                                  0x8003,
                                                  negative(-1000),
                                                  upper,
                                                  0x8003,
                                                  1000,
                                                  lower,
                                                  0x8004,
                                                  negative(-1000),
                                                  upper,
                                                  0x8004,
                                                  1000,
                                                  lower,
                                                  0x8005,
                                                  negative(-100),
                                                  upper,
                                                  0x8005,
                                                  100,
                                                  lower,
                                                  0x8006,
                                                  0,
                                                  upper,
                                                  0x8006,
                                                  100,
                                                  0x3D001201,
                                                  negative(-1),
                                                  0};

    ASSERT_EQ(panel().hintLists.size(), 1u);
    const standin::HintList& hints = panel().hintLists[0];
    EXPECT_EQ(hints.id, 0u);
    EXPECT_TRUE(hints.complete);
    EXPECT_EQ(hints.words, expected);
}

TEST_F(PanelTest, TheNotificationCallbackDoesNothing) {
    const standin::HintList& hints = panel().hintLists.at(0);
    const CachedValues before = cachedValues(instance);
    host.log().clear();

    for (std::size_t at : {16u, 18u}) {
        const auto callback = reinterpret_cast<HostCallback>(hints.words.at(at));
        callback(instance);
        callback(nullptr);
    }

    EXPECT_TRUE(host.log().calls().empty());
    EXPECT_TRUE(host.log().faults().empty());
    EXPECT_TRUE(host.instanceUpdates().empty());
    EXPECT_EQ(cachedValues(instance), before);
}

TEST_F(PanelTest, EachFieldShowsItsChannelAndTheInfoLineItsText) {
    const std::vector<std::pair<std::uint32_t, std::string>> fields = {
        {kZoomField, "ZoomFactor"},       {kHorizontalShiftField, "HShift"},
        {kVerticalShiftField, "VShift"},  {kDistortionField, "Distortion"},
        {kVignettingField, "Vignetting"},
    };
    for (const auto& [id, name] : fields) {
        auto* handle = static_cast<ChannelHandle>(panel().get(instance, id));
        ASSERT_NE(host.channel(handle), nullptr) << std::hex << id;
        EXPECT_EQ(host.channel(handle), &channel(camera, name)) << std::hex << id;
    }
    EXPECT_EQ(focalLengthLine(), "Focal Length 0.0mm");
    for (std::uint32_t id : {0x0u, 0x8000u, 0x8007u, 0x8008u, 0x8009u, 0xFFFFFFFFu}) {
        EXPECT_EQ(panel().get(instance, id), nullptr) << std::hex << id;
    }
}

TEST_F(PanelTest, SettingAFieldStoresItsValueAndTellsTheHandler) {
    const std::vector<std::uint32_t> fields = {
        kZoomField, kHorizontalShiftField, kVerticalShiftField, kDistortionField, kVignettingField};
    const std::vector<std::string> channelsBefore = {animationText(channel(camera, "ZoomFactor")),
                                                     animationText(channel(camera, "HShift"))};
    CachedValues expected = cachedValues(instance);
    for (std::size_t p = 0; p < fields.size(); ++p) {
        const double value = 0.5 + static_cast<double>(p);
        EXPECT_EQ(panel().setNumber(fields[p], value), 1) << std::hex << fields[p];
        expected[p] = value;
        EXPECT_EQ(cachedValues(instance), expected) << std::hex << fields[p];
    }

    EXPECT_EQ(host.instanceUpdates(),
              std::vector<standin::InstanceUpdate>(5, {"CameraHandler", instance}));
    EXPECT_EQ(animationText(channel(camera, "ZoomFactor")), channelsBefore[0]);
    EXPECT_EQ(animationText(channel(camera, "HShift")), channelsBefore[1]);
}

TEST_F(PanelTest, SettingTheInfoLineOrAnUnknownFieldDoesNothing) {
    const CachedValues before = cachedValues(instance);
    panel();
    host.log().clear();

    for (std::uint32_t id : {kFocalLengthLineField, 0x0u, 0x8000u, 0x8007u, 0xFFFFFFFFu}) {
        EXPECT_EQ(panel().setNumber(id, 9.0), 0) << std::hex << id;
    }

    EXPECT_EQ(cachedValues(instance), before);
    EXPECT_TRUE(host.instanceUpdates().empty());
    EXPECT_TRUE(host.log().calls().empty());
}

TEST_F(PanelTest, WithoutInstanceUpdatesSettingStillStores) {
    host.setServiceAvailable("Instance Update", false);

    EXPECT_EQ(panel().setNumber(kDistortionField, -0.5), 1);

    EXPECT_EQ(cachedValues(instance)[3], -0.5);
    EXPECT_TRUE(host.instanceUpdates().empty());
}

TEST_F(PanelTest, FocalLengthLineUsesTheFilmOfTheLastPreviewOrFrame) {
    const std::vector<std::pair<const char*, std::function<void()>>> updates = {
        {"preview", [this] { preview(); }},
        {"frame", [this] { ASSERT_EQ(newFrame(instance, camera), nullptr); }},
    };
    for (const auto& [what, update] : updates) {
        camera = host.addCamera(what);
        host.item(camera).filmHeight = 0.02;
        instance = createInstance(camera);
        shown = nullptr;
        channel(camera, "ZoomFactor").setValue(4.0);
        EXPECT_EQ(focalLengthLine(), "Focal Length 0.0mm") << what;

        update();

        EXPECT_EQ(focalLengthLine(), "Focal Length 40.0mm") << what;
    }
}

TEST_F(PanelTest, FocalLengthLineReadsTheZoomChannelAtTheHostsCurrentTime) {
    host.item(camera).filmHeight = 0.02;
    channel(camera, "ZoomFactor").setKey(0.0, 4.0);
    channel(camera, "ZoomFactor").setKey(1.0, 2.0);
    preview();

    host.setTime(1.0, 24);

    EXPECT_EQ(focalLengthLine(), "Focal Length 20.0mm");
    EXPECT_EQ(cachedValues(instance)[0], 4.0);
}

} // namespace
} // namespace vantorel::module_test
