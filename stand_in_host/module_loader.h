// Loading a module file as the host does: open it, read its descriptor, start it, find and
// activate its servers, and on closing shut it down and unload it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "host/host_interface.h"

namespace vantorel::standin {

enum class ModuleError {
    FileMissing,
    NotLoadable,          // the system could not load the file as a library
    NoDescriptor,         // the library exports no module descriptor
    WrongSynchronisation, // the descriptor does not start with the synchronisation word
    WrongVersion,         // the descriptor is for another system version
    StartupFailed,        // the start-up function is missing or gave no token
    ServerNotFound,
};

std::string_view errorName(ModuleError error);

struct ModuleFailure {
    ModuleError error;
    std::string detail;
};

// A value or the reason there is none.
template <typename Value> class Result {
public:
    Result(Value value) : state_(std::move(value)) {}
    Result(ModuleFailure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<Value>(state_); }
    explicit operator bool() const { return ok(); }
    Value& value() { return std::get<Value>(state_); }
    const Value& value() const { return std::get<Value>(state_); }
    const ModuleFailure& failure() const { return std::get<ModuleFailure>(state_); }

private:
    std::variant<Value, ModuleFailure> state_;
};

// A started module. Closing it (or destroying it) calls its shutdown function with the start-up
// token and unloads the file; nothing it handed out may be used after that.
class LoadedModule {
public:
    static Result<LoadedModule> open(const std::filesystem::path& file);

    LoadedModule(LoadedModule&& other) noexcept;
    LoadedModule& operator=(LoadedModule&& other) noexcept;
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    ~LoadedModule();

    const ModuleDescriptor& descriptor() const { return *descriptor_; }
    void* startupToken() const { return startupToken_; }

    // The server list up to its all-null entry.
    std::vector<const ServerRecord*> servers() const;
    // A server's tags up to their all-null entry.
    static std::vector<const ServerTag*> tags(const ServerRecord& server);
    Result<const ServerRecord*> findServer(std::string_view className,
                                           std::string_view serverName) const;

    // Activates the server with the stand-in host's global lookup and gives the activation's
    // result, or -1 when the server has no activation function.
    static int activate(const ServerRecord& server, int version, void* local,
                        void* serverData = nullptr);

    void close();

private:
    LoadedModule(void* library, const ModuleDescriptor* descriptor, void* startupToken);

    void* library_;
    const ModuleDescriptor* descriptor_;
    void* startupToken_;
};

} // namespace vantorel::standin
