// vantorel-inspect MODULE: what a host sees of a camera module file.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/host_view/command_line.h"
#include "tools/host_view/host_view_app.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        return vantorel::inspect::runInspect(arguments, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "vantorel-inspect: internal error: " << error.what() << '\n';
    } catch (...) {
        std::cerr << "vantorel-inspect: internal error\n";
    }
    return vantorel::inspect::kExitInternalError;
}
