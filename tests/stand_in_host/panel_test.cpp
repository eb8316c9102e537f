#include <cstdio>
#include <string>
#include <vector>

#include "host_test_support.h"

namespace vantorel::standin {
namespace {

using testing::channelService;
using testing::lookUpService;

// A module's side of a panel: two animated values, an information line and a plain number.
struct Settings {
    ChannelHandle zoom = nullptr;
    ChannelHandle shift = nullptr;
    char line[32] = "Ready";
    double lastSet = 0.0;
    std::uint32_t lastSetId = 0;
};

void* getSetting(void* inst, std::uint32_t id) {
    auto* settings = static_cast<Settings*>(inst);
    switch (id) {
    case 1:
        return settings->zoom;
    case 2:
        return settings->line;
    case 3:
        return settings->shift;
    default:
        return nullptr;
    }
}

int setSetting(void* inst, std::uint32_t id, void* value) {
    auto* settings = static_cast<Settings*>(inst);
    settings->lastSetId = id;
    settings->lastSet = *static_cast<double*>(value);
    return id == 1 || id == 3;
}

class PanelTest : public ::testing::Test {
protected:
    PanelTest() {
        settings.zoom = channelService().create(CHANNEL_KIND_NUMBER, -1);
        settings.shift = channelService().create(CHANNEL_KIND_PERCENT, -1);
        host.channel(settings.zoom)->setKey(0.0, 2.0);
        host.channel(settings.zoom)->setKey(1.0, 4.0);
        host.channel(settings.shift)->setValue(0.125);
    }

    PanelHandle makePanel() {
        std::vector<PanelControl> controls = {{1, "Zoom Factor", "float-env"},
                                              {2, "", "sInfo"},
                                              {3, "Horizontal Shift", "percent-env"},
                                              {4, "Spare", "float-env"},
                                              {0, nullptr, nullptr}};
        const PanelData data[] = {{1, "", "float-env"}, {2, "", "string"}, {0, nullptr, nullptr}};
        PanelHandle panel = panels.create(1, controls.data());
        // The host keeps its own copy of the tables.
        controls[0].label = "Changed";
        panels.describe(panel, data, &getSetting, &setSetting);
        panels.viewInstance(panel, &settings);
        return panel;
    }

