#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "camera/ray_evaluation.h"
#include "camera_fixtures.h"

namespace vantorel {
namespace {

using namespace test;

Vec3 origin(const CameraRay& r) {
    return toVec3(r.origin);
}
Vec3 direction(const CameraRay& r) {
    return toVec3(r.direction);
}

CameraRay trace(const TimeSample& e, double x, double y, double u, double v) {
    CameraRay ray{};
    traceRay(e, x, y, u, v, ray);
    return ray;
}

// Where the ray through film point (x, y) meets the focal plane, whatever the lens point.
Vec3 focalPlanePoint(const TimeSample& e, double x, double y, double distortionFactor) {
    return toVec3(e.position) + toVec3(e.rightAxis) * (distortionFactor * (x + e.shiftX)) +
           toVec3(e.upAxis) * (distortionFactor * (y + e.shiftY)) + toVec3(e.focusAxis);
}

class LensSettings : public ::testing::TestWithParam<double> {};

TEST_P(LensSettings, RaysThroughOneFilmPointMeetOnTheFocalPlane) {
    SampleInputs in = turnedCamera();
    in.distortion = GetParam();
    in.horizontalShift = 0.05;
    in.verticalShift = -0.1;
    const TimeSample e = makeTimeSample(in);
    const double x = 0.011, y = -0.007;

    // The lens centre is a pinhole ray: its direction fixes the focal-plane point.
    const CameraRay centre = trace(e, x, y, 0.0, 0.0);
    const Vec3 forward = unit(in.forward);
    const double along = in.focusDistance / dot(direction(centre), forward);
    const Vec3 meet = origin(centre) + direction(centre) * along;
    EXPECT_NEAR(dot(meet - toVec3(e.position), forward), in.focusDistance, 1e-12);
    if (in.distortion == 0.0) {
        const Vec3 expected = focalPlanePoint(e, x, y, 1.0);
        EXPECT_NEAR(length(meet - expected), 0.0, 1e-12);
    }

    for (double angle = 0.0; angle < 6.28; angle += 0.7) {
        for (double radius : {0.3, 0.9, 1.0}) {
            const double u = radius * std::cos(angle), v = radius * std::sin(angle);
            const CameraRay ray = trace(e, x, y, u, v);
            const Vec3 toMeet = meet - origin(ray);
            EXPECT_NEAR(length(cross(unit(toMeet), direction(ray))), 0.0, 1e-12);
            EXPECT_GT(dot(toMeet, direction(ray)), 0.0);
            EXPECT_NEAR(length(direction(ray)), 1.0, 1e-15);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Distortion, LensSettings, ::testing::Values(-1.0, 0.0, 0.5, 1.0, 2.0));

TEST(Ray, LensCentreWithoutDistortionIsAPinhole) {
    const SampleInputs in = turnedCamera();
    const TimeSample e = makeTimeSample(in);
    const double x = -0.015, y = 0.009;
    const CameraRay ray = trace(e, x, y, 0.0, 0.0);
    const Vec3 expected =
        unit(toVec3(e.rightAxis) * x + toVec3(e.upAxis) * y + toVec3(e.focusAxis));
    EXPECT_NEAR(length(direction(ray) - expected), 0.0, 1e-15);
    EXPECT_EQ(origin(ray).x, in.position.x);
    EXPECT_EQ(origin(ray).y, in.position.y);
    EXPECT_EQ(origin(ray).z, in.position.z);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(ray.filmNormal[c], (&in.forward.x)[c]);
    }
}

TEST(Ray, OpticalAxisRayLeavesAlongTheForwardAxisForEveryDistortion) {
    SampleInputs in = turnedCamera();
    in.horizontalShift = 0.2;
    in.verticalShift = 0.1;
    for (double distortion : {-1.0, 0.0, 1.0}) {
        in.distortion = distortion;
        const TimeSample e = makeTimeSample(in);
        const CameraRay ray = trace(e, -e.shiftX, -e.shiftY, 0.0, 0.0);
        EXPECT_NEAR(length(direction(ray) - unit(in.forward)), 0.0, 1e-15) << distortion;
    }
}

// The distortion factor as the ray shows it: how far from the axis the ray meets the focal plane,
// against where an undistorted ray meets it.
double distortionFactorAt(double distortion, double x, double y) {
    SampleInputs in = turnedCamera();
    in.distortion = distortion;
    const TimeSample e = makeTimeSample(in);
    in.distortion = 0.0;
    const TimeSample plain = makeTimeSample(in);
    const Vec3 forward = unit(in.forward);
    auto offAxis = [&](const TimeSample& s) {
        const CameraRay ray = trace(s, x, y, 0.0, 0.0);
        const Vec3 d = direction(ray) * (1.0 / dot(direction(ray), forward));
        return length(d - forward);
    };
    return offAxis(e) / offAxis(plain);
}

TEST(Ray, DistortionKeepsPointsAtHalfTheFilmHeightInPlace) {
    const double halfHeight = turnedCamera().filmHeight / 2;
    for (double distortion : {-1.0, -0.3, 0.0, 0.5, 1.0, 1.7}) {
        EXPECT_NEAR(distortionFactorAt(distortion, 0.0, halfHeight), 1.0, 1e-12) << distortion;
        // Any direction at that radius stays in place, not only the vertical one.
        EXPECT_NEAR(distortionFactorAt(distortion, halfHeight * 0.6, halfHeight * 0.8), 1.0, 1e-12)
            << distortion;
    }
}

TEST(Ray, PositiveDistortionPullsInsideAndPushesOutsideNegativeReverses) {
    const double h = turnedCamera().filmHeight;
    struct Case {
        double distortion;
        double radius;
        bool inward;
    };
    const Case cases[] = {
        {1.0, h / 4, true},   {0.5, h / 4, true},    {1.0, h * 0.7, false},
        {-1.0, h / 4, false}, {-0.5, h * 0.7, true},
    };
    for (const Case& c : cases) {
        const double f = distortionFactorAt(c.distortion, 0.0, c.radius);
        EXPECT_EQ(f < 1.0, c.inward) << c.distortion << " at " << c.radius << ": " << f;
    }
}

// A flat sample: unit scales and focus length, so film units are focal-plane units.
TimeSample flatSample(double vignetting) {
    TimeSample e{};
    e.vignetting = vignetting;
    e.rightLength = e.upLength = e.focusLength = 1.0;
    e.fisheyeNorm = 1.0;
    e.rightAxis[0] = e.upAxis[1] = e.focusAxis[2] = 1.0;
    return e;
}

TEST(Ray, VignettingFollowsTheFourthPowerOfTheCosine) {
    struct Case {
        double vignetting;
        double expected; // at 60 degrees off axis
    };
    const Case cases[] = {{1.0, 1.0 / 16}, {0.5, 17.0 / 32}, {0.25, 0.25 / 16 + 0.75}};
    for (const Case& c : cases) {
        const CameraRay ray = trace(flatSample(c.vignetting), std::sqrt(3.0), 0.0, 0.0, 0.0);
        for (int i = 0; i < 9; ++i) {
            EXPECT_NEAR(ray.filter[i], i % 4 == 0 ? c.expected : 0.0, 1e-15) << c.vignetting;
        }
    }
}

TEST(Ray, VignettingThatIsOffLeavesTheHostsFilterAlone) {
    for (double vignetting : {0.0, -0.5, std::numeric_limits<double>::quiet_NaN()}) {
        CameraRay ray{};
        for (double& f : ray.filter) {
            f = 7.0;
        }
        traceRay(flatSample(vignetting), 0.5, 0.5, 0.0, 0.0, ray);
        for (double f : ray.filter) {
            EXPECT_EQ(f, 7.0) << vignetting;
        }
    }
}

TEST(SampleIndex, FractionsPickTheTruncatedSampleAndClampOutsideTheTable) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double fraction;
        uint32_t n;
        uint32_t expected;
    };
    const Case cases[] = {
        {0.0, 4, 0},   {0.5, 4, 2},  {0.99, 4, 3}, {1.0, 4, 4},
        {1.1, 4, 4},   {-0.1, 4, 0}, {-5.0, 4, 0}, {7.0, 4, 4},
        {inf, 4, 4},   {-inf, 4, 0}, {nan, 4, 0},  {0.3, 0, 0},
        {1e300, 0, 0}, {inf, 0, 0},  {nan, 0, 0},  {1.0, 4294967292u, 4294967292u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sampleIndex(c.fraction, c.n), c.expected) << c.fraction << " of " << c.n;
    }
}

} // namespace
} // namespace vantorel
