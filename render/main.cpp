// vantorel-render: renders a scene through the Vantorel camera module.
#include <exception>
#include <iostream>

#include "render/command_line.h"
#include "render/render_app.h"

int main(int argc, char** argv) {
    using namespace vantorel::render;
    try {
        const Options options = parseCommandLine({argv + 1, argv + argc});
        if (options.help) {
            std::cout << usageText();
            return 0;
        }
        return runRenderer(options, std::cout);
    } catch (const CommandLineError& error) {
        std::cerr << "vantorel-render: " << error.what() << "\n"
                  << "Try 'vantorel-render --help'.\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "vantorel-render: " << error.what() << "\n";
        return 1;
    }
}
