#include "render/render_app.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>

#include "render/default_scene.h"
#include "render/files.h"
#include "render/gallery.h"
#include "render/png_output.h"
#include "render/progress.h"
#include "render/scene_json.h"

namespace vantorel::render {

namespace {

constexpr int kGalleryCellWidth = 240;
constexpr int kGalleryCellHeight = 160;

// Picture size, rays and time of a run, for the closing summary.
struct Totals {
    int width = 0;
    int height = 0;
    int samples = 0;
    uint64_t rays = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

void checkCompatible(const Options& options) {
    if (options.gallery && (options.saveCamera || options.loadCamera || options.frames)) {
        throw CommandLineError("--gallery renders its own settings of one frame: it does not "
                               "combine with --frames, --save-camera or --load-camera");
    }
}

Scene sceneFor(const Options& options) {
    Scene scene = options.scenePath ? loadSceneFile(*options.scenePath) : defaultScene();
    if (options.gallery) {
        scene.image.width = kGalleryCellWidth;
        scene.image.height = kGalleryCellHeight;
    }
    scene.image.width = options.width.value_or(scene.image.width);
    scene.image.height = options.height.value_or(scene.image.height);
    scene.image.samplesPerPixel = options.samples.value_or(scene.image.samplesPerPixel);
    scene.animation.frames = options.frames.value_or(scene.animation.frames);
    return scene;
}

// The file to write: --output names it, or names the folder it goes in.
std::filesystem::path outputPath(const Options& options, const char* defaultName) {
    if (!options.output) {
        return std::filesystem::path("out") / defaultName;
    }
    const std::filesystem::path& output = *options.output;
    if (std::filesystem::is_directory(output) || !output.has_filename()) {
        return output / defaultName;
    }
    return output;
}

PngEncoding encodingFor(const Options& options) {
    return options.linear16 ? PngEncoding::Linear16 : PngEncoding::Srgb8;
}

FrameResult renderWithProgress(CameraConnection& camera, const Scene& scene, int frame,
                               const Options& options, ProgressReporter& progress,
                               const std::string& label, Totals& totals) {
    FrameResult result = renderThroughCamera(
        camera, scene, frame, options.seed, options.threads.value_or(defaultThreadCount()),
        [&](double fraction) { progress.update(label, fraction); });
    progress.finish();
    if (result.refusedRays > 0) {
        throw CameraError("the camera wrote no ray for " + std::to_string(result.refusedRays) +
                          " of " + std::to_string(result.cameraRays) + " samples");
    }
    totals.rays += result.cameraRays;
    return result;
}

void printSummary(std::ostream& out, const Totals& totals, const std::string& pictures,
                  const std::string& focalLengthLine, const std::string& written) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - totals.start).count();
    char rate[64];
    std::snprintf(rate, sizeof rate, "%.2f s, %.2f M camera rays/s", seconds,
                  totals.rays / std::max(seconds, 1e-9) / 1e6);
    out << "image   " << totals.width << " x " << totals.height << ", " << totals.samples
        << " samples per pixel, " << pictures << "\n"
        << "rays    " << totals.rays << " in " << rate << "\n";
    if (!focalLengthLine.empty()) {
        out << "lens    " << focalLengthLine << "\n";
    }
    out << "wrote   " << written << "\n";
}

int renderGallery(const Options& options, const Scene& scene, CameraConnection& camera,
                  std::ostream& out) {
    Totals totals{scene.image.width, scene.image.height, scene.image.samplesPerPixel};
    ProgressReporter progress = consoleProgress();
    const std::vector<GalleryCell> cells = galleryCells(scene);
    std::vector<Image> images;
    std::vector<std::string> labels;
    for (size_t i = 0; i < cells.size(); ++i) {
        camera.stage(cells[i].scene);
        const std::string label = "cell " + std::to_string(i + 1) + "/" +
                                  std::to_string(cells.size()) + " " + cells[i].label;
        images.push_back(
            renderWithProgress(camera, cells[i].scene, 0, options, progress, label, totals).image);
        labels.push_back(cells[i].label);
    }
    const std::filesystem::path output = outputPath(options, "gallery.png");
    writePng(contactSheet(images, labels, kGalleryColumns), output, encodingFor(options));
    printSummary(out, totals, std::to_string(cells.size()) + " gallery cells",
                 camera.focalLengthLine(), output.string());
    return 0;
}

int renderFrames(const Options& options, const Scene& scene, CameraConnection& camera,
                 std::ostream& out) {
    camera.stage(scene);
    if (options.loadCamera) {
        camera.loadState(readWholeFile(*options.loadCamera), options.loadCamera->string());
    }
    if (options.saveCamera) {
        writeWholeFile(*options.saveCamera, camera.saveState());
    }
    Totals totals{scene.image.width, scene.image.height, scene.image.samplesPerPixel};
    ProgressReporter progress = consoleProgress();
    const std::filesystem::path output = outputPath(options, "vantorel.png");
    const int frames = scene.animation.frames;
    for (int frame = 0; frame < frames; ++frame) {
        const std::string label =
            "frame " + std::to_string(frame + 1) + "/" + std::to_string(frames);
        const FrameResult result =
            renderWithProgress(camera, scene, frame, options, progress, label, totals);
        writePng(result.image, framePath(output, frame, frames), encodingFor(options));
    }
    const std::string written = frames == 1
                                    ? output.string()
                                    : framePath(output, 0, frames).string() + " ... " +
                                          framePath(output, frames - 1, frames).filename().string();
    printSummary(out, totals, std::to_string(frames) + (frames == 1 ? " frame" : " frames"),
                 camera.focalLengthLine(), written);
    return 0;
}

} // namespace

FrameResult renderThroughCamera(CameraConnection& camera, const Scene& scene, int frame,
                                uint64_t seed, int threads,
                                const std::function<void(double)>& onProgress) {
    FrameRequest request;
    request.scene = &scene;
    request.frame = camera.beginFrame(frame);
    request.camera = camera.rayCamera();
    request.seed = seed;
    request.threads = threads;
    request.onProgress = onProgress;
    return renderFrame(request);
}

std::filesystem::path framePath(const std::filesystem::path& output, int frame, int frameCount) {
    if (frameCount == 1) {
        return output;
    }
    char number[16];
    std::snprintf(number, sizeof number, "_%04d", frame);
    std::filesystem::path path = output;
    path.replace_filename(output.stem().string() + number + output.extension().string());
    return path;
}

int runRenderer(const Options& options, std::ostream& out) {
    checkCompatible(options);
    const Scene scene = sceneFor(options);
    CameraConnection camera(options.modulePath.value_or(defaultModulePath()));
    return options.gallery ? renderGallery(options, scene, camera, out)
                           : renderFrames(options, scene, camera, out);
}

} // namespace vantorel::render
