// Every allocation the module makes goes through here, so that a test build can make the n-th one
// fail and show that each caller turns the failure into its documented result.
#pragma once

#include <cstddef>

namespace vantorel {

// Zero-filled room for count records of size bytes each; none when the product overflows or the
// memory is not there.
void* allocateZeroed(std::size_t count, std::size_t size) noexcept;
void releaseMemory(void* block) noexcept;

} // namespace vantorel
