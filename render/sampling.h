// Per-pixel sample patterns: stratified film, lens and time samples from a per-pixel random
// stream, so that a pixel's samples depend on the seed and the pixel alone, never on which thread
// renders it or in which order.
#pragma once

#include <cstdint>
#include <vector>

namespace vantorel::render {

// A small, fast generator (permuted congruential, 32-bit output).
class RandomStream {
public:
    RandomStream(uint64_t seed, uint64_t stream);
    uint32_t nextUint();
    double nextDouble(); // uniform in [0, 1)
    uint32_t below(uint32_t bound);

private:
    uint64_t state_;
    uint64_t increment_;
};

struct Point2 {
    double x, y;
};

// The stream for one pixel of one frame.
RandomStream pixelStream(uint64_t seed, int frame, int x, int y);

// count points in [0, 1)^2, stratified on a grid of cells and in each axis alone.
void multiJittered(RandomStream& random, int count, std::vector<Point2>& out);

// count values in [0, 1), one in each of count equal strata, in random order.
void stratified1D(RandomStream& random, int count, std::vector<double>& out);

template <class T> void shuffle(RandomStream& random, std::vector<T>& values) {
    for (auto i = static_cast<uint32_t>(values.size()); i > 1; --i) {
        std::swap(values[i - 1], values[random.below(i)]);
    }
}

// Maps the unit square onto the unit disk, keeping strata compact.
Point2 concentricDisk(Point2 square);

// The samples of one pixel: film offsets within the pixel, lens points on the unit disk and
// time fractions across the exposure, decorrelated from each other.
struct PixelSamples {
    std::vector<Point2> film;
    std::vector<Point2> lens;
    std::vector<double> time;

    void generate(RandomStream& random, int count);
};

} // namespace vantorel::render
