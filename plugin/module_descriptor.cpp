// The one symbol the module exports: the descriptor the host reads after loading the file. It
// names the interface generation, start-up and shutdown, and the two servers, which share one
// name and one tag list and differ only in class.
#include "plugin/plugin.h"

#if defined(_WIN32)
#define VANTOREL_EXPORT __declspec(dllexport)
#else
#define VANTOREL_EXPORT __attribute__((visibility("default")))
#endif

namespace vantorel {

namespace {

const ServerTag kServerTags[] = {
    {"Vantorel 0.1.5", 0},
    {nullptr, 0},
};

const ServerRecord kServers[] = {
    {CAMERA_HANDLER_CLASS, kServerName, handlerActivate, kServerTags},
    {CAMERA_INTERFACE_CLASS, kServerName, interfaceActivate, kServerTags},
    {nullptr, nullptr, nullptr, nullptr},
};

constexpr uintptr_t kStartupToken = 4;

} // namespace

void* moduleStartup() noexcept {
    return reinterpret_cast<void*>(kStartupToken);
}

} // namespace vantorel

extern "C" {
VANTOREL_EXPORT extern const ModuleDescriptor _mod_descrip;
const ModuleDescriptor _mod_descrip = {
    MODULE_SYNCHRONISATION,  MODULE_SYSTEM_VERSION,  MODULE_MACHINE_CODE,
    vantorel::moduleStartup, vantorel::noOpCallback, vantorel::kServers,
};
}
