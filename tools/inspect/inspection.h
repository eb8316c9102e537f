// What a host sees of a module file, shown through the stand-in host.
#pragma once

#include <filesystem>
#include <ostream>

namespace vantorel::inspect {

// Loads the module, prints its descriptor, servers, activation results, the panel of a camera on
// a default camera item and one sample ray to out, and any failure to err. Returns the exit
// status (see ExitCode).
int inspectModule(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

} // namespace vantorel::inspect
