// The module's own arctangent. The C libraries of the platforms the module is built for round
// atan differently in the last bit; computing it here gives every build the same rays.
#pragma once

namespace vantorel {

// atan(rise / run) for rise >= 0 and any run, zero and infinities included, to about two units in
// the last place.
double arctangentOfRatio(double rise, double run) noexcept;

} // namespace vantorel
