#include <gtest/gtest.h>

#include <cmath>

#include "camera/preview_projection.h"

namespace vantorel {
namespace {

PreviewInputs zoom4Camera() {
    PreviewInputs in{};
    in.zoom = 4.0;
    in.filmWidth = 0.036;
    in.filmHeight = 0.02;
    in.focusDistance = 2.0;
    in.fStop = 2.0;
    return in;
}

TEST(Preview, CentredLensGivesAProjectionOfTheFocalLengthAlone) {
    const ProjectionMatrix p = buildProjection(zoom4Camera());
    const double n = 0.04;
    const double expected[16] = {n,
                                 0,
                                 0,
                                 0,
                                 0,
                                 n,
                                 0,
                                 0,
                                 0,
                                 0,
                                 -((65000 + n) / (65000 - n)),
                                 -1,
                                 0,
                                 0,
                                 -((n * 130000) / (65000 - n)),
                                 0};
    for (int i = 0; i < 16; ++i) {
        EXPECT_DOUBLE_EQ(p.m[i], expected[i]) << "index " << i;
    }
    EXPECT_TRUE(std::signbit(p.m[12])); // -(w x 0) x r is a negative zero
}

TEST(Preview, ShiftAndLensPointMoveTheProjection) {
    PreviewInputs in = zoom4Camera();
    in.horizontalShift = 0.25;
    in.verticalShift = -0.5;
    in.lensX = 0.5;
    in.lensY = -1.0;
    const ProjectionMatrix p = buildProjection(in);
    const double r = (0.04 / 2.0) * 0.5;
    const double ox = -(0.036 * 0.5) * r;
    const double oy = -(0.036 * -1.0) * r; // the vertical offset scales with the width too
    EXPECT_DOUBLE_EQ(p.m[12], ox);
    EXPECT_DOUBLE_EQ(p.m[13], oy);
    EXPECT_DOUBLE_EQ(p.m[8], 0.25 * 0.036 + ox / 2.0);
    EXPECT_DOUBLE_EQ(p.m[9], -0.5 * 0.02 + oy / 2.0);
}

TEST(Preview, PinholeWithoutCameraInformationNeverDividesByTheFocusDistance) {
    PreviewInputs in = zoom4Camera();
    in.pinhole = true;
    in.focusDistance = 0.0;
    in.fStop = 0.0;
    in.horizontalShift = 0.25;
    in.lensX = 1.0;
    const ProjectionMatrix p = buildProjection(in);
    for (double v : p.m) {
        EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_DOUBLE_EQ(p.m[8], 0.25 * 0.036);
    EXPECT_EQ(p.m[12], 0.0);
}

} // namespace
} // namespace vantorel
