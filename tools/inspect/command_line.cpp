#include "tools/inspect/command_line.h"

#include <vector>

namespace vantorel::inspect {

namespace {

bool isOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

} // namespace

std::variant<Command, UsageError> parseCommandLine(std::span<const std::string> arguments) {
    std::vector<std::string> files;
    bool help = false;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || !isOption(argument)) {
            files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            help = true;
        } else {
            return UsageError{"unknown option " + argument};
        }
    }
    if (help) {
        return Command{Mode::Help, {}};
    }
    if (files.size() != 1) {
        return UsageError{files.empty() ? "no module file given"
                                        : "more than one module file given"};
    }
    if (files[0].empty()) {
        return UsageError{"the module file name is empty"};
    }
    return Command{Mode::Inspect, files[0]};
}

std::string_view helpText() {
    return R"(Usage: vantorel-inspect MODULE
       vantorel-inspect --help

Loads the camera module file MODULE through the stand-in host and prints what a host sees: the
module descriptor, the servers with their classes and tags, the results of activating the camera
handler and its panel, the panel of a camera on a default camera item (film 36 x 24 mm) after its
first frame, with the focal-length line, and the ray through the film centre and the lens centre
at the start of that frame.

Exit status:
  0  the module was loaded and shown
  1  internal error of the tool
  2  bad arguments
  3  MODULE does not exist or is not a file
  4  MODULE is not a library the system can load
  5  MODULE exports no _mod_descrip
  6  the descriptor's synchronisation word is wrong
  7  the descriptor is for another system version
  8  the module's start-up function is missing or gave no token
  9  the module loaded but its camera could not be activated, created or framed
)";
}

} // namespace vantorel::inspect
