#include "render/camera_connection.h"

#include <charconv>
#include <numbers>
#include <sstream>
#include <vector>

#include "stand_in_host/state_stream.h"

namespace vantorel::render {

namespace {

constexpr const char* kServerName = "Vantorel0.1.5";
constexpr uint32_t kFocalLengthLineId = 0x8002;

standin::LoadedModule openModule(const std::filesystem::path& path) {
    auto opened = standin::LoadedModule::open(path);
    if (!opened) {
        const standin::ModuleFailure& failure = opened.failure();
        throw CameraError("cannot load the camera module " + path.string() + ": " +
                          std::string(standin::errorName(failure.error)) +
                          (failure.detail.empty() ? "" : " (" + failure.detail + ")"));
    }
    return std::move(opened.value());
}

const ServerRecord* findServer(const standin::LoadedModule& module, const char* className) {
    auto found = module.findServer(className, kServerName);
    if (!found) {
        throw CameraError(std::string("the module offers no ") + className + " \"" + kServerName +
                          "\"");
    }
    return found.value();
}

// The stand-in host keeps channel keys in double precision but stores them in single precision;
// keys set at single precision make a saved and reloaded camera render exactly the same picture.
double storable(double value) {
    return static_cast<float>(value);
}

standin::Vec3 toHost(Vec3 v) {
    return {v.x, v.y, v.z};
}

double radians(double degrees) {
    return degrees * (std::numbers::pi / 180.0);
}

// The host's text encoding: floats separated by spaces, one line per write. Each line is
// written again as it was read, so the stream holds what the module's save wrote.
standin::StateStream streamFromText(const std::string& text, const std::string& sourceName) {
    standin::StateStream stream(STATE_ENCODING_TEXT);
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::vector<float> values;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            float value = 0.0f;
            const auto [end, error] =
                std::from_chars(word.data(), word.data() + word.size(), value);
            if (error != std::errc() || end != word.data() + word.size()) {
                throw CameraError(sourceName + ":" + std::to_string(number) +
                                  ": not a saved camera state (\"" + word + "\" is not a number)");
            }
            values.push_back(value);
        }
        if (!values.empty()) {
            stream.write(values);
        }
    }
    return stream;
}

} // namespace

std::filesystem::path defaultModulePath() {
    return VANTOREL_DEFAULT_MODULE;
}

CameraConnection::CameraConnection(const std::filesystem::path& modulePath)
    : module_(openModule(modulePath)) {
    // Every host call of a long render would otherwise be kept.
    host_.log().setRecording(false);
    const ServerRecord* handlerServer = findServer(module_, CAMERA_HANDLER_CLASS);
    interfaceServer_ = findServer(module_, CAMERA_INTERFACE_CLASS);
    handler_.inst = &instanceFuncs_;
    const int result =
        standin::LoadedModule::activate(*handlerServer, CAMERA_HANDLER_VERSION, &handler_);
    if (result != ACTIVATE_OK) {
        throw CameraError("the camera handler refused activation (result " +
                          std::to_string(result) + ")");
    }
}

CameraConnection::~CameraConnection() {
    destroyInstance();
}

void CameraConnection::destroyInstance() {
    if (instance_) {
        instanceFuncs_.destroy(instance_);
        instance_ = nullptr;
    }
    panel_ = nullptr;
}

void CameraConnection::stage(const Scene& scene) {
    destroyInstance();
    cameraItem_ = host_.addCamera("Camera");
    keyCameraItem(scene);
    host_.frameTiming() = {scene.animation.framesPerSecond, scene.animation.shutter,
                           scene.animation.motionSteps};
    host_.goToFrame(0);

    const char* error = nullptr;
    instance_ = instanceFuncs_.create(instanceFuncs_.privateData, cameraItem_, &error);
    if (!instance_) {
        throw CameraError(std::string("the camera refused to create an instance: ") +
                          (error ? error : "no reason given"));
    }
    keyLensChannels(scene.lens);
    openPanel();
}