    StandInHost host;
    const PanelFuncs& panels = lookUpService<PanelFuncs>(PANEL_SERVICE_NAME);
    Settings settings;
};

TEST_F(PanelTest, RecordsItsTablesAndCallbacks) {
    Panel& panel = *host.panel(makePanel());
    EXPECT_EQ(panel.type, 1);
    EXPECT_EQ(panel.controls,
              (std::vector<PanelControlEntry>{{1, "Zoom Factor", "float-env"},
                                              {2, "", "sInfo"},
                                              {3, "Horizontal Shift", "percent-env"},
                                              {4, "Spare", "float-env"}}));
    EXPECT_EQ(panel.data, (std::vector<PanelDataEntry>{{1, "", "float-env"}, {2, "", "string"}}));
    EXPECT_EQ(panel.get, &getSetting);
    EXPECT_EQ(panel.set, &setSetting);
    EXPECT_EQ(panel.viewedInstance, &settings);
}

TEST_F(PanelTest, ShowsEachLabelWithItsValueAtTheCurrentTime) {
    PanelHandle panel = makePanel();
    host.setTime(0.5, 12);
    EXPECT_EQ(host.panelText(panel), "Zoom Factor: 3\n"
                                     "Ready\n"
                                     "Horizontal Shift: 12.5 %\n"
                                     "Spare: (none)\n");
    std::snprintf(settings.line, sizeof settings.line, "Focal Length 40.0mm");
    host.setTime(2.0, 48);
    EXPECT_EQ(host.panelText(panel), "Zoom Factor: 4\n"
                                     "Focal Length 40.0mm\n"
                                     "Horizontal Shift: 12.5 %\n"
                                     "Spare: (none)\n");
}

TEST_F(PanelTest, SettingANumberCallsTheModuleWithTheViewedInstance) {
    Panel& panel = *host.panel(makePanel());
    EXPECT_EQ(panel.setNumber(3, 0.25), 1);
    EXPECT_EQ(settings.lastSetId, 3u);
    EXPECT_EQ(settings.lastSet, 0.25);
    EXPECT_EQ(panel.setNumber(2, 1.0), 0);
}

TEST_F(PanelTest, WithoutAViewedInstanceTheCallbacksGetTheDataSetUnderIdZero) {
    PanelHandle handle = makePanel();
    panels.viewInstance(handle, nullptr);
    panels.setData(handle, 0, &settings);
    EXPECT_EQ(host.panel(handle)->value(2), settings.line);
}

TEST_F(PanelTest, CreationFailsOnRequestAndForAnUnendedTable) {
    host.failPanelCreation();
    const PanelControl controls[] = {{0, nullptr, nullptr}};
    EXPECT_EQ(panels.create(1, controls), nullptr);
    host.clearFailures();
    EXPECT_NE(panels.create(1, controls), nullptr);

    const std::vector<PanelControl> endless(kMaxTableEntries + 1, PanelControl{7, "x", "float"});
    EXPECT_EQ(panels.create(1, endless.data()), nullptr);
    EXPECT_EQ(host.log().faults().size(), 1u);
}

struct HintCase {
    const char* what;
    std::vector<std::uintptr_t> words;
    std::vector<PanelHint> hints;
    std::optional<std::uintptr_t> unknownTag;
    bool complete;
    std::size_t wordsRead;
};

TEST(PanelHints, AreReadHintByHintUntilTheClosingZeroOrAnUnknownTag) {
    using namespace hint_tag;
    const std::uintptr_t callback = 0xC0FFEE;
    const std::vector<HintCase> cases = {
        {"empty list", {0}, {}, std::nullopt, true, 1},
        {"group and limits",
         {kGroup, 0x8007, 0x8001, 0x8002, 0, kLowerLimit, 0x8001, 0, kUpperLimit, 0x8003, 1000, 0},
         {{kGroup, {0x8007, 0x8001, 0x8002}},
          {kLowerLimit, {0x8001, 0}},
          {kUpperLimit, {0x8003, 1000}}},
         std::nullopt,
         true,
         12},
        {"every tag",
         {kNotify, callback, kControlNotify, callback, 0, kNumeric, 0x8001, 1, kSingleValue,
          static_cast<std::uintptr_t>(-1), kGroup, 0x8009, 0, 0},
         {{kNotify, {callback}},
          {kControlNotify, {callback, 0}},
          {kNumeric, {0x8001, 1}},
          {kSingleValue, {static_cast<std::uintptr_t>(-1)}},
          {kGroup, {0x8009}}},
         std::nullopt,
         true,
         14},
        {"unknown tag stops reading",
         {kSingleValue, 5, 0x3D999999, 1, 2, 0},
         {{kSingleValue, {5}}},
         0x3D999999,
         false,
         3},
    };
    for (const HintCase& c : cases) {
        const HintList list = readHints(9, c.words.data());
        EXPECT_EQ(list.id, 9u) << c.what;
        EXPECT_EQ(list.hints, c.hints) << c.what;
        EXPECT_EQ(list.unknownTag, c.unknownTag) << c.what;
        EXPECT_EQ(list.complete, c.complete) << c.what;
        EXPECT_EQ(list.words.size(), c.wordsRead) << c.what;
    }
}

TEST(PanelHints, AListWithoutItsZeroIsReadNoFurtherThanTheLimit) {
    const std::vector<std::uintptr_t> words(kMaxHintWords + 10, hint_tag::kSingleValue);
    const HintList list = readHints(0, words.data());
    EXPECT_FALSE(list.complete);
    EXPECT_EQ(list.words.size(), kMaxHintWords);
}

TEST_F(PanelTest, HintCallsAreKeptPerCallAndAnUnendedListIsAFault) {
    PanelHandle panel = makePanel();
    const std::uintptr_t good[] = {hint_tag::kLowerLimit, 1, 0, 0};
    panels.hint(panel, 0, good);
    panels.hint(panel, 5, nullptr);
    const auto& lists = host.panel(panel)->hintLists;
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_TRUE(lists[0].complete);
    EXPECT_EQ(lists[1].id, 5u);
    EXPECT_EQ(host.log().faults().size(), 1u);
}

} // namespace
} // namespace vantorel::standin
