#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "host_test_support.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::standin {
namespace {

using testing::channelService;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();
constexpr float kInff = std::numeric_limits<float>::infinity();

// What a channel holds, rounded as a stored channel holds it.
struct Animation {
    double value;
    std::vector<Key<double>> keys;
};

double stored(double value) {
    return static_cast<double>(static_cast<float>(value));
}

void expectHolds(const Channel& channel, const Animation& expected) {
    EXPECT_EQ(channel.track().staticValue(), stored(expected.value));
    ASSERT_EQ(channel.track().keys().size(), expected.keys.size());
    for (std::size_t i = 0; i < expected.keys.size(); ++i) {
        EXPECT_EQ(channel.track().keys()[i].time, stored(expected.keys[i].time)) << i;
        EXPECT_EQ(channel.track().keys()[i].value, stored(expected.keys[i].value)) << i;
    }
}

class ChannelStateTest : public ::testing::Test {
protected:
    ChannelHandle makeChannel(const Animation& animation) {
        ChannelHandle handle = channelService().create(CHANNEL_KIND_PERCENT, -1);
        channelService().setValue(handle, &animation.value);
        for (const Key<double>& key : animation.keys) {
            host.channel(handle)->setKey(key.time, key.value);
        }
        return handle;
    }

    // A channel with a recognisable state, to show a failed load leaves it alone.
    ChannelHandle makeWitness() { return makeChannel({7.0, {{1.0, 8.0}, {2.0, 9.0}}}); }

    const char* load(ChannelHandle handle, const StateStream& stream) {
        StreamReader reader(stream);
        const LoadState state = reader.loadState();
        return channelService().load(handle, &state);
    }

