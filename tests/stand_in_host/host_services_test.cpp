#include <cmath>
#include <numbers>
#include <vector>

#include "host_test_support.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::standin {
namespace {

using testing::channelService;
using testing::lookUpService;
using testing::readChannel;

const std::vector<const char*> kServiceNames = {CHANNEL_SERVICE_NAME,        ITEM_INFO_SERVICE_NAME,
                                                CAMERA_INFO_SERVICE_NAME,    TIME_INFO_SERVICE_NAME,
                                                ENVELOPE_SERVICE_NAME,       PANEL_SERVICE_NAME,
                                                INSTANCE_UPDATE_SERVICE_NAME};

TEST(GlobalLookup, FindsEveryServiceUnlessItIsSwitchedOff) {
    StandInHost host;
    GlobalLookup lookup = StandInHost::globalLookup();
    for (const char* name : kServiceNames) {
        EXPECT_NE(lookup(name, 0), nullptr) << name;
        host.setServiceAvailable(name, false);
        EXPECT_EQ(lookup(name, 0), nullptr) << name;
        host.setServiceAvailable(name, true);
        EXPECT_NE(lookup(name, 0), nullptr) << name;
    }
    EXPECT_EQ(lookup("LW Camera Info 4", 0), nullptr);
    EXPECT_EQ(lookup(nullptr, 0), nullptr);
    EXPECT_EQ(host.log().faults().size(), 1u);
}

TEST(GlobalLookup, AnswersForTheNewestLiveHostAndFindsNothingWithoutOne) {
    GlobalLookup lookup = StandInHost::globalLookup();
    EXPECT_EQ(lookup(TIME_INFO_SERVICE_NAME, 0), nullptr);
    StandInHost outer;
    {
        StandInHost inner;
        EXPECT_EQ(StandInHost::current(), &inner);
        EXPECT_EQ(lookup(TIME_INFO_SERVICE_NAME, 0), &inner.timeInfo());
    }
    EXPECT_EQ(StandInHost::current(), &outer);
    EXPECT_EQ(lookup(TIME_INFO_SERVICE_NAME, 0), &outer.timeInfo());
}

TEST(TimeInfo, TheRecordFollowsTheHostsTime) {
    StandInHost host;
    const auto& time = lookUpService<TimeInfo>(TIME_INFO_SERVICE_NAME);
    host.setTime(1.25, 30);
    EXPECT_EQ(time.time, 1.25);
    EXPECT_EQ(time.frame, 30);
    host.frameTiming().framesPerSecond = 25.0;
    host.goToFrame(50);
    EXPECT_EQ(time.time, 2.0);
    EXPECT_EQ(time.frame, 50);
}

class ItemServices : public ::testing::Test {
protected:
    std::array<double, 3> param(ItemHandle item, int code, double time) {
        std::array<double, 3> out = {-7.0, -7.0, -7.0};
        items.param(item, code, time, out.data());
        return out;
    }

