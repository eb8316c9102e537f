// The command line of vantorel-inspect: which mode to run on which module file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vantorel::inspect {

// The exit status of every mode, so that scripts can tell the failures apart.
enum ExitCode : int {
    kExitOk = 0,
    kExitInternalError = 1,
    kExitUsage = 2,
    kExitFileMissing = 3,
    kExitNotAModule = 4,
    kExitNoDescriptor = 5,
    kExitWrongSynchronisation = 6,
    kExitWrongSystemVersion = 7,
    kExitStartupFailed = 8,
    kExitCameraUnusable = 9,
    kExitValidationFailed = 10,
};

enum class Mode {
    Help,
    Inspect,  // show what a host sees of the module
    Validate, // run the validator's checks on the module
};

struct Command {
    Mode mode;
    std::filesystem::path module; // empty for Help
    std::uint64_t seed = 1;       // of the validator's random cases
};

struct UsageError {
    std::string message;
};

// The arguments after the program name.
std::variant<Command, UsageError> parseCommandLine(std::span<const std::string> arguments);

std::string_view helpText();

} // namespace vantorel::inspect
