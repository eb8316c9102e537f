#include <algorithm>

#include "loaded_module_fixture.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::module_test {
namespace {

// Two cameras: the saved one, animated and with cached values set in its panel, and a fresh one
// to load into.
class PersistenceTest : public LoadedModuleTest {
protected:
    void SetUp() override {
        LoadedModuleTest::SetUp();
        ASSERT_EQ(activateHandler(), ACTIVATE_OK);
        saved = createInstance(camera);
        loaded = createInstance(otherCamera);
        // Keys the host can store exactly, so that channels must come back bit for bit.
        channel(camera, "ZoomFactor").setValue(2.0);
        channel(camera, "ZoomFactor").setKey(0.0, 2.5);
        channel(camera, "ZoomFactor").setKey(1.0, 5.0);
        channel(camera, "HShift").setValue(0.125);
        channel(camera, "VShift").setKey(0.5, -0.375);
        channel(camera, "Distortion").setValue(-0.75);
        channel(camera, "Vignetting").setKey(2.0, 0.5);
        standin::Panel& panel = openPanel(saved);
        panel.setNumber(kZoomField, 3.3);
        panel.setNumber(kHorizontalShiftField, 0.1);
        panel.setNumber(kVerticalShiftField, -0.2);
        panel.setNumber(kDistortionField, 0.45);
        panel.setNumber(kVignettingField, 1.0 / 3.0);
        host.log().clear();
    }

    const char* save(void* instance, standin::StateStream& stream) {
        const SaveState state = stream.saveState();
        return instanceFuncs.save(instance, &state);
    }

    const char* load(void* instance, standin::StreamReader& reader) {
        const LoadState state = reader.loadState();
        return instanceFuncs.load(instance, &state);
    }

    std::vector<std::string> animations(ItemHandle item) {
        std::vector<std::string> texts;
        for (const std::string name : kChannelNames) {
            texts.push_back(animationText(channel(item, name)));
        }
        return texts;
    }

    ItemHandle otherCamera = host.addCamera("Other");
    void* saved = nullptr;
    void* loaded = nullptr;
};

class RoundTripTest : public PersistenceTest, public ::testing::WithParamInterface<int> {};

TEST_P(RoundTripTest, LoadsBackTheChannelsExactlyAndTheValuesInSinglePrecision) {
    standin::StateStream stream(GetParam());
    ASSERT_EQ(save(saved, stream), nullptr);
    standin::StreamReader reader(stream);

    EXPECT_EQ(load(loaded, reader), nullptr);

    EXPECT_EQ(animations(otherCamera), animations(camera));
    CachedValues single;
    for (double value : cachedValues(saved)) {
        single.push_back(static_cast<float>(value));
    }
    EXPECT_EQ(cachedValues(loaded), single);
    EXPECT_EQ(cachedValues(loaded)[1], static_cast<double>(0.1f));
    EXPECT_NE(cachedValues(loaded)[1], 0.1);
    EXPECT_TRUE(reader.atEnd());
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, RoundTripTest,
                         ::testing::Values(STATE_ENCODING_BINARY, STATE_ENCODING_TEXT),
                         [](const auto& info) {
                             return info.param == STATE_ENCODING_BINARY ? "Binary" : "Text";
                         });

TEST_F(PersistenceTest, WritesAndReadsTheChannelsInOrderThenTheFiveValuesInOneCall) {
    // The fresh camera's channels hold no keys: each stores as one write of three floats.
    standin::StateStream stream;
    ASSERT_EQ(save(loaded, stream), nullptr);
    standin::StreamReader reader(stream);
    ASSERT_EQ(load(saved, reader), nullptr);

    std::vector<std::string> expected;
    for (const char* operation : {"save", "load"}) {
        for (const std::string name : kChannelNames) {
            expected.push_back("LWVParmFuncs 2 " + std::string(operation) + " " + name);
        }
    }
    EXPECT_EQ(callsAsText(host.log()), expected);
    EXPECT_EQ(stream.writeCounts(), (std::vector<int>{3, 3, 3, 3, 3, 5}));
    EXPECT_EQ(reader.requestedCounts(), (std::vector<int>{3, 3, 3, 3, 3, 5}));
}

TEST_F(PersistenceTest, AChannelThatCannotBeSavedEndsTheSaveWithItsError) {
    for (int failing = 0; failing < 5; ++failing) {
        host.log().clear();
        host.failChannelSave("Disk full", standin::FailAfter{failing});
        standin::StateStream stream;

        EXPECT_STREQ(save(saved, stream), "Disk full") << failing;

        EXPECT_EQ(host.log().operationsOf("LWVParmFuncs 2").size(),
                  static_cast<std::size_t>(failing + 1));
        EXPECT_EQ(std::count(stream.writeCounts().begin(), stream.writeCounts().end(), 5), 0)
            << "the five values are not written after a failed channel";
    }
}

TEST_F(PersistenceTest, AChannelThatCannotBeLoadedEndsTheLoadWithItsErrorAndChangesNoMore) {
    standin::StateStream stream;
    ASSERT_EQ(save(saved, stream), nullptr);
    const std::vector<std::string> before = animations(otherCamera);
    const CachedValues cachedBefore = cachedValues(loaded);

    for (int failing = 0; failing < 5; ++failing) {
        host.log().clear();
        host.failChannelLoad("Damaged channel", standin::FailAfter{failing});
        standin::StreamReader reader(stream);

        EXPECT_STREQ(load(loaded, reader), "Damaged channel") << failing;

        EXPECT_EQ(host.log().operationsOf("LWVParmFuncs 2").size(),
                  static_cast<std::size_t>(failing + 1));
        const std::vector<std::string> after = animations(otherCamera);
        for (int later = failing; later < 5; ++later) {
            EXPECT_EQ(after[later], before[later]) << kChannelNames[later] << " after " << failing;
        }
        EXPECT_EQ(cachedValues(loaded), cachedBefore) << failing;
    }
}

} // namespace
} // namespace vantorel::module_test
