#include "tools/host_view/module_report.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "stand_in_host/module_loader.h"
#include "stand_in_host/number_text.h"
#include "stand_in_host/stand_in_host.h"
#include "tools/host_view/command_line.h"

namespace vantorel::inspect {

namespace {

using standin::LoadedModule;
using standin::numberText;

constexpr int kFrame = 0;

std::string hexWord(std::uint64_t word, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(word));
    return text;
}

std::string quoted(const char* text) {
    return text ? "\"" + std::string(text) + "\"" : "(none)";
}

std::string activationMeaning(int result) {
    switch (result) {
    case ACTIVATE_OK:
        return "accepted";
    case ACTIVATE_BAD_VERSION:
        return "wrong version";
    case ACTIVATE_MISSING_SERVICE:
        return "a service is missing";
    default:
        return "not a known result";
    }
}

void showDescriptor(const LoadedModule& module, std::ostream& out) {
    const ModuleDescriptor& descriptor = module.descriptor();
    out << "Descriptor\n"
        << "  synchronisation word  " << hexWord(descriptor.synchronisation, 8) << '\n'
        << "  system version        " << descriptor.systemVersion << '\n'
        << "  machine code          " << hexWord(descriptor.machineCode, 3) << '\n'
        << "  start-up token        "
        << hexWord(reinterpret_cast<std::uintptr_t>(module.startupToken()), 1) << '\n';
}

void showServers(const LoadedModule& module, std::ostream& out) {
    out << "\nServers\n";
    const auto servers = module.servers();
    if (servers.empty()) {
        out << "  (none)\n";
    }
    for (const ServerRecord* server : servers) {
        out << "  " << (server->className ? server->className : "(no class)") << ' '
            << quoted(server->serverName) << '\n';
        for (const ServerTag* tag : LoadedModule::tags(*server)) {
            out << "    tag " << quoted(tag->text) << ' ' << tag->tag << '\n';
        }
    }
}

std::string vectorText(const double* values, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += (i ? " " : "") + numberText(values[i]);
    }
    return text;
}

// A ray as the host hands it over; the filter holds not-a-number until the camera writes it.
CameraRay unwrittenRay() {
    CameraRay ray{};
    for (double& value : ray.filter) {
        value = std::numeric_limits<double>::quiet_NaN();
    }
    return ray;
}

bool filterWritten(const CameraRay& ray) {
    for (double value : ray.filter) {
        if (!std::isnan(value)) {
            return true;
        }
    }
    return false;
}

// One camera of the module on the stand-in host's default camera item, from activation to the
// first frame's centre ray. Each step prints what the host saw; a failed step says why.
class CameraShow {
public:
    CameraShow(const LoadedModule& module, standin::StandInHost& host, std::ostream& out)
        : module_(module), host_(host), out_(out), camera_(host.addCamera("Camera")) {}
    CameraShow(const CameraShow&) = delete;
    CameraShow& operator=(const CameraShow&) = delete;

    // The instance belongs to the module, so it goes before the module is unloaded.
    ~CameraShow() {
        if (instance_) {
            instanceFuncs_.destroy(instance_);
        }
    }

    std::optional<std::string> run() {
        out_ << "\nActivation\n";
        if (auto problem = activateHandler()) {
            return problem;
        }
        if (auto problem = createInstance()) {
            return problem;
        }
        if (auto problem = activateInterface()) {
            return problem;
        }
        if (auto problem = showFrame()) {
            return problem;
        }
        showPanel();
        showRay();
        return std::nullopt;
    }

private:
    const ServerRecord* findServer(const char* className) const {
        for (const ServerRecord* server : module_.servers()) {
            if (server->className && std::string(server->className) == className) {
                return server;
            }
        }
        return nullptr;
    }

    std::optional<std::string> reportActivation(const ServerRecord& server, int version,
                                                void* record) {
        const int result = LoadedModule::activate(server, version, record);
        out_ << "  " << server.className << ' ' << quoted(server.serverName) << ", version "
             << version << ": " << result << " (" << activationMeaning(result) << ")\n";
        if (result != ACTIVATE_OK) {
            return std::string("the module's ") + server.className + " server refused activation";
        }
        return std::nullopt;
    }

    std::optional<std::string> activateHandler() {
        handlerServer_ = findServer(CAMERA_HANDLER_CLASS);
        if (!handlerServer_) {
            return std::string("the module offers no ") + CAMERA_HANDLER_CLASS + " server";
        }
        if (auto problem = reportActivation(*handlerServer_, CAMERA_HANDLER_VERSION, &handler_)) {
            return problem;
        }
        if (!instanceFuncs_.create || !instanceFuncs_.destroy || !instanceFuncs_.describe ||
            !handler_.newFrame || !handler_.evaluate || !handler_.flags) {
            return std::string("the camera handler left functions out of its tables");
        }
        return std::nullopt;
    }

    std::optional<std::string> createInstance() {
        const char* error = nullptr;
        instance_ = instanceFuncs_.create(instanceFuncs_.privateData, camera_, &error);
        if (!instance_) {
            return std::string("the camera could not be created: ") +
                   (error ? error : "no reason given");
        }
        return std::nullopt;
    }

