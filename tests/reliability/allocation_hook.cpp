#include "reliability/allocation_hook.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "camera/allocation.h"

namespace vantorel {

namespace {

std::atomic<std::uint64_t> allocationCalls{0};
std::atomic<std::uint64_t> allocations{0};
std::atomic<std::uint64_t> failures{0};
std::atomic<std::uint64_t> releases{0};
std::atomic<std::uint64_t> failingCall{0};

} // namespace

void* allocateZeroed(std::size_t count, std::size_t size) noexcept {
    const std::uint64_t call = ++allocationCalls;
    void* block = nullptr;
    const bool overflows = size != 0 && count > SIZE_MAX / size;
    if (call != failingCall.load() && !overflows) {
        block = std::calloc(count, size);
    }
    ++(block ? allocations : failures);
    return block;
}

void releaseMemory(void* block) noexcept {
    if (block) {
        ++releases;
    }
    std::free(block);
}

namespace test {

void resetAllocations() {
    failingCall = 0;
    allocationCalls = 0;
    allocations = 0;
    failures = 0;
    releases = 0;
}

void failAllocationCall(std::uint64_t n) {
    failingCall = n == 0 ? 0 : allocationCalls.load() + n;
}

AllocationCounts allocationCounts() {
    return AllocationCounts{allocations.load(), failures.load(), releases.load()};
}

} // namespace test

} // namespace vantorel
