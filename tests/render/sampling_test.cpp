// Sample patterns: stratified, on the disk, and fixed by seed and pixel alone.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "render/frame_renderer.h"
#include "render/sampling.h"

namespace vantorel::render {
namespace {

class Stratification : public ::testing::TestWithParam<int> {};

TEST_P(Stratification, EachStratumOfEitherAxisHoldsOneSample) {
    const int count = GetParam();
    RandomStream random(3, 4);
    std::vector<Point2> points;
    multiJittered(random, count, points);
    ASSERT_EQ(points.size(), static_cast<size_t>(count));
    std::set<int> xStrata;
    std::set<int> yStrata;
    for (const Point2& p : points) {
        ASSERT_GE(p.x, 0.0);
        ASSERT_LT(p.x, 1.0);
        ASSERT_GE(p.y, 0.0);
        ASSERT_LT(p.y, 1.0);
        xStrata.insert(static_cast<int>(p.x * count));
        yStrata.insert(static_cast<int>(p.y * count));
    }
    EXPECT_EQ(xStrata.size(), static_cast<size_t>(count));
    EXPECT_EQ(yStrata.size(), static_cast<size_t>(count));

    std::vector<double> times;
    stratified1D(random, count, times);
    std::set<int> timeStrata;
    for (double t : times) {
        timeStrata.insert(static_cast<int>(t * count));
    }
    EXPECT_EQ(timeStrata.size(), static_cast<size_t>(count));
}

INSTANTIATE_TEST_SUITE_P(Counts, Stratification, ::testing::Values(1, 2, 7, 12, 16, 33));

TEST(Sampling, TheDiskMappingKeepsAreas) {
    // A fine grid of the square lands inside the unit disk, a quarter of it within radius 1/2.
    int inner = 0;
    const int n = 200;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const Point2 p = concentricDisk({(i + 0.5) / n, (j + 0.5) / n});
            const double r = std::hypot(p.x, p.y);
            ASSERT_LE(r, 1.0);
            inner += r < 0.5 ? 1 : 0;
        }
    }
    EXPECT_NEAR(inner / double(n * n), 0.25, 0.002);
}

TEST(Sampling, APixelsSamplesDependOnSeedFrameAndPixelOnly) {
    auto first = [](uint64_t seed, int frame, int x, int y) {
        RandomStream random = pixelStream(seed, frame, x, y);
        PixelSamples samples;
        samples.generate(random, 4);
        return samples.lens[0].x;
    };
    EXPECT_EQ(first(1, 0, 5, 6), first(1, 0, 5, 6));
    EXPECT_NE(first(1, 0, 5, 6), first(2, 0, 5, 6));
    EXPECT_NE(first(1, 0, 5, 6), first(1, 1, 5, 6));
    EXPECT_NE(first(1, 0, 5, 6), first(1, 0, 6, 5));
}

TEST(FilmPoints, CoverTheFilmCentredWithYUp) {
    const ImageSettings image{200, 100, 1};
    const FilmSettings film{0.036, 0.018};
    const FilmPoint topLeft = filmPoint(image, film, 0.0, 0.0);
    const FilmPoint centre = filmPoint(image, film, 100.0, 50.0);
    const FilmPoint bottomRight = filmPoint(image, film, 200.0, 100.0);
    EXPECT_DOUBLE_EQ(topLeft.x, -0.018);
    EXPECT_DOUBLE_EQ(topLeft.y, 0.009);
    EXPECT_DOUBLE_EQ(centre.x, 0.0);
    EXPECT_DOUBLE_EQ(centre.y, 0.0);
    EXPECT_DOUBLE_EQ(bottomRight.x, 0.018);
    EXPECT_DOUBLE_EQ(bottomRight.y, -0.009);
}

TEST(SceneTime, ObjectsStandAtTheTimeSampleTheCameraUses) {
    // Exposure from 1 s for 0.5 s; with one motion step the camera has samples at 0, 1/4, ...
    const FrameInfo frame{1.0, 24, 1.0, 0.5, 24.0, 1};
    EXPECT_EQ(sampleSceneTime(frame, 0.0), 1.0);
    EXPECT_EQ(sampleSceneTime(frame, 0.24), 1.0);
    EXPECT_EQ(sampleSceneTime(frame, 0.6), 1.25);
    EXPECT_EQ(sampleSceneTime(frame, 0.99), 1.375);
    const FrameInfo still{1.0, 24, 1.0, 0.5, 24.0, 0};
    EXPECT_EQ(sampleSceneTime(still, 0.99), 1.0);
}

} // namespace
} // namespace vantorel::render