    StandInHost host;
};

const std::vector<Animation> kAnimations = {
    {0.0, {}},
    {2.6217, {}},
    {-1.0, {{0.5, 0.25}}},
    {0.0, {{-1.0, 3.0}, {0.0, 0.1}, {0.04166, -kInf}, {10.0, 1e30}}},
};

struct RoundTripCase {
    int encoding;
    int valuesPerRead; // 0: as many as asked
};

class ChannelRoundTrip : public ChannelStateTest,
                         public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(ChannelRoundTrip, KeysAndValueComeBackAndTheStreamGoesOnAfterThem) {
    const RoundTripCase c = GetParam();
    for (const Animation& animation : kAnimations) {
        StateStream stream(c.encoding);
        SaveState save = stream.saveState();
        ASSERT_EQ(channelService().save(makeChannel(animation), &save), nullptr);
        const float trailer[2] = {42.0f, -3.5f};
        save.writeFloats(save.writerData, trailer, 2);

        ChannelHandle restored = makeWitness();
        StreamReader reader(stream);
        if (c.valuesPerRead > 0) {
            reader.deliverAtMost(c.valuesPerRead);
        }
        const LoadState state = reader.loadState();
        ASSERT_EQ(channelService().load(restored, &state), nullptr);
        expectHolds(*host.channel(restored), animation);

        float next[2] = {};
        ASSERT_EQ(reader.read(next, 1), 1);
        ASSERT_EQ(reader.read(next + 1, 1), 1);
        EXPECT_EQ(next[0], 42.0f);
        EXPECT_EQ(next[1], -3.5f);
    }
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, ChannelRoundTrip,
                         ::testing::Values(RoundTripCase{STATE_ENCODING_BINARY, 0},
                                           RoundTripCase{STATE_ENCODING_BINARY, 1},
                                           RoundTripCase{STATE_ENCODING_BINARY, 3},
                                           RoundTripCase{STATE_ENCODING_TEXT, 0},
                                           RoundTripCase{STATE_ENCODING_TEXT, 2},
                                           RoundTripCase{STATE_ENCODING_TEXT, 7}));

TEST_F(ChannelStateTest, EveryTruncationOfAStoredChannelFailsAndChangesNothing) {
    const Animation animation{1.5, {{0.0, 1.0}, {1.0, 2.0}, {2.0, 3.0}}};
    for (int encoding : {STATE_ENCODING_BINARY, STATE_ENCODING_TEXT}) {
        StateStream full(encoding);
        SaveState save = full.saveState();
        channelService().save(makeChannel(animation), &save);
        for (std::size_t length = 0; length < full.bytes().size(); ++length) {
            // Cutting a decimal short may leave another valid number, so text is cut only
            // between values, and always before the last one.
            const std::string& bytes = full.bytes();
            const bool betweenValues = length == 0 || bytes[length] == ' ' || bytes[length] == '\n';
            const bool valueLost = bytes.find_first_not_of(" \n", length) != std::string::npos;
            if (encoding == STATE_ENCODING_TEXT && !(betweenValues && valueLost)) {
                continue;
            }
            StateStream cut = full;
            cut.truncate(length);
            ChannelHandle witness = makeWitness();
            EXPECT_NE(load(witness, cut), nullptr)
                << "encoding " << encoding << " length " << length;
            expectHolds(*host.channel(witness), {7.0, {{1.0, 8.0}, {2.0, 9.0}}});
        }
    }
}

struct DamageCase {
    const char* what;
    std::vector<float> floats;
    const char* error;
};

TEST_F(ChannelStateTest, DamagedChannelDataIsRefusedWithoutChangingTheChannel) {
    const float marker = 17224.0f;
    const std::vector<DamageCase> cases = {
        {"wrong marker", {17225.0f, 0.0f, 1.0f}, kChannelStateDamaged},
        {"negative key count", {marker, -1.0f, 1.0f}, kChannelStateDamaged},
        {"fractional key count", {marker, 1.5f, 1.0f, 0.0f, 0.0f}, kChannelStateDamaged},
        {"key count not a number", {marker, kNaNf, 1.0f}, kChannelStateDamaged},
        {"key count beyond any channel", {marker, 1e9f, 1.0f}, kChannelStateDamaged},
        {"keys out of order", {marker, 2.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.0f}, kChannelStateDamaged},
        {"key time not a number", {marker, 1.0f, 1.0f, kNaNf, 0.0f}, kChannelStateDamaged},
        {"key time infinite", {marker, 1.0f, 1.0f, kInff, 0.0f}, kChannelStateDamaged},
        {"many keys promised, few given",
         {marker, 65536.0f, 1.0f, 0.0f, 0.0f},
         kChannelStateTruncated},
    };
    for (const DamageCase& c : cases) {
        for (int encoding : {STATE_ENCODING_BINARY, STATE_ENCODING_TEXT}) {
            StateStream stream(encoding);
            stream.write(c.floats);
            ChannelHandle witness = makeWitness();
            EXPECT_STREQ(load(witness, stream), c.error) << c.what << ", encoding " << encoding;
            expectHolds(*host.channel(witness), {7.0, {{1.0, 8.0}, {2.0, 9.0}}});
        }
    }
}

TEST_F(ChannelStateTest, KeysThatMeetInSinglePrecisionLoadAsOneKey) {
    ChannelHandle original = makeChannel({0.0, {{1.0, 2.0}, {1.0 + 1e-12, 3.0}}});
    StateStream stream;
    SaveState save = stream.saveState();
    channelService().save(original, &save);
    ChannelHandle restored = makeWitness();
    ASSERT_EQ(load(restored, stream), nullptr);
    expectHolds(*host.channel(restored), {0.0, {{1.0, 3.0}}});
}

TEST_F(ChannelStateTest, AReaderThatFailsMakesTheLoadFail) {
    StateStream stream;
    SaveState save = stream.saveState();
    channelService().save(makeChannel({1.0, {{0.0, 1.0}}}), &save);
    StreamReader reader(stream);
    reader.failAfter(4);
    const LoadState state = reader.loadState();
    EXPECT_STREQ(channelService().load(makeWitness(), &state), kChannelStateUnreadable);
}

TEST_F(ChannelStateTest, RandomBytesNeverBreakTheHost) {
    StateStream markerOnly;
    markerOnly.write(std::vector<float>{17224.0f});
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 64);
    for (int round = 0; round < 2000; ++round) {
        // Mostly behind a valid marker, so that the random part reaches the key reading.
        std::string bytes = round % 4 != 0 ? markerOnly.bytes() : std::string();
        for (int n = length(random); n > 0; --n) {
            bytes.push_back(static_cast<char>(byte(random)));
        }
        StateStream stream;
        stream.setBytes(bytes);
        ChannelHandle channel = makeWitness();
        if (load(channel, stream) == nullptr) {
            const auto& keys = host.channel(channel)->track().keys();
            for (std::size_t i = 1; i < keys.size(); ++i) {
                EXPECT_LT(keys[i - 1].time, keys[i].time);
            }
        }
        channelService().destroy(channel);
    }
    EXPECT_TRUE(host.log().faults().empty());
}

} // namespace
} // namespace vantorel::standin
