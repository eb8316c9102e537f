#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <new>

#include "camera_on_host/camera_host_fixture.h"
#include "reliability/allocation_hook.h"
#include "stand_in_host/state_stream.h"

// Every C++ allocation in this test program, so that a test can show a stretch of code makes
// none at all, not only none through the module's allocation functions. Kept out of line, so that
// the compiler sees each pair matched.
namespace {
std::atomic<std::uint64_t> operatorNewCalls{0};
}

[[gnu::noinline]] void* operator new(std::size_t size) {
    ++operatorNewCalls;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
    std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace vantorel::test {
namespace {

class AllocationFailure : public CameraOnHost {
protected:
    void SetUp() override {
        CameraOnHost::SetUp();
        resetAllocations();
    }
    void TearDown() override {
        CameraOnHost::TearDown();
        EXPECT_EQ(allocationCounts().live(), 0) << "blocks the module never released";
    }

    // Runs the operation once to count its allocation calls, then once more with each of those
    // calls failing in turn, checking each run. Returns the count.
    std::uint64_t walkFailures(const std::function<void()>& prepare,
                               const std::function<void(std::uint64_t failing)>& runAndCheck) {
        prepare();
        const std::uint64_t before = allocationCounts().calls();
        runAndCheck(0);
        const std::uint64_t calls = allocationCounts().calls() - before;
        for (std::uint64_t n = 1; n <= calls; ++n) {
            prepare();
            failAllocationCall(n);
            runAndCheck(n);
            failAllocationCall(0);
        }
        return calls;
    }

    void destroyAll() {
        for (CameraInstance* instance : instances) {
            cameraDestroy(instance);
        }
        instances.clear();
    }
};

TEST_F(AllocationFailure, CreationThatCannotAllocateGivesNoInstanceItsErrorTextAndNoChannels) {
    const std::uint64_t calls =
        walkFailures([] {},
                     [&](std::uint64_t failing) {
                         const std::size_t channelsBefore = host.channelCount();
                         const char* error = nullptr;
                         void* instance = cameraCreate(nullptr, cameraItem, &error);
                         if (failing == 0) {
                             ASSERT_NE(instance, nullptr);
                             EXPECT_EQ(error, nullptr);
                             cameraDestroy(instance);
                             return;
                         }
                         EXPECT_EQ(instance, nullptr) << "allocation " << failing;
                         EXPECT_STREQ(error, "Couldn't allocate instance data.")
                             << "allocation " << failing;
                         EXPECT_EQ(host.channelCount(), channelsBefore) << "allocation " << failing;
                     });
    EXPECT_GE(calls, 1u);
}

TEST_F(AllocationFailure, FrameThatCannotAllocateLeavesNoTableAndEvaluationReturnsZero) {
    CameraInstance* instance = create();
    ASSERT_NE(instance, nullptr);
    for (int motionSteps : {0, 1, 7}) {
        const std::uint64_t calls =
            walkFailures([&] { ASSERT_EQ(newFrame(instance, 1), nullptr); },
                         [&](std::uint64_t failing) {
                             const char* error = newFrame(instance, motionSteps);
                             CameraRay ray{};
                             ray.direction[2] = 42.0;
                             const int written =
                                 cameraEvaluate(instance, 0.001, 0.002, 0.3, 0.1, 0.5, &ray);
                             if (failing == 0) {
                                 EXPECT_EQ(error, nullptr);
                                 EXPECT_EQ(written, 1);
                                 return;
                             }
                             EXPECT_STREQ(error, "Can't allocate Memory") << failing;
                             EXPECT_EQ(instance->samples, nullptr) << failing;
                             EXPECT_EQ(written, 0) << failing;
                             EXPECT_EQ(ray.direction[2], 42.0) << "ray written without a table";
                         });
        EXPECT_GE(calls, 1u) << motionSteps;
        // The next frame that can allocate works again.
        ASSERT_EQ(newFrame(instance, motionSteps), nullptr);
        CameraRay ray{};
        EXPECT_EQ(cameraEvaluate(instance, 0.0, 0.0, 0.0, 0.0, 1.0, &ray), 1);
    }
    destroyAll();
    EXPECT_EQ(allocationCounts().live(), 0);
}

TEST_F(AllocationFailure, LoadingMakesNoAllocationThatCouldFail) {
    CameraInstance* saved = create();
    ASSERT_NE(saved, nullptr);
    channelOf(saved->zoomChannel).setKey(1.0, 4.5);
    saved->distortion = 0.25;
    standin::StateStream stream;
    const SaveState saveState = stream.saveState();
    ASSERT_EQ(cameraSave(saved, &saveState), nullptr);

    CameraInstance* loaded = create();
    ASSERT_NE(loaded, nullptr);
    const std::uint64_t calls = walkFailures([] {},
                                             [&](std::uint64_t) {
                                                 standin::StreamReader reader(stream);
                                                 const LoadState loadState = reader.loadState();
                                                 EXPECT_EQ(cameraLoad(loaded, &loadState), nullptr);
                                             });
    // No allocation is made, so none can fail.
    EXPECT_EQ(calls, 0u);
    EXPECT_EQ(loaded->distortion, 0.25);
    EXPECT_EQ(channelOf(loaded->zoomChannel).valueAt(1.0), 4.5);
}

TEST_F(AllocationFailure, EvaluationAllocatesNothingWhateverItIsGiven) {
    CameraInstance* instance = create();
    ASSERT_NE(instance, nullptr);
    channelOf(instance->distortionChannel).setValue(0.6);
    channelOf(instance->vignettingChannel).setValue(0.8);
    host.frameTiming().shutterFraction = 1.0;
    camera().position.setKey(0.0, {0.0, 0.0, 0.0});
    camera().position.setKey(1.0, {1.0, 2.0, 3.0});
    ASSERT_EQ(newFrame(instance, 3), nullptr);

    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double odd[] = {0.0, -0.0, 1e-310, -1e308, 1e308, inf, -inf, nan, 0.013, -0.4};
    const AllocationCounts before = allocationCounts();
    const std::uint64_t newCallsBefore = operatorNewCalls.load();
    CameraRay ray{};
    int written = 0;
    for (int i = 0; i < 100000; ++i) {
        const double x = 0.018 * std::sin(i * 0.37);
        const double y = 0.012 * std::cos(i * 0.91);
        written += cameraEvaluate(instance, x, y, std::sin(i * 0.13), std::cos(i * 0.29),
                                  (i % 101) / 100.0, &ray);
    }
    for (double a : odd) {
        for (double b : odd) {
            written += cameraEvaluate(instance, a, b, b, a, a, &ray);
        }
    }
    const AllocationCounts after = allocationCounts();
    EXPECT_EQ(written, 100000 + 100);
    EXPECT_EQ(after.calls(), before.calls());
    EXPECT_EQ(after.releases, before.releases);
    EXPECT_EQ(operatorNewCalls.load(), newCallsBefore);
}

TEST_F(AllocationFailure, DestroyingInstancesReleasesEveryBlockTheyAllocated) {
    for (int i = 0; i < 20; ++i) {
        CameraInstance* instance = create();
        ASSERT_NE(instance, nullptr);
        ASSERT_EQ(newFrame(instance, i % 4), nullptr);
        ASSERT_EQ(newFrame(instance, (i + 1) % 4), nullptr);
    }
    EXPECT_EQ(allocationCounts().live(), 40);
    destroyAll();
    EXPECT_EQ(allocationCounts().live(), 0);
}

} // namespace
} // namespace vantorel::test
