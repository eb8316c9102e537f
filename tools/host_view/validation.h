// vantorel-inspect --validate: the stand-in host as a validator of a camera module file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

namespace vantorel::inspect {

inline constexpr std::uint64_t kDefaultValidationSeed = 1;

// Loads the module and runs every check on it with random cases drawn from the seed, so that
// one seed always gives the same run. Prints each check as passed, failed or skipped to out and
// any failure to load to err. Returns kExitOk when no check failed, kExitValidationFailed when
// one did, or the exit status of a module that cannot be loaded.
int validateModule(const std::filesystem::path& file, std::uint64_t seed, std::ostream& out,
                   std::ostream& err);

} // namespace vantorel::inspect