void CameraConnection::keyCameraItem(const Scene& scene) {
    standin::SceneItem& item = host_.item(cameraItem_);
    for (const Key<CameraState>& key : scene.camera.keys) {
        const CameraState& state = key.value;
        item.position.setKey(key.time, toHost(state.position));
        const Vec3& hpb = state.headingPitchBank;
        standin::setAxesKey(
            item, key.time,
            standin::axesFromHeadingPitchBank(radians(hpb.x), radians(hpb.y), radians(hpb.z)));
        item.zoomFactor.setKey(key.time, state.zoom);
        item.focusDistance.setKey(key.time, state.focusDistance);
        item.fStop.setKey(key.time, state.fStop);
    }
    item.imageWidth = scene.image.width;
    item.imageHeight = scene.image.height;
    item.filmWidth = scene.film.width;
    item.filmHeight = scene.film.height;
    item.pixelAspect =
        (scene.film.width / scene.image.width) / (scene.film.height / scene.image.height);
}

void CameraConnection::keyLensChannels(const LensTracks& lens) {
    // The module's channels, in their fixed order, found by name in the camera item's group.
    const struct {
        const char* name;
        const Track<double>& track;
    } parameters[] = {{"ZoomFactor", lens.zoomFactor},
                      {"HShift", lens.horizontalShift},
                      {"VShift", lens.verticalShift},
                      {"Distortion", lens.distortion},
                      {"Vignetting", lens.vignetting}};
    const ChannelGroupHandle group = host_.channelGroupOf(cameraItem_);
    for (const auto& parameter : parameters) {
        standin::Channel* channel = host_.findChannel(group, parameter.name);
        if (!channel) {
            throw CameraError(std::string("the camera instance has no channel ") + parameter.name);
        }
        channel->clearKeys();
        for (const Key<double>& key : parameter.track.keys) {
            channel->setKey(storable(key.time), storable(key.value));
        }
    }
}

void CameraConnection::openPanel() {
    CameraInterfaceRecord record{instance_, nullptr, nullptr, nullptr};
    const int result =
        standin::LoadedModule::activate(*interfaceServer_, CAMERA_INTERFACE_VERSION, &record);
    panel_ = result == ACTIVATE_OK ? record.panel : nullptr;
}

FrameInfo CameraConnection::beginFrame(int frame) {
    host_.goToFrame(frame);
    const FrameInfo info = host_.frameInfo(frame);
    const CameraAccess access = host_.cameraAccess(cameraItem_);
    if (const char* error = handler_.newFrame(instance_, &info, &access)) {
        throw CameraError(std::string("the camera refused frame ") + std::to_string(frame) + ": " +
                          error);
    }
    return info;
}

std::string CameraConnection::focalLengthLine() {
    const standin::Panel* panel = host_.panel(panel_);
    const auto* line = panel ? static_cast<const char*>(panel->value(kFocalLengthLineId)) : nullptr;
    return line ? line : "";
}

std::string CameraConnection::saveState() {
    standin::StateStream stream(STATE_ENCODING_TEXT);
    const SaveState state = stream.saveState();
    if (const char* error = instanceFuncs_.save(instance_, &state)) {
        throw CameraError(std::string("the camera could not save its state: ") + error);
    }
    return stream.bytes();
}

void CameraConnection::loadState(const std::string& text, const std::string& sourceName) {
    const standin::StateStream stream = streamFromText(text, sourceName);
    standin::StreamReader reader(stream);
    const LoadState state = reader.loadState();
    if (const char* error = instanceFuncs_.load(instance_, &state)) {
        throw CameraError(sourceName + ": the camera could not load this state: " + error);
    }
    if (!reader.atEnd()) {
        throw CameraError(sourceName + ": more data than one camera's state");
    }
}

} // namespace vantorel::render
