// What a host sees of a module file, shown through the stand-in host.
#pragma once

#include <filesystem>
#include <ostream>

#include "stand_in_host/module_loader.h"

namespace vantorel::inspect {

// Loads the module, prints its descriptor, servers, activation results, the panel of a camera on
// a default camera item and one sample ray to out, and any failure to err. Returns the exit
// status (see ExitCode).
int inspectModule(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

// The exit status for a module file that cannot be loaded.
int exitCodeFor(standin::ModuleError error);

// Opens a module file through the stand-in host's loader; when it cannot, says why on err.
standin::Result<standin::LoadedModule> openModuleReporting(const std::filesystem::path& file,
                                                           std::ostream& err);

} // namespace vantorel::inspect
