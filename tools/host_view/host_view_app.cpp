#include "tools/host_view/host_view_app.h"

#include "tools/host_view/command_line.h"
#include "tools/host_view/module_report.h"
#include "tools/host_view/validation.h"

namespace vantorel::inspect {

namespace {

int runCommand(const Command& command, std::ostream& out, std::ostream& err) {
    switch (command.mode) {
    case Mode::Help:
        out << helpText();
        return kExitOk;
    case Mode::Inspect:
        return inspectModule(command.module, out, err);
    case Mode::Validate:
        return validateModule(command.module, command.seed, out, err);
    }
    return kExitInternalError;
}

} // namespace

int runInspect(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
    const auto parsed = parseCommandLine(arguments);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        err << "vantorel-inspect: " << usage->message << "\n"
            << "Usage: vantorel-inspect MODULE   (vantorel-inspect --help tells more)\n";
        return kExitUsage;
    }
    return runCommand(std::get<Command>(parsed), out, err);
}

} // namespace vantorel::inspect
