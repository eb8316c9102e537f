#include "render/command_line.h"

#include <charconv>
#include <functional>
#include <map>

namespace vantorel::render {

namespace {

template <class Number> Number parseNumber(const std::string& option, const std::string& text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw CommandLineError(option + ": not a whole number: \"" + text + "\"");
    }
    return value;
}

int parseCount(const std::string& option, const std::string& text, int lowest, int highest) {
    const int value = parseNumber<int>(option, text);
    if (value < lowest || value > highest) {
        throw CommandLineError(option + ": must be between " + std::to_string(lowest) + " and " +
                               std::to_string(highest) + " (got " + text + ")");
    }
    return value;
}

using ValueSetter = std::function<void(Options&, const std::string& option, const std::string&)>;

const std::map<std::string, ValueSetter>& valueOptions() {
    static const std::map<std::string, ValueSetter> options = {
        {"--output", [](Options& o, auto&, auto& v) { o.output = v; }},
        {"--module", [](Options& o, auto&, auto& v) { o.modulePath = v; }},
        {"--width", [](Options& o, auto& n, auto& v) { o.width = parseCount(n, v, 1, 16384); }},
        {"--height", [](Options& o, auto& n, auto& v) { o.height = parseCount(n, v, 1, 16384); }},
        {"--samples", [](Options& o, auto& n, auto& v) { o.samples = parseCount(n, v, 1, 4096); }},
        {"--frames", [](Options& o, auto& n, auto& v) { o.frames = parseCount(n, v, 1, 100000); }},
        {"--threads", [](Options& o, auto& n, auto& v) { o.threads = parseCount(n, v, 1, 1024); }},
        {"--seed", [](Options& o, auto& n, auto& v) { o.seed = parseNumber<uint64_t>(n, v); }},
        {"--save-camera", [](Options& o, auto&, auto& v) { o.saveCamera = v; }},
        {"--load-camera", [](Options& o, auto&, auto& v) { o.loadCamera = v; }},
    };
    return options;
}

} // namespace

Options parseCommandLine(const std::vector<std::string>& arguments) {
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (argument == "-o") {
            argument = "--output";
        }
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--png16") {
            options.linear16 = true;
        } else if (argument == "--gallery") {
            options.gallery = true;
        } else if (auto setter = valueOptions().find(argument); setter != valueOptions().end()) {
            if (i + 1 == arguments.size()) {
                throw CommandLineError(argument + ": needs a value");
            }
            setter->second(options, argument, arguments[++i]);
        } else if (argument.starts_with("-")) {
            throw CommandLineError("unknown option " + argument);
        } else if (options.scenePath) {
            throw CommandLineError("one scene file only (got " + options.scenePath->string() +
                                   " and " + argument + ")");
        } else {
            options.scenePath = argument;
        }
    }
    return options;
}

std::string usageText() {
    return R"(usage: vantorel-render [SCENE.json] [options]

Renders a scene through the Vantorel camera module, loaded from its file as a host loads it.
Without a scene file it renders the embedded default scene.

  -o, --output PATH     PNG to write, or the folder to write it in (default out/, as
                        vantorel.png or gallery.png); several frames are written as
                        NAME_0000.png, NAME_0001.png, ...
  --frames N            render frames 0 to N-1 (default: the scene's frame count)
  --width N, --height N image size in pixels (default: the scene's)
  --samples N           camera rays per pixel (default: the scene's)
  --threads N           render threads (default: every core)
  --seed N              seed of the sample patterns (default 1); a seed gives the same
                        picture whatever the thread count
  --png16               write 16-bit linear PNG instead of 8-bit sRGB
  --gallery             write a contact sheet of the scene under a row of lens settings
  --save-camera FILE    store the camera's state through the module's save
  --load-camera FILE    restore the camera's state through the module's load before rendering
  --module FILE         the camera module to load (default: the one built with this program)
  -h, --help            show this text
)";
}

} // namespace vantorel::render
