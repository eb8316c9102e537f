// Values a hostile host might hand over, drawn from fuzz input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <climits>
#include <cstdint>
#include <limits>

namespace vantorel::fuzz {

// Any double: one of the awkward ones, any bit pattern (not-a-number payloads and subnormals
// included), or an ordinary value of camera size.
inline double anyDouble(FuzzedDataProvider& input) {
    using limits = std::numeric_limits<double>;
    static constexpr double kAwkward[] = {0.0,
                                          -0.0,
                                          limits::denorm_min(),
                                          -limits::denorm_min(),
                                          limits::min(),
                                          1e-310,
                                          1e-160,
                                          1e-100,
                                          1e100,
                                          1e160,
                                          1e300,
                                          limits::max(),
                                          -limits::max(),
                                          limits::infinity(),
                                          -limits::infinity(),
                                          limits::quiet_NaN(),
                                          -limits::quiet_NaN(),
                                          1.0,
                                          -1.0,
                                          0.5,
                                          2.6217,
                                          4294967295.0,
                                          4294967296.0,
                                          -2147483649.0};
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return input.PickValueInArray(kAwkward);
    case 1:
        return std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
    default:
        return input.ConsumeFloatingPointInRange(-4.0, 4.0);
    }
}

// A motion-step count: the usual small ones, negative ones, and the extremes of the type. Counts
// whose table would be too large to ever allocate are left out: the module would ask for that
// much memory, which is the host's count to choose, not a fault.
inline int anyMotionSteps(FuzzedDataProvider& input) {
    static constexpr int kExtremes[] = {-1, -2, INT_MIN, INT_MAX, INT_MAX / 2 + 1};
    return input.ConsumeBool() ? input.PickValueInArray(kExtremes)
                               : input.ConsumeIntegralInRange(0, 40);
}

} // namespace vantorel::fuzz
