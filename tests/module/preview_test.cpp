#include "loaded_module_fixture.h"

namespace vantorel::module_test {
namespace {

// Film 36 x 20 mm, focus distance 2, f-stop 2; the zoom channel goes from 2 at time 0 to 4 at
// time 1, where the host's clock stands.
class PreviewTest : public LoadedModuleTest {
protected:
    void SetUp() override {
        LoadedModuleTest::SetUp();
        ASSERT_EQ(activateHandler(), ACTIVATE_OK);
        standin::SceneItem& item = host.item(camera);
        item.filmWidth = 0.036;
        item.filmHeight = 0.02;
        item.focusDistance.setValue(2.0);
        item.fStop.setValue(2.0);
        instance = createInstance(camera);
        channel(camera, "ZoomFactor").setKey(0.0, 2.0);
        channel(camera, "ZoomFactor").setKey(1.0, 4.0);
        channel(camera, "HShift").setValue(0.125);
        channel(camera, "VShift").setValue(-0.25);
        host.setTime(1.0, 24);
        host.log().clear();
    }

    ProjectionMatrix preview(double lensX, double lensY) {
        ProjectionMatrix matrix{};
        const CameraAccess access = host.cameraAccess(camera);
        EXPECT_EQ(handler.preview(instance, lensX, lensY, &matrix, &access), 1);
        return matrix;
    }

    void* instance = nullptr;
};

TEST_F(PreviewTest, ProjectsWithTheChannelsAtTheHostsCurrentTime) {
    const ProjectionMatrix matrix = preview(0.0, 0.0);

    const double n = 0.04; // film height x zoom / 2
    const double expected[16] = {n,
                                 0.0,
                                 0.0,
                                 0.0,
                                 0.0,
                                 n,
                                 0.0,
                                 0.0,
                                 0.125 * 0.036,
                                 -0.25 * 0.02,
                                 -((65000.0 + n) / (65000.0 - n)),
                                 -1.0,
                                 0.0,
                                 0.0,
                                 -((n * 130000.0) / (65000.0 - n)),
                                 0.0};
    for (int i = 0; i < 16; ++i) {
        EXPECT_DOUBLE_EQ(matrix.m[i], expected[i]) << "index " << i;
    }
}

TEST_F(PreviewTest, AsksTheTimeAndTheCameraAfresh) {
    preview(0.0, 0.0);

    std::vector<std::string> expected = {"global lookup LW Time Info mode=0"};
    for (const std::string name : kChannelNames) {
        expected.push_back("LWVParmFuncs 2 getValue " + name + " t=1");
    }
    expected.push_back("global lookup LW Camera Info 5 mode=0");
    expected.push_back("LW Camera Info 5 focusDistance Camera t=1");
    expected.push_back("LW Camera Info 5 fStop Camera t=1");
    EXPECT_EQ(callsAsText(host.log()), expected);
}

TEST_F(PreviewTest, MovesWithTheLensPointByTheFilmWidth) {
    const ProjectionMatrix matrix = preview(0.5, -0.5);

    // Lens radius 0.01; both offsets scale with the film width.
    const double offset = 0.036 * 0.5 * 0.01;
    EXPECT_DOUBLE_EQ(matrix.m[12], -offset);
    EXPECT_DOUBLE_EQ(matrix.m[13], offset);
    EXPECT_DOUBLE_EQ(matrix.m[8], 0.125 * 0.036 - offset / 2.0);
    EXPECT_DOUBLE_EQ(matrix.m[9], -0.25 * 0.02 + offset / 2.0);
}

} // namespace
} // namespace vantorel::module_test
