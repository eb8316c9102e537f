#include "stand_in_host/module_loader.h"

#include <cstdio>
#include <optional>
#include <system_error>

#include "stand_in_host/stand_in_host.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vantorel::standin {

namespace {

constexpr std::size_t kMaxServers = 256;

// ---- The platform's library loader ----

#ifdef _WIN32
void* openLibrary(const std::filesystem::path& file, std::string& error) {
    HMODULE library = LoadLibraryA(file.string().c_str());
    if (!library) {
        error = "the system could not load it (error " + std::to_string(GetLastError()) + ")";
    }
    return reinterpret_cast<void*>(library);
}

void* findSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}
#else
void* openLibrary(const std::filesystem::path& file, std::string& error) {
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = reason ? reason : "the system could not load it";
    }
    return library;
}

void* findSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void closeLibrary(void* library) {
    dlclose(library);
}
#endif

std::string hexWord(std::uint32_t word) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(word));
    return text;
}

bool sameText(const char* text, std::string_view expected) {
    return text && std::string_view(text) == expected;
}

ModuleFailure failure(ModuleError error, const std::filesystem::path& file, std::string detail) {
    return ModuleFailure{error, file.string() + ": " + detail};
}

// Checks what the descriptor says before any of its functions is called.
std::optional<ModuleFailure> checkDescriptor(const ModuleDescriptor* descriptor,
                                             const std::filesystem::path& file) {
    if (!descriptor) {
        return failure(ModuleError::NoDescriptor, file,
                       std::string("no ") + MODULE_DESCRIPTOR_SYMBOL + " symbol");
    }
    if (descriptor->synchronisation != MODULE_SYNCHRONISATION) {
        return failure(ModuleError::WrongSynchronisation, file,
                       "synchronisation word " + hexWord(descriptor->synchronisation) +
                           ", expected " + hexWord(MODULE_SYNCHRONISATION));
    }
    if (descriptor->systemVersion != MODULE_SYSTEM_VERSION) {
        return failure(ModuleError::WrongVersion, file,
                       "system version " + std::to_string(descriptor->systemVersion) +
                           ", expected " + std::to_string(MODULE_SYSTEM_VERSION));
    }
    if (!descriptor->startup) {
        return failure(ModuleError::StartupFailed, file, "no start-up function");
    }
    return std::nullopt;
}

} // namespace

std::string_view errorName(ModuleError error) {
    switch (error) {
    case ModuleError::FileMissing:
        return "file missing";
    case ModuleError::NotLoadable:
        return "not a loadable module";
    case ModuleError::NoDescriptor:
        return "no module descriptor";
    case ModuleError::WrongSynchronisation:
        return "wrong synchronisation word";
    case ModuleError::WrongVersion:
        return "wrong system version";
    case ModuleError::StartupFailed:
        return "start-up failed";
    case ModuleError::ServerNotFound:
        return "server not found";
    }
    return "unknown error";
}

Result<LoadedModule> LoadedModule::open(const std::filesystem::path& file) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(file, ignored)) {
        return failure(ModuleError::FileMissing, file, "no such file");
    }
    // A bare file name would send the loader searching the system's library paths.
    const std::filesystem::path absolute = std::filesystem::absolute(file, ignored);
    std::string reason;
    void* library = openLibrary(absolute.empty() ? file : absolute, reason);
    if (!library) {
        return failure(ModuleError::NotLoadable, file, reason);
    }
    const auto* descriptor =
        static_cast<const ModuleDescriptor*>(findSymbol(library, MODULE_DESCRIPTOR_SYMBOL));
    if (auto problem = checkDescriptor(descriptor, file)) {
        closeLibrary(library);
        return std::move(*problem);
    }
    void* token = descriptor->startup();
    if (!token) {
        closeLibrary(library);
        return failure(ModuleError::StartupFailed, file, "start-up gave no token");
    }
    return LoadedModule(library, descriptor, token);
}

LoadedModule::LoadedModule(void* library, const ModuleDescriptor* descriptor, void* startupToken)
    : library_(library), descriptor_(descriptor), startupToken_(startupToken) {}

LoadedModule::LoadedModule(LoadedModule&& other) noexcept
    : library_(std::exchange(other.library_, nullptr)), descriptor_(other.descriptor_),
      startupToken_(other.startupToken_) {}

LoadedModule& LoadedModule::operator=(LoadedModule&& other) noexcept {
    if (this != &other) {
        close();
        library_ = std::exchange(other.library_, nullptr);
        descriptor_ = other.descriptor_;
        startupToken_ = other.startupToken_;
    }
    return *this;
}

LoadedModule::~LoadedModule() {
    close();
}

void LoadedModule::close() {
    if (!library_) {
        return;
    }
    if (descriptor_->shutdown) {
        descriptor_->shutdown(startupToken_);
    }
    closeLibrary(std::exchange(library_, nullptr));
}

std::vector<const ServerRecord*> LoadedModule::servers() const {
    std::vector<const ServerRecord*> found;
    const ServerRecord* list = descriptor_->servers;
    for (std::size_t i = 0; list && i < kMaxServers; ++i) {
        const ServerRecord& server = list[i];
        if (!server.className && !server.serverName && !server.activate && !server.tags) {
            break;
        }
        found.push_back(&server);
    }
    return found;
}

std::vector<const ServerTag*> LoadedModule::tags(const ServerRecord& server) {
    std::vector<const ServerTag*> found;
    for (std::size_t i = 0; server.tags && i < kMaxServers; ++i) {
        const ServerTag& tag = server.tags[i];
        if (!tag.text && tag.tag == 0) {
            break;
        }
        found.push_back(&tag);
    }
    return found;
}

Result<const ServerRecord*> LoadedModule::findServer(std::string_view className,
                                                     std::string_view serverName) const {
    for (const ServerRecord* server : servers()) {
        if (sameText(server->className, className) && sameText(server->serverName, serverName)) {
            return server;
        }
    }
    return ModuleFailure{ModuleError::ServerNotFound, "no server of class " +
                                                          std::string(className) + " named " +
                                                          std::string(serverName)};
}

int LoadedModule::activate(const ServerRecord& server, int version, void* local, void* serverData) {
    if (!server.activate) {
        return -1;
    }
    return server.activate(version, StandInHost::globalLookup(), local, serverData);
}

} // namespace vantorel::standin
