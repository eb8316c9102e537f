// The camera module as the renderer reaches it: loaded from its file through the stand-in host
// exactly as a host loads it (descriptor, start-up, activation of both servers), one camera item
// and one camera instance, and from then on only the tables the module filled in.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "host/host_interface.h"
#include "render/frame_renderer.h"
#include "render/scene.h"
#include "stand_in_host/module_loader.h"
#include "stand_in_host/stand_in_host.h"

namespace vantorel::render {

class CameraError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CameraConnection {
public:
    // Loads the module and activates its camera handler. Throws CameraError naming the file
    // when it is missing or not a usable camera module.
    explicit CameraConnection(const std::filesystem::path& modulePath);
    ~CameraConnection();
    CameraConnection(const CameraConnection&) = delete;
    CameraConnection& operator=(const CameraConnection&) = delete;

    // A new camera item animated as the scene's camera, a new instance of the camera on it with
    // its five parameters keyed as the scene's lens, and the instance's panel. Replaces the
    // previous instance.
    void stage(const Scene& scene);

    // Moves the host to the frame and hands the instance the frame; throws CameraError with the
    // module's text when it refuses. Returns the frame as the instance was given it.
    FrameInfo beginFrame(int frame);

    // Valid between beginFrame and the next stage or beginFrame.
    RayCamera rayCamera() const { return {handler_.evaluate, instance_}; }

    // The panel's focal-length line at the current time; empty when the module gave no panel.
    std::string focalLengthLine();

    // The camera's state, written by the module's save in the host's text encoding.
    std::string saveState();
    // Restores a state saveState wrote; sourceName names it in errors.
    void loadState(const std::string& text, const std::string& sourceName);

private:
    void keyCameraItem(const Scene& scene);
    void keyLensChannels(const LensTracks& lens);
    void openPanel();
    void destroyInstance();

    standin::StandInHost host_;
    standin::LoadedModule module_;
    const ServerRecord* interfaceServer_ = nullptr;
    InstanceFuncs instanceFuncs_{};
    CameraHandlerRecord handler_{};
    ItemHandle cameraItem_ = nullptr;
    void* instance_ = nullptr;
    PanelHandle panel_ = nullptr;
};

// The file the renderer loads when none is named: the module built with it.
std::filesystem::path defaultModulePath();

} // namespace vantorel::render
