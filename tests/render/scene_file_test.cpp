// Scene files: what a valid file sets, and the error a user gets for each kind of mistake.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "render/scene_json.h"

namespace vantorel::render {
namespace {

std::string errorOf(const std::string& text) {
    try {
        parseScene(text, "scene.json");
    } catch (const SceneError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(SceneFile, TheExampleSceneSetsEverySection) {
    const Scene scene = loadSceneFile(VANTOREL_SOURCE_DIR "/render/scenes/example.json");

    EXPECT_EQ(scene.image.width, 480);
    EXPECT_EQ(scene.image.samplesPerPixel, 16);
    EXPECT_EQ(scene.animation.frames, 24);
    EXPECT_EQ(scene.animation.motionSteps, 2);
    ASSERT_EQ(scene.camera.keys.size(), 2u);
    // A key gives what changes; the rest carries over from the key before.
    EXPECT_EQ(scene.camera.keys[1].value.zoom, 3.2);
    EXPECT_EQ(scene.camera.keys[1].value.focusDistance, 4.0);
    EXPECT_EQ(scene.camera.keys[1].value.fStop, 1.4);
    EXPECT_DOUBLE_EQ(scene.lens.distortion.at(0.5), 0.4);
    EXPECT_EQ(scene.lens.vignetting.at(7.0), 0.7);
    ASSERT_EQ(scene.objects.size(), 4u);
    EXPECT_EQ(scene.objects[1].texture.kind, Texture::Kind::Grid);
    EXPECT_EQ(scene.objects[3].velocity.x, 3.0);
}

TEST(SceneFile, LookAtTurnsTheCameraTowardsItsTarget) {
    const Scene scene =
        parseScene(R"({"camera": {"position": [0, 0, 0], "look_at": [1, -1, 1]}})", "scene.json");
    const Vec3 hpb = scene.camera.keys[0].value.headingPitchBank;
    EXPECT_NEAR(hpb.x, 45.0, 1e-12);
    EXPECT_NEAR(hpb.y, 35.264389682754654, 1e-12); // positive pitch looks down
    EXPECT_EQ(hpb.z, 0.0);
}

TEST(SceneFile, MissingSectionsKeepTheirDefaults) {
    const Scene scene = parseScene("{}", "scene.json");
    EXPECT_EQ(scene.image.width, ImageSettings{}.width);
    EXPECT_EQ(scene.lens.distortion.at(0.0), 0.0);
    EXPECT_TRUE(scene.objects.empty());
}

struct BadScene {
    const char* what;
    const char* text;
    const char* message;
};

class MalformedScene : public ::testing::TestWithParam<BadScene> {};

TEST_P(MalformedScene, IsRefusedNamingFileLineAndField) {
    EXPECT_EQ(errorOf(GetParam().text), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedScene,
    ::testing::Values(
        BadScene{"a misspelt field", "{\n  \"imgae\": {}\n}", "scene.json:2: imgae: unknown field"},
        BadScene{"a text for a number", "{\n  \"image\": {\n    \"width\": \"wide\"\n  }\n}",
                 "scene.json:3: image.width: must be a whole number"},
        BadScene{"an empty image", "{\"image\": {\"width\": 0}}",
                 "scene.json:1: image.width: must be between 1 and 16384 (got 0)"},
        BadScene{"a fractional sample count", "{\"image\": {\"samples\": 2.5}}",
                 "scene.json:1: image.samples: must be a whole number"},
        BadScene{"too many motion steps", "{\"animation\": {\"motion_steps\": 65}}",
                 "scene.json:1: animation.motion_steps: must be between 0 and 64 (got 65)"},
        BadScene{"a negative radius",
                 "{\"objects\": [\n"
                 "  {\"type\": \"sphere\", \"center\": [0, 0, 0], \"radius\": 1},\n"
                 "  {\"type\": \"sphere\", \"center\": [0, 0, 0],\n"
                 "   \"radius\": -2}\n"
                 "]}",
                 "scene.json:4: objects[1].radius: must be greater than 0 (got -2)"},
        BadScene{"a sphere without radius",
                 "{\"objects\": [\n\n  {\"type\": \"sphere\", \"center\": [0, 0, 0]}\n]}",
                 "scene.json:3: objects[0]: missing field \"radius\""},
        BadScene{"a shape nobody knows", "{\"objects\": [{\"type\": \"cube\"}]}",
                 "scene.json:1: objects[0].type: must be \"sphere\" or \"plane\" (got \"cube\")"},
        BadScene{"a sphere field on a plane",
                 "{\"objects\": [{\"type\": \"plane\", \"point\": [0, 0, 0], "
                 "\"normal\": [0, 1, 0], \"radius\": 1}]}",
                 "scene.json:1: objects[0].radius: unknown field"},
        BadScene{"a zero normal",
                 "{\"objects\": [{\"type\": \"plane\", \"point\": [0, 0, 0], "
                 "\"normal\": [0, 0, 0]}]}",
                 "scene.json:1: objects[0].normal: must not be the zero vector"},
        BadScene{"a vector of two numbers",
                 "{\"objects\": [{\"type\": \"sphere\", \"center\": [0, 0], \"radius\": 1}]}",
                 "scene.json:1: objects[0].center: must be an array of three numbers"},
        BadScene{"grid lines wider than their spacing",
                 "{\"objects\": [{\"type\": \"sphere\", \"center\": [0, 0, 0], \"radius\": 1,\n"
                 "  \"texture\": {\"type\": \"grid\", \"spacing\": 0.5, \"line_width\": 0.6,\n"
                 "               \"colors\": [[1, 1, 1], [0, 0, 0]]}}]}",
                 "scene.json:2: objects[0].texture.line_width: must be at most 0.5 (got 0.6)"},
        BadScene{"a checker of one colour",
                 "{\"objects\": [{\"type\": \"sphere\", \"center\": [0, 0, 0], \"radius\": 1,\n"
                 "  \"texture\": {\"type\": \"checker\", \"size\": 1, \"colors\": [[1, 1, 1]]}}]}",
                 "scene.json:2: objects[0].texture.colors: must hold two colours"},
        BadScene{"a negative colour", "{\"lighting\": {\"sun\": [1, -1, 1]}}",
                 "scene.json:1: lighting.sun[1]: must be at least 0 (got -1)"},
        BadScene{"distortion beyond full", "{\"lens\": {\n  \"distortion\": 1.5\n}}",
                 "scene.json:2: lens.distortion: must be at most 1 (got 1.5)"},
        BadScene{"a zoom factor of zero", "{\"lens\": {\"zoom_factor\": 0}}",
                 "scene.json:1: lens.zoom_factor: must be greater than 0 (got 0)"},
        BadScene{"keys out of time order",
                 "{\"lens\": {\"vignetting\": [\n"
                 "  {\"time\": 1, \"value\": 0.5},\n"
                 "  {\"time\": 0.5, \"value\": 1}\n"
                 "]}}",
                 "scene.json:3: lens.vignetting[1].time: must be later than the previous key's "
                 "time (1)"},
        BadScene{"a key without its time", "{\"lens\": {\"vignetting\": [{\"value\": 0.5}]}}",
                 "scene.json:1: lens.vignetting[0]: missing field \"time\""},
        BadScene{"no camera keys", "{\"camera\": []}",
                 "scene.json:1: camera: needs at least one key"},
        BadScene{"a negative focus distance",
                 "{\"camera\": [{\"time\": 0},\n  {\"time\": 1, \"focus_distance\": -1}]}",
                 "scene.json:2: camera[1].focus_distance: must be greater than 0 (got -1)"},
        BadScene{"both orientation and look_at",
                 "{\"camera\": {\"orientation\": [0, 0, 0], \"look_at\": [0, 0, 1]}}",
                 "scene.json:1: camera.look_at: give either orientation or look_at, not both"},
        BadScene{"looking at itself",
                 "{\"camera\": {\"position\": [1, 2, 3], \"look_at\": [1, 2, 3]}}",
                 "scene.json:1: camera.look_at: must differ from the camera position"},
        BadScene{"a number beyond double range", "{\"film\": {\n\"width\": 1e999}}",
                 "scene.json:2: number overflow parsing '1e999'"},
        BadScene{"a list for the top level", "[]", "scene.json:1: (top level): must be an object"}),
    [](const ::testing::TestParamInfo<BadScene>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c) {
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        }
        return name;
    });

TEST(SceneFile, SyntaxErrorsNameTheLineOfTheMistake) {
    const std::string error = errorOf("{\n  \"image\": {\"width\": 10,}\n}");
    EXPECT_EQ(error.rfind("scene.json:2: ", 0), 0u) << error;
    EXPECT_NE(error.find("syntax error"), std::string::npos) << error;
    EXPECT_EQ(errorOf("").rfind("scene.json:1: ", 0), 0u);
}

TEST(SceneFile, AFileThatIsNotThereIsNamed) {
    EXPECT_THROW(
        {
            try {
                loadSceneFile("/nonexistent/scene.json");
            } catch (const SceneError& error) {
                EXPECT_STREQ(error.what(), "/nonexistent/scene.json: cannot open the scene file");
                throw;
            }
        },
        SceneError);
}

} // namespace
} // namespace vantorel::render
