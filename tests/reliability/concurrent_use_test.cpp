#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "camera_on_host/camera_host_fixture.h"
#include "stand_in_host/state_stream.h"

namespace vantorel::test {
namespace {

// Render threads evaluate one instance's finished frame while the host thread goes on with its
// own work on other instances, as a host does when a viewport or a scene save runs beside a
// render. Run under the thread sanitizer this shows that evaluation shares nothing it writes.
TEST_F(CameraOnHost, RenderThreadsEvaluateWhileTheHostThreadWorksOnOtherInstances) {
    host.log().setRecording(false);
    host.frameTiming().shutterFraction = 1.0;
    camera().position.setKey(0.0, {0.0, 0.0, 0.0});
    camera().position.setKey(1.0, {0.5, 0.0, 2.0});
    CameraInstance* rendered = create();
    ASSERT_NE(rendered, nullptr);
    channelOf(rendered->distortionChannel).setValue(0.4);
    channelOf(rendered->vignettingChannel).setValue(0.9);
    ASSERT_EQ(newFrame(rendered, 2), nullptr);

    constexpr int kRays = 4000;
    auto rayAt = [&](int i, CameraRay& ray) {
        return cameraEvaluate(rendered, 0.018 * std::sin(i * 0.61), 0.012 * std::cos(i * 0.37),
                              std::sin(i * 0.23), std::cos(i * 0.71), (i % 53) / 52.0, &ray);
    };
    std::vector<CameraRay> expected(kRays);
    for (int i = 0; i < kRays; ++i) {
        ASSERT_EQ(rayAt(i, expected[i]), 1);
    }

    constexpr int kThreads = 3;
    constexpr int kPasses = 5;
    std::atomic<int> running{kThreads};
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            CameraRay ray{};
            for (int pass = 0; pass < kPasses; ++pass) {
                for (int i = 0; i < kRays; ++i) {
                    if (rayAt(i, ray) != 1 || std::memcmp(&ray, &expected[i], sizeof ray) != 0) {
                        ++mismatches;
                    }
                }
            }
            --running;
        });
    }

    // The host thread creates, previews, saves and destroys instances until the renders end.
    int cycles = 0;
    do {
        const char* error = nullptr;
        void* other = cameraCreate(nullptr, cameraItem, &error);
        ASSERT_NE(other, nullptr);
        ProjectionMatrix matrix{};
        const CameraAccess access = host.cameraAccess(cameraItem);
        EXPECT_EQ(cameraPreview(other, 0.2, -0.1, &matrix, &access), 1);
        standin::StateStream stream;
        const SaveState state = stream.saveState();
        EXPECT_EQ(cameraSave(other, &state), nullptr);
        cameraDestroy(other);
        ++cycles;
    } while (running.load() > 0);
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_GT(cycles, 0);
}

} // namespace
} // namespace vantorel::test
