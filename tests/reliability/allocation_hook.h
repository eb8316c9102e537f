// A test build's replacement for the module's allocation functions: it counts every allocation
// and release and can make one chosen allocation fail, so tests can walk a failure over every
// allocation an operation makes and check that nothing leaks. The shipped module is linked with
// camera/allocation.cpp instead and has no such switch.
#pragma once

#include <cstdint>

namespace vantorel::test {

struct AllocationCounts {
    std::uint64_t allocations = 0; // calls that returned a block
    std::uint64_t failures = 0;    // calls that returned none
    std::uint64_t releases = 0;    // releases of a block, none not counted

    std::uint64_t calls() const { return allocations + failures; }
    std::int64_t live() const {
        return static_cast<std::int64_t>(allocations) - static_cast<std::int64_t>(releases);
    }
};

// Starts counting afresh and clears any planned failure.
void resetAllocations();
// The n-th allocation call from now fails (1 the next one); 0 plans none.
void failAllocationCall(std::uint64_t n);
AllocationCounts allocationCounts();

} // namespace vantorel::test