    std::optional<std::string> activateInterface() {
        const auto found = module_.findServer(
            CAMERA_INTERFACE_CLASS, handlerServer_->serverName ? handlerServer_->serverName : "");
        if (!found) {
            return std::string("the module offers no ") + CAMERA_INTERFACE_CLASS +
                   " server of the handler's name";
        }
        interface_.inst = instance_;
        if (auto problem =
                reportActivation(*found.value(), CAMERA_INTERFACE_VERSION, &interface_)) {
            return problem;
        }
        if (!host_.panel(interface_.panel)) {
            return std::string("the camera interface built no panel");
        }
        return std::nullopt;
    }

    std::optional<std::string> showFrame() {
        const standin::SceneItem& item = host_.item(camera_);
        out_ << "\nCamera on a default camera item (film " << numberText(item.filmWidth * 1000.0)
             << " x " << numberText(item.filmHeight * 1000.0) << " mm, zoom factor "
             << numberText(item.zoomFactor.valueAt(0.0)) << "), frame " << kFrame << '\n'
             << "  describe   " << quoted(instanceFuncs_.describe(instance_)) << '\n'
             << "  flags      " << handler_.flags(instance_) << '\n';
        const FrameInfo frame = host_.frameInfo(kFrame);
        const CameraAccess access = host_.cameraAccess(camera_);
        if (const char* failure = handler_.newFrame(instance_, &frame, &access)) {
            out_ << "  new frame  " << quoted(failure) << '\n';
            return std::string("the camera refused frame ") + std::to_string(kFrame) + ": " +
                   failure;
        }
        out_ << "  new frame  accepted\n";
        return std::nullopt;
    }

    void showPanel() {
        out_ << "\nPanel\n";
        const std::string text = host_.panelText(interface_.panel);
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find('\n', start);
            out_ << "  " << text.substr(start, end - start) << '\n';
            start = end == std::string::npos ? text.size() : end + 1;
        }
    }

    void showRay() {
        CameraRay ray = unwrittenRay();
        const int result = handler_.evaluate(instance_, 0.0, 0.0, 0.0, 0.0, 0.0, &ray);
        out_ << "\nRay through the film centre and the lens centre at the start of the frame\n"
             << "  evaluate     " << result << '\n';
        if (result == 0) {
            return;
        }
        out_ << "  origin       " << vectorText(ray.origin, 3) << '\n'
             << "  direction    " << vectorText(ray.direction, 3) << '\n'
             << "  film normal  " << vectorText(ray.filmNormal, 3) << '\n'
             << "  filter       "
             << (filterWritten(ray) ? vectorText(ray.filter, 9) : "left as the host set it")
             << '\n';
    }

    const LoadedModule& module_;
    standin::StandInHost& host_;
    std::ostream& out_;
    ItemHandle camera_;
    const ServerRecord* handlerServer_ = nullptr;
    InstanceFuncs instanceFuncs_{};
    CameraHandlerRecord handler_{&instanceFuncs_, nullptr, nullptr, nullptr,
                                 nullptr,         nullptr, nullptr};
    CameraInterfaceRecord interface_{};
    void* instance_ = nullptr;
};

} // namespace

int exitCodeFor(standin::ModuleError error) {
    switch (error) {
    case standin::ModuleError::FileMissing:
        return kExitFileMissing;
    case standin::ModuleError::NotLoadable:
        return kExitNotAModule;
    case standin::ModuleError::NoDescriptor:
        return kExitNoDescriptor;
    case standin::ModuleError::WrongSynchronisation:
        return kExitWrongSynchronisation;
    case standin::ModuleError::WrongVersion:
        return kExitWrongSystemVersion;
    case standin::ModuleError::StartupFailed:
        return kExitStartupFailed;
    case standin::ModuleError::ServerNotFound:
        return kExitCameraUnusable;
    }
    return kExitInternalError;
}

standin::Result<LoadedModule> openModuleReporting(const std::filesystem::path& file,
                                                  std::ostream& err) {
    auto opened = LoadedModule::open(file);
    if (!opened) {
        const standin::ModuleFailure& failure = opened.failure();
        err << "vantorel-inspect: " << failure.detail << " (" << standin::errorName(failure.error)
            << ")\n";
    }
    return opened;
}

int inspectModule(const std::filesystem::path& file, std::ostream& out, std::ostream& err) {
    standin::StandInHost host;
    auto opened = openModuleReporting(file, err);
    if (!opened) {
        return exitCodeFor(opened.failure().error);
    }
    const LoadedModule& module = opened.value();
    out << "Module file " << file.string() << "\n\n";
    showDescriptor(module, out);
    showServers(module, out);

    CameraShow camera(module, host, out);
    if (auto problem = camera.run()) {
        err << "vantorel-inspect: " << file.string() << ": " << *problem << '\n';
        return kExitCameraUnusable;
    }
    return kExitOk;
}

} // namespace vantorel::inspect
