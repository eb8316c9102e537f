#include <gtest/gtest.h>

#include <string>

#include "camera_host_fixture.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::test {
namespace {

class PersistenceOnHost : public CameraOnHost, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        CameraOnHost::SetUp();
        saved = create();
        ASSERT_NE(saved, nullptr);
        channelOf(saved->zoomChannel).setKey(0.0, 2.0);
        channelOf(saved->zoomChannel).setKey(3.0, 5.5);
        channelOf(saved->vignettingChannel).setValue(0.25);
        const double cached[kParameterCount] = {3.3, 0.1, -0.2, 0.75, 0.5};
        for (int p = 0; p < kParameterCount; ++p) {
            saved->*kParameters[p].cached = cached[p];
        }
    }

    standin::StateStream save() {
        standin::StateStream stream(GetParam());
        const SaveState state = stream.saveState();
        EXPECT_EQ(cameraSave(saved, &state), nullptr);
        return stream;
    }

    const char* load(CameraInstance* instance, standin::StreamReader& reader) {
        const LoadState state = reader.loadState();
        return cameraLoad(instance, &state);
    }

    CameraInstance* saved = nullptr;
};

TEST_P(PersistenceOnHost, SaveThenLoadRestoresChannelsExactlyAndCachedValuesToSinglePrecision) {
    const standin::StateStream stream = save();
    EXPECT_EQ(stream.writeCounts().back(), 5);

    CameraInstance* loaded = create();
    standin::StreamReader reader(stream);
    ASSERT_EQ(load(loaded, reader), nullptr);
    EXPECT_TRUE(reader.atEnd());
    for (int p = 0; p < kParameterCount; ++p) {
        const standin::Channel& from = channelOf(saved->*kParameters[p].channel);
        const standin::Channel& to = channelOf(loaded->*kParameters[p].channel);
        for (double t : {-1.0, 0.0, 1.7, 3.0, 9.0}) {
            EXPECT_EQ(to.valueAt(t), from.valueAt(t)) << kParameters[p].channelName << " at " << t;
        }
        EXPECT_EQ(loaded->*kParameters[p].cached,
                  static_cast<double>(static_cast<float>(saved->*kParameters[p].cached)));
    }
    EXPECT_NE(loaded->horizontalShift, 0.1); // 0.1 has no exact single-precision value
}

TEST_P(PersistenceOnHost, ChannelSaveErrorEndsTheSaveAndIsPassedBack) {
    host.failChannelSave("disk full", standin::FailAfter{2});
    standin::StateStream stream(GetParam());
    const SaveState state = stream.saveState();
    EXPECT_STREQ(cameraSave(saved, &state), "disk full");
    for (int count : stream.writeCounts()) {
        EXPECT_NE(count, 5) << "cached values written after a failed channel";
    }
}

TEST_P(PersistenceOnHost, ChannelLoadErrorIsPassedBackAndLeavesTheRestAlone) {
    const standin::StateStream stream = save();
    CameraInstance* loaded = create();
    loaded->distortion = -0.4;
    host.failChannelLoad("bad channel", standin::FailAfter{1});
    standin::StreamReader reader(stream);
    EXPECT_STREQ(load(loaded, reader), "bad channel");
    EXPECT_EQ(loaded->distortion, -0.4);
    EXPECT_EQ(channelOf(loaded->vignettingChannel).valueAt(0.0), 0.0);
}

TEST_P(PersistenceOnHost, ShortOrFailingFloatReadKeepsTheValuesItDidNotDeliver) {
    const standin::StateStream stream = save();
    standin::StreamReader whole(stream);
    ASSERT_EQ(load(create(), whole), nullptr);
    const int channelFloats = whole.delivered() - kParameterCount;

    struct Case {
        const char* name;
        int delivered; // of the five cached values; 0 makes the reader fail instead
    };
    const Case cases[] = {{"three of five", 3}, {"reader fails", 0}};
    for (const Case& c : cases) {
        CameraInstance* loaded = create();
        loaded->distortion = -0.4;
        loaded->vignetting = 0.9;
        standin::StreamReader reader(stream);
        reader.failAfter(channelFloats + c.delivered);
        EXPECT_EQ(load(loaded, reader), nullptr) << c.name;
        EXPECT_EQ(loaded->distortion, -0.4) << c.name;
        EXPECT_EQ(loaded->vignetting, 0.9) << c.name;
        EXPECT_EQ(loaded->verticalShift, c.delivered == 3 ? static_cast<double>(-0.2f) : 0.0)
            << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, PersistenceOnHost,
                         ::testing::Values(STATE_ENCODING_BINARY, STATE_ENCODING_TEXT));

} // namespace
} // namespace vantorel::test
