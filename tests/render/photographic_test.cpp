// What a photographer checks in the renderer's pictures, every ray taken from the camera module
// loaded from its file.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "render/frame_renderer.h"
#include "render_fixtures.h"

namespace vantorel::render {
namespace {

using namespace testing;

// Pixels of profile[from, to) part way (10% to 90%) between dark and light: the width of the one
// edge the range holds.
int edgeWidth(const std::vector<double>& profile, int from, int to) {
    int width = 0;
    for (int x = from; x < to; ++x) {
        const double v = profile[static_cast<size_t>(x)];
        width += (v > 0.1 && v < 0.9) ? 1 : 0;
    }
    return width;
}

// First and last index of profile whose value is below threshold; {-1, -1} when none is.
std::pair<int, int> darkSpan(const std::vector<double>& profile, double threshold) {
    int first = -1;
    int last = -1;
    for (int i = 0; i < static_cast<int>(profile.size()); ++i) {
        if (profile[static_cast<size_t>(i)] < threshold) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    return {first, last};
}

// Darkness-weighted mean row of a column: where a dark line crosses it.
double darkLineRow(const Image& image, int x) {
    double weight = 0.0;
    double moment = 0.0;
    const std::vector<double> values = column(image, x);
    for (size_t y = 0; y < values.size(); ++y) {
        const double darkness = 1.0 - values[y];
        weight += darkness;
        moment += darkness * static_cast<double>(y);
    }
    return moment / weight;
}

TEST(Photographic, AnObjectAtTheFocusDistanceIsSharpAndOneFarFromItIsBlurred) {
    Scene scene = plainScene(150, 100, 64);
    changeCamera(scene, [](CameraState& camera) {
        camera.zoom = 4.0;
        camera.fStop = 1.0;
        camera.focusDistance = 5.0;
    });
    scene.lens.zoomFactor = Track<double>::constant(4.0);
    // Left of centre a sphere on the focal plane, right of centre one much nearer.
    scene.objects = {blackSphere({-0.9, 0.0, 5.0}, 0.5), blackSphere({0.2, 0.0, 1.0}, 0.08)};

    const std::vector<double> centreRow = row(render(scene), 50);
    const int inFocus = edgeWidth(centreRow, 0, 39);
    const int nearer = edgeWidth(centreRow, 115, 150);

    EXPECT_LE(inFocus, 2);
    EXPECT_GE(nearer, 4);
}

TEST(Photographic, StoppingDownSharpensWhatLiesOffTheFocalPlane) {
    Scene scene = plainScene(150, 100, 64);
    changeCamera(scene, [](CameraState& camera) { camera.zoom = 4.0; });
    scene.lens.zoomFactor = Track<double>::constant(4.0);
    scene.objects = {blackSphere({0.2, 0.0, 1.0}, 0.08)};

    std::vector<int> widths;
    for (double fStop : {1.0, 2.0, 64.0}) {
        changeCamera(scene, [&](CameraState& camera) { camera.fStop = fStop; });
        widths.push_back(edgeWidth(row(render(scene), 50), 115, 150));
    }
    EXPECT_GT(widths[0], widths[1]);
    EXPECT_GT(widths[1], widths[2]);
    EXPECT_LE(widths[2], 2);
}

struct VignettingCase {
    double amount;
};

class Vignetting : public ::testing::TestWithParam<VignettingCase> {};

TEST_P(Vignetting, CornerToCentreBrightnessFollowsTheFourthPowerOfTheCosine) {
    const double amount = GetParam().amount;
    Scene scene = plainScene(150, 100, 4);
    scene.lens.vignetting = Track<double>::constant(amount);
    const Image image = render(scene);

    // The undistorted off-axis angle of a pixel's centre: film radius over focal length.
    const double focalLength = scene.film.height * 2.0 * 0.5;
    auto brightness = [&](int x, int y) {
        const FilmPoint p = filmPoint(scene.image, scene.film, x + 0.5, y + 0.5);
        const double theta = std::atan(std::hypot(p.x, p.y) / focalLength);
        return amount * std::pow(std::cos(theta), 4.0) + (1.0 - amount);
    };
    const double expected = brightness(0, 0) / brightness(75, 50);
    const double measured = luminance(image.at(0, 0)) / luminance(image.at(75, 50));
    EXPECT_NEAR(measured, expected, 0.005 * expected);
    // Every corner alike.
    for (auto [x, y] : {std::pair{149, 0}, std::pair{0, 99}, std::pair{149, 99}}) {
        EXPECT_NEAR(luminance(image.at(x, y)), luminance(image.at(0, 0)), 0.003 * expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Amounts, Vignetting,
                         ::testing::Values(VignettingCase{1.0}, VignettingCase{0.5},
                                           VignettingCase{0.0}));

struct DistortionCase {
    double amount;
    int bowSign; // 0 straight, -1 the line's ends drop towards the centre, +1 they rise
};

class Distortion : public ::testing::TestWithParam<DistortionCase> {};

TEST_P(Distortion, StraightLinesBowWithDistortionAndStayStraightWithout) {
    Scene scene = plainScene(150, 100, 4);
    scene.lens.distortion = Track<double>::constant(GetParam().amount);
    // A long thin dark bar on the focal plane, crossing the upper part of the picture.
    SceneObject bar;
    bar.shape = SceneObject::Shape::Plane;
    bar.position = {0.0, 1.875, 5.0};
    bar.normal = {0.0, 0.0, -1.0};
    bar.up = {0.0, 1.0, 0.0};
    bar.width = 40.0;
    bar.height = 0.1;
    bar.texture.base = {0.0, 0.0, 0.0};
    scene.objects = {bar};
    const Image image = render(scene);

    const double centre = darkLineRow(image, 75);
    const double ends = 0.5 * (darkLineRow(image, 1) + darkLineRow(image, 148));
    const double bow = centre - ends; // rows grow downwards
    switch (GetParam().bowSign) {
    case 0:
        EXPECT_NEAR(bow, 0.0, 0.1);
        break;
    case -1:
        EXPECT_LT(bow, -1.5);
        break;
    default:
        EXPECT_GT(bow, 1.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Amounts, Distortion,
                         ::testing::Values(DistortionCase{0.0, 0}, DistortionCase{0.5, -1},
                                           DistortionCase{1.0, -1}, DistortionCase{-1.0, 1}));

TEST(Photographic, AMovingObjectSmearsAlongItsMotionOnlyWithMotionSteps) {
    Scene scene = plainScene(150, 100, 32);
    SceneObject sphere = blackSphere({0.0, 0.0, 5.0}, 0.5);
    // Half a metre across the exposure of 1/48 s.
    sphere.velocity = {24.0, 0.0, 0.0};
    scene.objects = {sphere};

    scene.animation.motionSteps = 0;
    const Image still = render(scene);
    scene.animation.motionSteps = 2;
    const Image moving = render(scene);

    const auto [stillLeft, stillRight] = darkSpan(row(still, 50), 0.95);
    const auto [movingLeft, movingRight] = darkSpan(row(moving, 50), 0.95);
    // Exposure samples 0 to 7 of 8: the sphere covers 7/8 of its half-metre path, 10 pixels.
    const double pathPixels = 0.5 * (0.024 / 5.0) / 0.036 * 150 * 7.0 / 8.0;
    EXPECT_NEAR(movingLeft, stillLeft, 1);
    EXPECT_NEAR(movingRight - stillRight, pathPixels, 1.5);
    // Across the motion nothing smears.
    const auto [stillTop, stillBottom] = darkSpan(column(still, 75), 0.95);
    const auto [movingTop, movingBottom] = darkSpan(column(moving, 75), 0.95);
    EXPECT_EQ(movingTop, stillTop);
    EXPECT_EQ(movingBottom, stillBottom);
}

Scene sceneWithEveryLensEffect() {
    Scene scene = plainScene(60, 40, 4);
    changeCamera(scene, [](CameraState& camera) { camera.fStop = 2.0; });
    scene.animation.motionSteps = 1;
    scene.lens.zoomFactor.keys = {{0.0, 2.0}, {0.1, 2.5}};
    scene.lens.horizontalShift = Track<double>::constant(0.05);
    scene.lens.verticalShift = Track<double>::constant(-0.03);
    scene.lens.distortion = Track<double>::constant(0.3);
    scene.lens.vignetting = Track<double>::constant(0.7);
    SceneObject chart;
    chart.shape = SceneObject::Shape::Plane;
    chart.position = {0.0, 0.0, 6.0};
    chart.normal = {0.0, 0.0, -1.0};
    chart.up = {0.0, 1.0, 0.0};
    chart.texture = {Texture::Kind::Grid, {0.9, 0.9, 0.9}, {0.1, 0.1, 0.1}, 0.4, 0.04};
    scene.objects = {chart, blackSphere({0.3, 0.2, 3.0}, 0.3)};
    return scene;
}

TEST(Photographic, ASavedAndReloadedCameraRendersTheSameImage) {
    const Scene saved = sceneWithEveryLensEffect();
    Scene plain = saved;
    plain.lens = LensTracks{};

    CameraConnection camera(defaultModulePath());
    const Image original = renderOnce(camera, saved);
    const std::string state = camera.saveState();
    ASSERT_NE(renderOnce(camera, plain), original);

    camera.stage(plain);
    camera.loadState(state, "camera state");
    EXPECT_EQ(renderThroughCamera(camera, plain, 0, 1, 2).image, original);
}

TEST(Photographic, ASeedGivesOnePictureWhateverTheThreadCount) {
    const Scene scene = sceneWithEveryLensEffect();
    CameraConnection camera(defaultModulePath());
    const Image oneThread = renderOnce(camera, scene, 7, 1);
    EXPECT_EQ(renderOnce(camera, scene, 7, 3), oneThread);
    EXPECT_NE(renderOnce(camera, scene, 8, 3), oneThread);
}

} // namespace
} // namespace vantorel::render
