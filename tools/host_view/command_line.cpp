#include "tools/host_view/command_line.h"

#include <charconv>
#include <optional>
#include <vector>

#include "tools/host_view/validation.h"

namespace vantorel::inspect {

namespace {

bool isOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

std::optional<std::uint64_t> parseSeed(const std::string& text) {
    std::uint64_t seed = 0;
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, seed);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end) {
        return std::nullopt;
    }
    return seed;
}

} // namespace

std::variant<Command, UsageError> parseCommandLine(std::span<const std::string> arguments) {
    std::vector<std::string> files;
    bool help = false;
    bool optionsEnded = false;
    Mode mode = Mode::Inspect;
    std::optional<std::uint64_t> seed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !isOption(argument)) {
            files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--validate") {
            mode = Mode::Validate;
        } else if (argument == "--seed") {
            seed = i + 1 < arguments.size() ? parseSeed(arguments[++i]) : std::nullopt;
            if (!seed) {
                return UsageError{"--seed needs a whole number from 0 to 18446744073709551615"};
            }
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
    if (seed && mode != Mode::Validate) {
        return UsageError{"--seed goes with --validate"};
    }
    return Command{mode, files[0], seed.value_or(kDefaultValidationSeed)};
}

std::string_view helpText() {
    return R"(Usage: vantorel-inspect MODULE
       vantorel-inspect --validate MODULE [--seed N]
       vantorel-inspect --help

Loads the camera module file MODULE through the stand-in host and prints what a host sees: the
module descriptor, the servers with their classes and tags, the results of activating the camera
handler and its panel, the panel of a camera on a default camera item (film 36 x 24 mm) after its
first frame, with the focal-length line, and the ray through the film centre and the lens centre
at the start of that frame.

With --validate, runs the validator's checks on MODULE instead: activation with wrong versions and
missing services, thousands of instances created and destroyed, frames with random motion steps
and their rays, viewport projections, the panel, random parameters round-tripped through save and
load and read back in chunks of odd sizes, and damaged stored state. Every record handed to the
module has guard bytes on both sides, checked after each call. The random cases come from seed N
(default 1): one seed always gives the same run. Each check is shown as PASS, FAIL or SKIP.

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
  10 a validator check failed
)";
}

} // namespace vantorel::inspect
