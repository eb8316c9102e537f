#include <cmath>
#include <limits>
#include <vector>

#include "host_test_support.h"

namespace vantorel::standin {
namespace {

using testing::channelService;
using testing::readChannel;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ChannelTest : public ::testing::Test {
protected:
    ChannelHandle makeChannel(double value) {
        ChannelHandle handle = channelService().create(CHANNEL_KIND_NUMBER, -1);
        channelService().setValue(handle, &value);
        return handle;
    }

    StandInHost host;
};

struct ReadCase {
    double time;
    double expected;
};

TEST_F(ChannelTest, ValueMovesLinearlyBetweenKeysAndHoldsOutsideThem) {
    ChannelHandle handle = makeChannel(9.0);
    Channel& channel = *host.channel(handle);
    channel.setKey(4.0, 1.0);
    channel.setKey(0.0, 1.0);
    channel.setKey(2.0, 5.0);

    const std::vector<ReadCase> cases = {
        {-100.0, 1.0}, {0.0, 1.0}, {0.5, 2.0}, {1.0, 3.0},   {2.0, 5.0},
        {3.0, 3.0},    {4.0, 1.0}, {4.5, 1.0}, {1e300, 1.0}, {kNaN, 1.0},
    };
    for (const ReadCase& c : cases) {
        EXPECT_DOUBLE_EQ(readChannel(handle, c.time), c.expected) << "at t=" << c.time;
    }
}

TEST_F(ChannelTest, WithoutKeysTheChannelHoldsTheValueLastSet) {
    ChannelHandle handle = makeChannel(2.5);
    for (double t : {-1.0, 0.0, 7.0}) {
        EXPECT_EQ(readChannel(handle, t), 2.5);
    }
    const double changed = -0.25;
    channelService().setValue(handle, &changed);
    EXPECT_EQ(readChannel(handle, 3.0), -0.25);
}

TEST_F(ChannelTest, KeysTakePrecedenceOverTheValueSet) {
    ChannelHandle handle = makeChannel(2.5);
    host.channel(handle)->setKey(1.0, 7.0);
    EXPECT_EQ(readChannel(handle, 0.0), 7.0);
    EXPECT_EQ(readChannel(handle, 5.0), 7.0);
}

TEST_F(ChannelTest, AKeyAtTheSameTimeReplacesTheOldOne) {
    ChannelHandle handle = makeChannel(0.0);
    Channel& channel = *host.channel(handle);
    channel.setKey(1.0, 2.0);
    channel.setKey(1.0, 3.0);
    channel.setKey(kNaN, 100.0);
    EXPECT_EQ(channel.track().keys().size(), 1u);
    EXPECT_EQ(readChannel(handle, 1.0), 3.0);
}

TEST_F(ChannelTest, ReadingFillsTheFirstComponentAndZeroesTheOthers) {
    ChannelHandle handle = makeChannel(4.0);
    double value[3] = {-1.0, -1.0, -1.0};
    EXPECT_EQ(channelService().getValue(handle, 0.0, nullptr, value), 1);
    EXPECT_EQ(value[0], 4.0);
    EXPECT_EQ(value[1], 0.0);
    EXPECT_EQ(value[2], 0.0);
}

TEST_F(ChannelTest, CopyTakesKeysAndValueButKeepsNameAndGroup) {
    ItemHandle camera = host.addCamera("Camera");
    ChannelHandle source = makeChannel(1.0);
    host.channel(source)->setKey(0.0, 10.0);
    host.channel(source)->setKey(1.0, 20.0);
    ChannelHandle destination = makeChannel(2.0);
    channelService().setup(destination, "HShift", host.channelGroupOf(camera), nullptr, nullptr,
                           nullptr, nullptr);

    EXPECT_EQ(channelService().copy(destination, source), nullptr);

    EXPECT_EQ(readChannel(destination, 0.5), 15.0);
    EXPECT_EQ(host.channel(destination)->track().staticValue(), 1.0);
    EXPECT_EQ(host.channel(destination)->name(), "HShift");
    EXPECT_EQ(host.findChannel(host.channelGroupOf(camera), "HShift"), host.channel(destination));
}

TEST_F(ChannelTest, ChannelsAreFoundByNameWithinTheirItemsGroup) {
    ItemHandle first = host.addCamera("First");
    ItemHandle second = host.addCamera("Second");
    ASSERT_NE(host.channelGroupOf(first), host.channelGroupOf(second));
    ChannelHandle a = makeChannel(1.0);
    ChannelHandle b = makeChannel(2.0);
    channelService().setup(a, "ZoomFactor", host.channelGroupOf(first), nullptr, nullptr, nullptr,
                           nullptr);
    channelService().setup(b, "ZoomFactor", host.channelGroupOf(second), nullptr, nullptr, nullptr,
                           nullptr);

    EXPECT_EQ(host.findChannel(host.channelGroupOf(first), "ZoomFactor"), host.channel(a));
    EXPECT_EQ(host.findChannel(host.channelGroupOf(second), "ZoomFactor"), host.channel(b));
    EXPECT_EQ(host.findChannel(host.channelGroupOf(first), "HShift"), nullptr);
}

TEST_F(ChannelTest, MisusedHandlesAreFaultsNotCrashes) {
    ChannelHandle handle = makeChannel(1.0);
    channelService().destroy(handle);
    EXPECT_EQ(host.channelCount(), 0u);

    double value[3] = {5.0, 5.0, 5.0};
    EXPECT_EQ(channelService().getValue(handle, 0.0, nullptr, value), 0);
    EXPECT_EQ(value[0], 5.0);
    channelService().destroy(handle);
    EXPECT_NE(channelService().copy(handle, handle), nullptr);
    EXPECT_EQ(host.log().faults().size(), 4u);
}

} // namespace
} // namespace vantorel::standin
