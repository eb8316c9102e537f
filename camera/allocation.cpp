#include "camera/allocation.h"

#include <cstdint>
#include <cstdlib>

namespace vantorel {

void* allocateZeroed(std::size_t count, std::size_t size) noexcept {
    if (size != 0 && count > SIZE_MAX / size) {
        return nullptr;
    }
    return std::calloc(count, size);
}

void releaseMemory(void* block) noexcept {
    std::free(block);
}

} // namespace vantorel
