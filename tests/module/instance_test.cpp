#include "loaded_module_fixture.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::module_test {
namespace {

class InstanceTest : public LoadedModuleTest {
protected:
    void SetUp() override {
        LoadedModuleTest::SetUp();
        ASSERT_EQ(activateHandler(), ACTIVATE_OK);
        host.log().clear();
    }
};

TEST_F(InstanceTest, CreationAsksTimeThenCameraThenMakesTheFiveChannelsInOrder) {
    host.item(camera).zoomFactor.setKey(0.0, 1.0);
    host.item(camera).zoomFactor.setKey(4.0, 5.0);
    host.setTime(2.0, 48);

    createInstance(camera);

    EXPECT_EQ(callsAsText(host.log()), (std::vector<std::string>{
                                           "global lookup LW Time Info mode=0",
                                           "global lookup LW Camera Info 5 mode=0",
                                           "LW Camera Info 5 zoomFactor Camera t=2",
                                           "LW Item Info 4 channelGroup Camera",
                                           "LWVParmFuncs 2 create kind=16 flags=-1",
                                           "LWVParmFuncs 2 setup name=ZoomFactor group=Camera",
                                           "LWVParmFuncs 2 setValue ZoomFactor value=3",
                                           "LWVParmFuncs 2 create kind=32 flags=-1",
                                           "LWVParmFuncs 2 setup name=HShift group=Camera",
                                           "LWVParmFuncs 2 setValue HShift value=0",
                                           "LWVParmFuncs 2 create kind=32 flags=-1",
                                           "LWVParmFuncs 2 setup name=VShift group=Camera",
                                           "LWVParmFuncs 2 setValue VShift value=0",
                                           "LWVParmFuncs 2 create kind=32 flags=-1",
                                           "LWVParmFuncs 2 setup name=Distortion group=Camera",
                                           "LWVParmFuncs 2 setValue Distortion value=0",
                                           "LWVParmFuncs 2 create kind=32 flags=-1",
                                           "LWVParmFuncs 2 setup name=Vignetting group=Camera",
                                           "LWVParmFuncs 2 setValue Vignetting value=0",
                                       }));
    EXPECT_TRUE(host.log().faults().empty());
}

TEST_F(InstanceTest, WithoutCameraInformationANewCameraZoomsAt2_6217) {
    host.setServiceAvailable("LW Camera Info 5", false);

    void* instance = createInstance(camera);

    EXPECT_EQ(channel(camera, "ZoomFactor").valueAt(0.0), 2.6217);
    EXPECT_EQ(cachedValues(instance), (CachedValues{2.6217, 0.0, 0.0, 0.0, 0.0}));
}

TEST_F(InstanceTest, DestructionReleasesTheFiveChannelsInOrder) {
    void* instance = createInstance(camera);
    host.log().clear();

    destroyInstance(instance);

    EXPECT_EQ(callsAsText(host.log()),
              (std::vector<std::string>{
                  "LWVParmFuncs 2 destroy ZoomFactor", "LWVParmFuncs 2 destroy HShift",
                  "LWVParmFuncs 2 destroy VShift", "LWVParmFuncs 2 destroy Distortion",
                  "LWVParmFuncs 2 destroy Vignetting"}));
    EXPECT_EQ(host.channelCount(), 0u);
    EXPECT_TRUE(host.log().faults().empty());
}

TEST_F(InstanceTest, CopyTakesOverTheSourcesAnimationButNotItsCachedValues) {
    ItemHandle otherCamera = host.addCamera("Other");
    host.item(otherCamera).zoomFactor.setValue(1.5);
    void* source = createInstance(camera);
    void* destination = createInstance(otherCamera);
    channel(camera, "ZoomFactor").setKey(0.0, 2.0);
    channel(camera, "ZoomFactor").setKey(1.0, 6.0);
    channel(camera, "HShift").setValue(0.25);
    channel(camera, "Vignetting").setKey(0.5, 0.75);
    const CachedValues destinationValues = cachedValues(destination);
    host.log().clear();

    EXPECT_EQ(instanceFuncs.copy(destination, source), nullptr);

    for (const std::string name : kChannelNames) {
        EXPECT_EQ(animationText(channel(otherCamera, name)), animationText(channel(camera, name)))
            << name;
    }
    EXPECT_EQ(callsAsText(host.log()),
              (std::vector<std::string>{"LWVParmFuncs 2 copy ZoomFactor <- ZoomFactor",
                                        "LWVParmFuncs 2 copy HShift <- HShift",
                                        "LWVParmFuncs 2 copy VShift <- VShift",
                                        "LWVParmFuncs 2 copy Distortion <- Distortion",
                                        "LWVParmFuncs 2 copy Vignetting <- Vignetting"}));
    EXPECT_EQ(cachedValues(destination), destinationValues);
}

TEST_F(InstanceTest, EveryCameraDescribesItselfAlikeAndHasFlagsOne) {
    ItemHandle otherCamera = host.addCamera("Other");
    host.item(otherCamera).zoomFactor.setValue(9.0);
    for (void* instance : {createInstance(camera), createInstance(otherCamera)}) {
        EXPECT_STREQ(instanceFuncs.describe(instance), "Corvasin");
        EXPECT_EQ(handler.flags(instance), 1);
    }
}

// Channels the host could not create are absent; no later operation may hand them to the host.
TEST_F(InstanceTest, ChannelsTheHostCouldNotCreateAreLeftOutOfEveryOperation) {
    host.failChannelCreation(standin::FailAfter{2});
    void* instance = createInstance(camera);
    void* other = createInstance(host.addCamera("Other"));
    host.clearFailures();
    EXPECT_EQ(host.channelCount(), 2u);

    EXPECT_EQ(newFrame(instance, camera), nullptr);
    ProjectionMatrix matrix{};
    const CameraAccess access = host.cameraAccess(camera);
    EXPECT_EQ(handler.preview(instance, 0.0, 0.0, &matrix, &access), 1);
    standin::StateStream stream;
    const SaveState saveState = stream.saveState();
    EXPECT_EQ(instanceFuncs.save(instance, &saveState), nullptr);
    standin::StreamReader reader(stream);
    const LoadState loadState = reader.loadState();
    EXPECT_EQ(instanceFuncs.load(instance, &loadState), nullptr);
    EXPECT_EQ(instanceFuncs.copy(other, instance), nullptr);
    destroyInstance(instance);

    EXPECT_EQ(host.log().operationsOf("LWVParmFuncs 2"),
              (std::vector<std::string>{"create",   "setup",    "setValue", "create", "setup",
                                        "setValue", "create",   "create",   "create", "create",
                                        "create",   "create",   "create",   "create", "getValue",
                                        "getValue", "getValue", "getValue", "save",   "save",
                                        "load",     "load",     "destroy",  "destroy"}));
    EXPECT_TRUE(host.log().faults().empty());
}

} // namespace
} // namespace vantorel::module_test
