#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cmath>
#include <thread>
#include <vector>

#include "camera/ray_evaluation.h"
#include "camera_host_fixture.h"

namespace vantorel::test {
namespace {

class FrameOnHost : public CameraOnHost {
protected:
    void SetUp() override {
        CameraOnHost::SetUp();
        // Frame 0 exposes from 0 to 1 while the camera moves 4 units along x.
        host.frameTiming().framesPerSecond = 1.0;
        host.frameTiming().shutterFraction = 1.0;
        camera().position.setKey(0.0, {0.0, 0.0, 0.0});
        camera().position.setKey(1.0, {4.0, 0.0, 0.0});
        camera().focusDistance.setValue(2.0);
        camera().fStop.setValue(2.0);
        camera().filmWidth = 0.03;
        camera().filmHeight = 0.02;
        instance = create();
        ASSERT_NE(instance, nullptr);
    }

    CameraRay evaluate(double fraction, double x = 0.0, double y = 0.0, double u = 0.0,
                       double v = 0.0) {
        CameraRay ray{};
        EXPECT_EQ(cameraEvaluate(instance, x, y, u, v, fraction, &ray), 1);
        return ray;
    }

    CameraInstance* instance = nullptr;
};

TEST_F(FrameOnHost, MotionStepsSampleTheExposureFourTimesPerStep) {
    for (int steps : {0, 1, 3}) {
        ASSERT_EQ(newFrame(instance, steps), nullptr);
        const uint32_t n = 4 * static_cast<uint32_t>(steps);
        EXPECT_EQ(instance->sampleCount, n);
        for (uint32_t i = 0; i <= n; ++i) {
            const double t = n == 0 ? 0.0 : static_cast<double>(i) / n;
            EXPECT_NEAR(instance->samples[i].position[0], 4.0 * t, 1e-12) << steps << ":" << i;
        }
        EXPECT_EQ(evaluate(1.0).origin[0], instance->samples[n].position[0]);
    }
}

TEST_F(FrameOnHost, TimeFractionsPickTheirSampleOfTheMovingCamera) {
    ASSERT_EQ(newFrame(instance, 1), nullptr);
    struct Case {
        double fraction;
        double x; // camera position at the picked sample
    };
    const Case cases[] = {{0.0, 0.0},  {0.3, 1.0},  {0.5, 2.0}, {0.99, 3.0},    {1.0, 4.0},
                          {-3.0, 0.0}, {17.0, 4.0}, {NAN, 0.0}, {INFINITY, 4.0}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(evaluate(c.fraction).origin[0], c.x) << c.fraction;
    }
}

TEST_F(FrameOnHost, AnimatedParametersAreSampledAndTheLastSampleStaysCached) {
    channelOf(instance->distortionChannel).setKey(0.0, 0.0);
    channelOf(instance->distortionChannel).setKey(1.0, 1.0);
    channelOf(instance->hShiftChannel).setValue(0.5);
    ASSERT_EQ(newFrame(instance, 1), nullptr);
    for (uint32_t i = 0; i <= 4; ++i) {
        EXPECT_DOUBLE_EQ(instance->samples[i].distortion, i / 4.0);
        EXPECT_DOUBLE_EQ(instance->samples[i].shiftX, 0.5 * 0.03);
    }
    EXPECT_DOUBLE_EQ(instance->distortion, 1.0);
    EXPECT_EQ(instance->filmWidth, 0.03);
    EXPECT_EQ(instance->filmHeight, 0.02);
}

TEST_F(FrameOnHost, ScaledHostAxesStillGiveTheFocalPlaneScale) {
    camera().right.setValue({0.0, 0.0, -3.0});
    camera().up.setValue({0.0, 0.5, 0.0});
    camera().forward.setValue({7.0, 0.0, 0.0});
    channelOf(instance->zoomChannel).setValue(4.0);
    ASSERT_EQ(newFrame(instance, 0), nullptr);
    const TimeSample& s = instance->samples[0];
    EXPECT_NEAR(s.rightLength, 50.0, 1e-12);
    EXPECT_NEAR(s.upLength, 50.0, 1e-12);
    EXPECT_NEAR(s.focusLength, 2.0, 1e-15);
    EXPECT_NEAR(s.lensRight[2], -0.01, 1e-17);
    EXPECT_EQ(s.filmNormal[0], 7.0);
    const CameraRay ray = evaluate(0.0);
    EXPECT_NEAR(ray.direction[0], 1.0, 1e-15);
}

TEST_F(FrameOnHost, FramesThatCannotBeSampledLeaveNoTable) {
    struct Case {
        const char* name;
        int motionSteps;
        bool cameraInfo;
        const char* error;
    };
    const Case cases[] = {
        {"negative motion steps", -1, true, "Motion steps can't be negative"},
        {"most negative motion steps", INT_MIN, true, "Motion steps can't be negative"},
        {"too many motion steps", INT_MAX, true, "Can't allocate Memory"},
        {"no camera information", 1, false, "Camera information unavailable"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(newFrame(instance, 1), nullptr);
        hostServices.cameraInfo = c.cameraInfo ? hostServices.cameraInfo : nullptr;
        EXPECT_STREQ(newFrame(instance, c.motionSteps), c.error) << c.name;
        EXPECT_EQ(instance->samples, nullptr) << c.name;
        CameraRay ray{};
        ray.origin[0] = 42.0;
        EXPECT_EQ(cameraEvaluate(instance, 0, 0, 0, 0, 0.5, &ray), 0) << c.name;
        EXPECT_EQ(ray.origin[0], 42.0) << c.name;
        attachHostServices();
    }
}

TEST_F(FrameOnHost, EvaluationCallsNoHostService) {
    ASSERT_EQ(newFrame(instance, 2), nullptr);
    const std::size_t callsBefore = host.log().calls().size();
    for (int i = 0; i < 1000; ++i) {
        evaluate(i / 1000.0, 0.01, -0.005, 0.5, 0.5);
    }
    EXPECT_EQ(host.log().calls().size(), callsBefore);
}

TEST_F(FrameOnHost, ConcurrentEvaluationGivesTheRaysOfOneThread) {
    channelOf(instance->distortionChannel).setValue(0.5);
    channelOf(instance->vignettingChannel).setValue(0.7);
    ASSERT_EQ(newFrame(instance, 2), nullptr);
    constexpr int kRays = 20000;
    auto rayAt = [&](int i, CameraRay& ray) {
        const double a = i * 0.618, b = i * 0.414;
        cameraEvaluate(instance, 0.015 * std::sin(a), 0.01 * std::cos(b), std::sin(b) * 0.7,
                       std::cos(a) * 0.7, (i % 97) / 97.0, &ray);
    };
    std::vector<CameraRay> expected(kRays);
    for (int i = 0; i < kRays; ++i) {
        rayAt(i, expected[i]);
    }
    constexpr int kThreads = 4;
    std::vector<std::vector<CameraRay>> seen(kThreads, std::vector<CameraRay>(kRays));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRays; ++i) {
                rayAt(i, seen[t][i]);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(std::memcmp(seen[t].data(), expected.data(), sizeof(CameraRay) * kRays), 0);
    }
}

} // namespace
} // namespace vantorel::test