    StandInHost host;
    ItemHandle camera = host.addCamera("Camera");
    const ItemInfo& items = lookUpService<ItemInfo>(ITEM_INFO_SERVICE_NAME);
    const CameraInfo& cameras = lookUpService<CameraInfo>(CAMERA_INFO_SERVICE_NAME);
};

TEST_F(ItemServices, EachCodeGivesItsKeyedVectorAndUnknownCodesGiveZeros) {
    SceneItem& item = host.item(camera);
    item.position.setKey(0.0, {0.0, 0.0, 0.0});
    item.position.setKey(2.0, {4.0, -2.0, 8.0});
    item.right.setKey(0.0, {3.0, 0.0, 0.0});
    item.up.setKey(0.0, {0.0, 0.0, 0.0});
    item.forward.setKey(0.0, {0.0, 0.5, 0.5});

    struct Case {
        int code;
        std::array<double, 3> expected;
    };
    const std::vector<Case> cases = {
        {ITEM_WORLD_POSITION, {2.0, -1.0, 4.0}},
        {ITEM_RIGHT, {3.0, 0.0, 0.0}},
        {ITEM_UP, {0.0, 0.0, 0.0}},
        {ITEM_FORWARD, {0.0, 0.5, 0.5}},
        {0, {0.0, 0.0, 0.0}},
        {1, {0.0, 0.0, 0.0}},
        {5, {0.0, 0.0, 0.0}},
        {-8, {0.0, 0.0, 0.0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(param(camera, c.code, 1.0), c.expected) << "code " << c.code;
    }
}

TEST_F(ItemServices, AnUnknownItemIsAFaultAndReadsAsZero) {
    auto* stranger = reinterpret_cast<ItemHandle>(&host);
    EXPECT_EQ(param(stranger, ITEM_RIGHT, 0.0), (std::array<double, 3>{0.0, 0.0, 0.0}));
    EXPECT_EQ(cameras.zoomFactor(stranger, 0.0), 0.0);
    EXPECT_EQ(items.channelGroup(stranger), nullptr);
    EXPECT_EQ(host.log().faults().size(), 3u);
}

TEST_F(ItemServices, EachItemHasItsOwnLastingChannelGroup) {
    ItemHandle other = host.addCamera("Other");
    EXPECT_NE(items.channelGroup(camera), nullptr);
    EXPECT_EQ(items.channelGroup(camera), items.channelGroup(camera));
    EXPECT_NE(items.channelGroup(camera), items.channelGroup(other));
}

TEST_F(ItemServices, CameraValuesAreKeyedOverTime) {
    SceneItem& item = host.item(camera);
    item.zoomFactor.setKey(0.0, 2.0);
    item.zoomFactor.setKey(1.0, 4.0);
    item.focusDistance.setValue(2.5);
    item.fStop.setKey(3.0, 5.6);
    EXPECT_EQ(cameras.zoomFactor(camera, 0.25), 2.5);
    EXPECT_EQ(cameras.zoomFactor(camera, 9.0), 4.0);
    EXPECT_EQ(cameras.focusDistance(camera, 1.0), 2.5);
    EXPECT_EQ(cameras.fStop(camera, 0.0), 5.6);
}

TEST(Axes, HeadingPitchAndBankTurnTheUnitAxesAsTheHostDoes) {
    constexpr double kQuarter = std::numbers::pi / 2;
    struct Case {
        double heading, pitch, bank;
        Vec3 right, up, forward;
    };
    const std::vector<Case> cases = {
        {0, 0, 0, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {kQuarter, 0, 0, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
        {0, kQuarter, 0, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
        {0, 0, kQuarter, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        const Axes axes = axesFromHeadingPitchBank(c.heading, c.pitch, c.bank);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(axes.right[i], c.right[i], 1e-15);
            EXPECT_NEAR(axes.up[i], c.up[i], 1e-15);
            EXPECT_NEAR(axes.forward[i], c.forward[i], 1e-15);
        }
    }
}

TEST(Records, FrameAndCameraRecordsComeFromTheScene) {
    StandInHost host;
    ItemHandle camera = host.addCamera("Camera");
    SceneItem& item = host.item(camera);
    item.filmWidth = 0.03;
    item.filmHeight = 0.02;
    item.imageWidth = 320;
    item.imageHeight = 200;
    host.frameTiming() = FrameTiming{25.0, 0.5, 3};

    const CameraAccess access = host.cameraAccess(camera);
    EXPECT_EQ(access.cameraItem, camera);
    EXPECT_EQ(access.imageWidth, 320);
    EXPECT_EQ(access.imageHeight, 200);
    EXPECT_EQ(access.filmWidth, 0.03);
    EXPECT_EQ(access.filmHeight, 0.02);

    const FrameInfo frame = host.frameInfo(10);
    EXPECT_EQ(frame.frameNumber, 10);
    EXPECT_EQ(frame.frameTime, 0.4);
    EXPECT_EQ(frame.exposureStart, 0.4);
    EXPECT_EQ(frame.exposureDuration, 0.02);
    EXPECT_EQ(frame.framesPerSecond, 25.0);
    EXPECT_EQ(frame.motionSteps, 3);
}

TEST(CallRecord, KeepsTheModulesCallsInOrderWithTheirArguments) {
    StandInHost host;
    ItemHandle camera = host.addCamera("Camera");
    GlobalLookup lookup = StandInHost::globalLookup();
    const auto* channels = static_cast<const ChannelFuncs*>(lookup(CHANNEL_SERVICE_NAME, 0));
    const auto* items = static_cast<const ItemInfo*>(lookup(ITEM_INFO_SERVICE_NAME, 0));

    ChannelHandle channel = channels->create(CHANNEL_KIND_NUMBER, -1);
    channels->setup(channel, "ZoomFactor", items->channelGroup(camera), nullptr, nullptr, nullptr,
                    nullptr);
    const double start = 2.5;
    channels->setValue(channel, &start);
    readChannel(channel, 0.5);
    channels->destroy(channel);

    const std::vector<HostCall> expected = {
        {"global", "lookup", "LWVParmFuncs 2 mode=0"},
        {"global", "lookup", "LW Item Info 4 mode=0"},
        {"LWVParmFuncs 2", "create", "kind=16 flags=-1"},
        {"LW Item Info 4", "channelGroup", "Camera"},
        {"LWVParmFuncs 2", "setup", "#1 name=ZoomFactor group=Camera"},
        {"LWVParmFuncs 2", "setValue", "ZoomFactor#1 value=2.5"},
        {"global", "lookup", "LWVParmFuncs 2 mode=0"},
        {"LWVParmFuncs 2", "getValue", "ZoomFactor#1 t=0.5"},
        {"LWVParmFuncs 2", "destroy", "ZoomFactor#1"},
    };
    EXPECT_EQ(host.log().calls(), expected);
    EXPECT_TRUE(host.log().faults().empty());
}

TEST(Switches, ChannelCreationFailsAfterTheGivenNumberOfSuccesses) {
    StandInHost host;
    host.failChannelCreation(FailAfter{2});
    std::vector<bool> created;
    for (int i = 0; i < 4; ++i) {
        created.push_back(channelService().create(CHANNEL_KIND_PERCENT, -1) != nullptr);
    }
    EXPECT_EQ(created, (std::vector<bool>{true, true, false, false}));
    host.clearFailures();
    EXPECT_NE(channelService().create(CHANNEL_KIND_PERCENT, -1), nullptr);
}

TEST(Switches, ChannelSaveAndLoadReturnTheChosenErrorText) {
    StandInHost host;
    ChannelHandle first = channelService().create(CHANNEL_KIND_NUMBER, -1);
    ChannelHandle second = channelService().create(CHANNEL_KIND_NUMBER, -1);
    host.channel(first)->setKey(0.0, 1.0);

    StateStream stream;
    SaveState save = stream.saveState();
    host.failChannelSave("Disk full", FailAfter{1});
    EXPECT_EQ(channelService().save(first, &save), nullptr);
    const std::size_t written = stream.bytes().size();
    EXPECT_STREQ(channelService().save(second, &save), "Disk full");
    EXPECT_EQ(stream.bytes().size(), written);

    host.failChannelLoad("Bad envelope");
    StreamReader reader(stream);
    const LoadState load = reader.loadState();
    EXPECT_STREQ(channelService().load(second, &load), "Bad envelope");
    EXPECT_TRUE(host.channel(second)->track().keys().empty());

    host.clearFailures();
    EXPECT_EQ(channelService().load(second, &load), nullptr);
    EXPECT_EQ(host.channel(second)->track().keys().size(), 1u);
}

TEST(InstanceUpdate, RecordsEachNotification) {
    StandInHost host;
    auto notify = reinterpret_cast<InstanceUpdateFunc>(
        StandInHost::globalLookup()(INSTANCE_UPDATE_SERVICE_NAME, 0));
    int first = 0;
    int second = 0;
    notify("CameraHandler", &first);
    notify("CameraHandler", &second);
    EXPECT_EQ(host.instanceUpdates(),
              (std::vector<InstanceUpdate>{{"CameraHandler", &first}, {"CameraHandler", &second}}));
}

} // namespace
} // namespace vantorel::standin
