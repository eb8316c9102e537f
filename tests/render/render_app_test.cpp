// The renderer as a user runs it: files in, PNG and camera state files out, nothing written
// when something is wrong.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "render/files.h"
#include "render/render_app.h"
#include "render/scene_json.h"

namespace vantorel::render {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class RenderApp : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("vantorel-render-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path file(const std::string& name) const { return folder_ / name; }

    fs::path writeScene(const std::string& name, const std::string& lens) const {
        const fs::path path = file(name);
        writeWholeFile(path, R"({
  "image": {"width": 40, "height": 30, "samples": 2},
  "animation": {"motion_steps": 1},
  "camera": {"position": [0, 1, -4], "look_at": [0, 0.5, 0], "f_stop": 2, "focus_distance": 4},
  "lens": )" + lens + R"(,
  "objects": [
    {"type": "plane", "point": [0, 0, 0], "normal": [0, 1, 0],
     "texture": {"type": "checker", "size": 0.5, "colors": [[0.8, 0.8, 0.8], [0.2, 0.2, 0.2]]}},
    {"type": "sphere", "center": [0.3, 0.5, 0], "radius": 0.5, "velocity": [2, 0, 0]}
  ]
})");
        return path;
    }

    std::string run(Options options) const {
        std::ostringstream out;
        EXPECT_EQ(runRenderer(options, out), 0);
        return out.str();
    }

    fs::path folder_;
};

Options optionsFor(const fs::path& scene, const fs::path& output) {
    Options options;
    options.scenePath = scene;
    options.output = output;
    options.threads = 2;
    return options;
}

std::pair<unsigned, unsigned> pngSize(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << path;
    png_image_free(&image);
    return {image.width, image.height};
}

constexpr const char* kLensEffects = R"({"zoom_factor": 2.5, "horizontal_shift": 0.1,
    "distortion": [{"time": 0, "value": 0.2}, {"time": 1, "value": 0.9}], "vignetting": 0.8})";

TEST_F(RenderApp, ACameraSavedToAFileAndLoadedBackRendersTheSamePicture) {
    Options saving = optionsFor(writeScene("effects.json", kLensEffects), file("saved.png"));
    saving.saveCamera = file("camera.txt");
    saving.linear16 = true;
    run(saving);

    Options loading = optionsFor(writeScene("plain.json", "{}"), file("loaded.png"));
    loading.loadCamera = file("camera.txt");
    loading.linear16 = true;
    run(loading);
    Options plain = optionsFor(file("plain.json"), file("plain.png"));
    plain.linear16 = true;
    run(plain);

    EXPECT_EQ(readWholeFile(file("loaded.png")), readWholeFile(file("saved.png")));
    EXPECT_NE(readWholeFile(file("plain.png")), readWholeFile(file("saved.png")));
}

TEST_F(RenderApp, AMalformedSceneWritesNothing) {
    const fs::path scene = writeScene("bad.json", R"({"vignetting": 2})");
    Options options = optionsFor(scene, file("out/picture.png"));
    options.saveCamera = file("out/camera.txt");
    std::ostringstream out;
    try {
        runRenderer(options, out);
        ADD_FAILURE() << "the scene was accepted";
    } catch (const SceneError& error) {
        EXPECT_EQ(std::string(error.what()), scene.string() + ":5: lens.vignetting: must be at "
                                                              "most 1 (got 2)");
    }
    EXPECT_FALSE(fs::exists(file("out")));
}

TEST_F(RenderApp, ADamagedCameraFileIsRefusedAndNothingIsWritten) {
    struct Damage {
        const char* contents;
        const char* error;
    };
    const fs::path scene = writeScene("scene.json", "{}");
    for (const Damage& damage :
         {Damage{"17224 0 2\n0 0 0\nnot-a-number\n", ":3: not a saved camera state"},
          Damage{"17224 5 0\n", "the camera could not load this state"}}) {
        writeWholeFile(file("camera.txt"), damage.contents);
        Options options = optionsFor(scene, file("out/picture.png"));
        options.loadCamera = file("camera.txt");
        std::ostringstream out;
        try {
            runRenderer(options, out);
            ADD_FAILURE() << "accepted " << damage.contents;
        } catch (const CameraError& error) {
            EXPECT_NE(std::string(error.what()).find(damage.error), std::string::npos)
                << error.what();
        }
        EXPECT_FALSE(fs::exists(file("out")));
    }
}

TEST_F(RenderApp, EachFrameOfAnAnimationGetsItsOwnFile) {
    Options options = optionsFor(writeScene("scene.json", kLensEffects), file("anim/shot.png"));
    options.frames = 3;
    const std::string summary = run(options);

    for (const char* name : {"shot_0000.png", "shot_0001.png", "shot_0002.png"}) {
        EXPECT_EQ(pngSize(file("anim") / name), std::pair(40u, 30u)) << name;
    }
    EXPECT_FALSE(fs::exists(file("anim/shot.png")));
    // Distortion is keyed over the second: the frames differ.
    EXPECT_NE(readWholeFile(file("anim/shot_0000.png")), readWholeFile(file("anim/shot_0002.png")));
    EXPECT_NE(summary.find("40 x 30, 2 samples per pixel, 3 frames"), std::string::npos);
    EXPECT_NE(summary.find("Focal Length 30.0mm"), std::string::npos) << summary;
}

TEST_F(RenderApp, TheGalleryIsASheetOfTenLabelledCells) {
    Options options;
    options.gallery = true;
    options.output = file("gallery.png");
    options.width = 30;
    options.height = 20;
    options.samples = 1;
    run(options);

    // Five cells across and two down, each with room for its label.
    const auto [width, height] = pngSize(file("gallery.png"));
    EXPECT_EQ(width, 5u * (30 + 6) + 6);
    EXPECT_EQ(height, 2u * (20 + 14 + 12) + 6);
}

TEST_F(RenderApp, AFolderAsOutputReceivesThePictureUnderItsDefaultName) {
    fs::create_directories(file("pictures"));
    run(optionsFor(writeScene("scene.json", "{}"), file("pictures")));
    EXPECT_EQ(pngSize(file("pictures/vantorel.png")), std::pair(40u, 30u));
}

TEST(FramePath, NumbersFramesOnlyWhenThereAreSeveral) {
    EXPECT_EQ(framePath("out/a.png", 0, 1), fs::path("out/a.png"));
    EXPECT_EQ(framePath("out/a.png", 7, 24), fs::path("out/a_0007.png"));
    EXPECT_EQ(framePath("shot", 12, 24), fs::path("shot_0012"));
}

} // namespace
} // namespace vantorel::render
