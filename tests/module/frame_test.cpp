#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "loaded_module_fixture.h"

namespace vantorel::module_test {
namespace {

using Vec = std::array<double, 3>;

Vec vec(const double v[3]) {
    return {v[0], v[1], v[2]};
}

// A ray as the host hands it over: every member already holds something.
CameraRay hostRay() {
    CameraRay ray;
    std::fill(std::begin(ray.origin), std::end(ray.origin), 7.0);
    std::fill(std::begin(ray.direction), std::end(ray.direction), 7.0);
    std::fill(std::begin(ray.filmNormal), std::end(ray.filmNormal), 7.0);
    std::fill(std::begin(ray.filter), std::end(ray.filter), 7.0);
    return ray;
}

bool sameBytes(const CameraRay& a, const CameraRay& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectNear(const Vec& actual, const Vec& expected, const char* what) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-12) << what << " [" << i << "]";
    }
}

Vec normalised(Vec v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

// A camera at (1, 2, 3) looking along +z with focal length 0.04 (film height 0.02, zoom 4), lens
// radius 0.01 (f-stop 2), focused 2 away; one frame is one time unit of open shutter.
class FrameTest : public LoadedModuleTest {
protected:
    void SetUp() override {
        LoadedModuleTest::SetUp();
        ASSERT_EQ(activateHandler(), ACTIVATE_OK);
        standin::SceneItem& item = host.item(camera);
        item.position.setValue({1.0, 2.0, 3.0});
        item.filmWidth = 0.03;
        item.filmHeight = 0.02;
        item.focusDistance.setValue(2.0);
        item.fStop.setValue(2.0);
        host.frameTiming() = standin::FrameTiming{1.0, 1.0, 0};
        instance = createInstance(camera);
        channel(camera, "ZoomFactor").setValue(4.0);
    }

    CameraRay evaluate(double filmX, double filmY, double lensX, double lensY, double timeFraction,
                       int expectedResult = 1) {
        CameraRay ray = hostRay();
        EXPECT_EQ(handler.evaluate(instance, filmX, filmY, lensX, lensY, timeFraction, &ray),
                  expectedResult);
        return ray;
    }

    void* instance = nullptr;
};

// What the camera asks of the host at one sample time, in order.
std::vector<std::string> sampleCalls(const std::string& t) {
    std::vector<std::string> calls;
    for (const std::string name : kChannelNames) {
        calls.push_back("LWVParmFuncs 2 getValue " + name + " t=" + t);
    }
    calls.push_back("LW Camera Info 5 focusDistance Camera t=" + t);
    calls.push_back("LW Camera Info 5 fStop Camera t=" + t);
    for (const char* code : {"8", "2", "3", "4"}) {
        calls.push_back("LW Item Info 4 param Camera code=" + std::string(code) + " t=" + t);
    }
    return calls;
}

TEST_F(FrameTest, NewFrameSamplesParametersThenFocusThenFStopThenTheItemFourTimesPerStep) {
    host.frameTiming().motionSteps = 1;
    host.log().clear();

    EXPECT_EQ(newFrame(instance, camera), nullptr);

    std::vector<std::string> expected;
    for (const char* t : {"0", "0.25", "0.5", "0.75", "1"}) {
        const auto calls = sampleCalls(t);
        expected.insert(expected.end(), calls.begin(), calls.end());
    }
    EXPECT_EQ(callsAsText(host.log()), expected);
}

TEST_F(FrameTest, TheCentreRayLeavesTheCameraAlongItsForwardAxis) {
    ASSERT_EQ(newFrame(instance, camera), nullptr);

    const CameraRay ray = evaluate(0.0, 0.0, 0.0, 0.0, 0.0);

    expectNear(vec(ray.origin), {1.0, 2.0, 3.0}, "origin");
    expectNear(vec(ray.direction), {0.0, 0.0, 1.0}, "direction");
    expectNear(vec(ray.filmNormal), {0.0, 0.0, 1.0}, "film normal");
    const CameraRay untouched = hostRay();
    EXPECT_TRUE(
        std::equal(std::begin(ray.filter), std::end(ray.filter), std::begin(untouched.filter)));
}

TEST_F(FrameTest, RaysOfOneFilmPointMeetOnTheFocalPlane) {
    ASSERT_EQ(newFrame(instance, camera), nullptr);
    // Film (0.01, 0.005) at focal length 0.04 and focus distance 2 images the point
    // (0.5, 0.25) off the axis, 2 ahead of the camera.
    const Vec focusPoint = {1.5, 2.25, 5.0};

    for (const auto& [lensX, lensY] :
         std::vector<std::pair<double, double>>{{0.0, 0.0}, {1.0, 0.0}, {0.0, -1.0}, {0.5, 0.5}}) {
        const CameraRay ray = evaluate(0.01, 0.005, lensX, lensY, 0.0);
        const Vec origin = vec(ray.origin);
        expectNear(origin, {1.0 + 0.01 * lensX, 2.0 + 0.01 * lensY, 3.0}, "origin");
        expectNear(vec(ray.direction),
                   normalised({focusPoint[0] - origin[0], focusPoint[1] - origin[1],
                               focusPoint[2] - origin[2]}),
                   "direction");
    }
}

TEST_F(FrameTest, TheTimeFractionPicksTheSampleOfItsMoment) {
    host.item(camera).position.setKey(0.0, {0.0, 0.0, 0.0});
    host.item(camera).position.setKey(1.0, {4.0, 0.0, 0.0});
    host.frameTiming().motionSteps = 1;
    ASSERT_EQ(newFrame(instance, camera), nullptr);

    for (const auto& [fraction, x] : std::vector<std::pair<double, double>>{
             {0.0, 0.0}, {0.25, 1.0}, {0.5, 2.0}, {0.99, 3.0}, {1.0, 4.0}}) {
        EXPECT_EQ(evaluate(0.0, 0.0, 0.0, 0.0, fraction).origin[0], x) << fraction;
    }
}

TEST_F(FrameTest, TheVignettingChannelDarkensRaysOffTheAxis) {
    // 0.04 x sqrt(3) off the centre the ray leaves 60 degrees off the axis: cos^4 is 1/16.
    const double filmX = 0.04 * std::sqrt(3.0);
    for (const auto& [vignetting, filter] :
         std::vector<std::pair<double, double>>{{1.0, 1.0 / 16.0}, {0.5, 17.0 / 32.0}}) {
        channel(camera, "Vignetting").setValue(vignetting);
        ASSERT_EQ(newFrame(instance, camera), nullptr);

        const CameraRay ray = evaluate(filmX, 0.0, 0.0, 0.0, 0.0);

        for (int i = 0; i < 9; ++i) {
            EXPECT_NEAR(ray.filter[i], i % 4 == 0 ? filter : 0.0, 1e-12) << vignetting;
        }
    }
}

TEST_F(FrameTest, NoRayIsWrittenBeforeTheFirstFrame) {
    const CameraRay ray = evaluate(0.0, 0.0, 0.0, 0.0, 0.0, 0);

    EXPECT_TRUE(sameBytes(ray, hostRay()));
}

TEST_F(FrameTest, AFrameWithoutCameraInformationFailsAndDropsThePreviousOne) {
    ASSERT_EQ(newFrame(instance, camera), nullptr);
    host.setServiceAvailable("LW Camera Info 5", false);
    ASSERT_EQ(activateHandler(), ACTIVATE_OK);

    EXPECT_NE(newFrame(instance, camera), nullptr);

    EXPECT_TRUE(sameBytes(evaluate(0.0, 0.0, 0.0, 0.0, 0.0, 0), hostRay()));
}

} // namespace
} // namespace vantorel::module_test
