// vantorel-inspect as a function, so that tests run it like the command line does.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace vantorel::inspect {

// Runs the mode the arguments (program name excluded) choose; returns the exit status.
int runInspect(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace vantorel::inspect
