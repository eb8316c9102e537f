#include "render/sampling.h"

#include <cmath>
#include <numbers>

namespace vantorel::render {

RandomStream::RandomStream(uint64_t seed, uint64_t stream)
    : state_(0), increment_((stream << 1u) | 1u) {
    nextUint();
    state_ += seed;
    nextUint();
}

uint32_t RandomStream::nextUint() {
    const uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + increment_;
    const auto xorShifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<uint32_t>(old >> 59u);
    return (xorShifted >> rotation) | (xorShifted << ((32u - rotation) & 31u));
}

double RandomStream::nextDouble() {
    return nextUint() * (1.0 / 4294967296.0);
}

uint32_t RandomStream::below(uint32_t bound) {
    // Rejection keeps every value equally likely.
    const uint32_t threshold = (0u - bound) % bound;
    for (;;) {
        const uint32_t value = nextUint();
        if (value >= threshold) {
            return value % bound;
        }
    }
}

namespace {

uint64_t mix(uint64_t z) {
    z = (z ^ (z >> 30u)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27u)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31u);
}

// The largest divisor of count not above its square root, so that count = columns x rows.
int gridColumns(int count) {
    int columns = static_cast<int>(std::sqrt(static_cast<double>(count)));
    while (count % columns != 0) {
        --columns;
    }
    return columns;
}

} // namespace

RandomStream pixelStream(uint64_t seed, int frame, int x, int y) {
    const uint64_t pixel =
        (static_cast<uint64_t>(static_cast<uint32_t>(y)) << 32u) | static_cast<uint32_t>(x);
    return RandomStream(mix(seed ^ mix(static_cast<uint64_t>(frame) + 0x9e3779b97f4a7c15ULL)),
                        mix(pixel));
}

void multiJittered(RandomStream& random, int count, std::vector<Point2>& out) {
    const int m = gridColumns(count);
    const int n = count / m;
    out.resize(static_cast<size_t>(count));
    auto at = [&](int i, int j) -> Point2& { return out[static_cast<size_t>(j * m + i)]; };
    // The canonical arrangement is stratified in the m x n cells and in count strata per axis.
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < m; ++i) {
            at(i, j).x = (i + (j + random.nextDouble()) / n) / m;
            at(i, j).y = (j + (i + random.nextDouble()) / m) / n;
        }
    }
    // Shuffling the sub-strata within each column and row keeps both stratifications.
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < m; ++i) {
            const int k = j + static_cast<int>(random.below(static_cast<uint32_t>(n - j)));
            std::swap(at(i, j).x, at(i, k).x);
        }
    }
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < n; ++j) {
            const int k = i + static_cast<int>(random.below(static_cast<uint32_t>(m - i)));
            std::swap(at(i, j).y, at(k, j).y);
        }
    }
}

void stratified1D(RandomStream& random, int count, std::vector<double>& out) {
    out.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        out[static_cast<size_t>(i)] = (i + random.nextDouble()) / count;
    }
    shuffle(random, out);
}

Point2 concentricDisk(Point2 square) {
    const double a = 2.0 * square.x - 1.0;
    const double b = 2.0 * square.y - 1.0;
    if (a == 0.0 && b == 0.0) {
        return {0.0, 0.0};
    }
    const double quarter = std::numbers::pi / 4.0;
    if (std::abs(a) > std::abs(b)) {
        const double angle = quarter * (b / a);
        return {a * std::cos(angle), a * std::sin(angle)};
    }
    const double angle = 2.0 * quarter - quarter * (a / b);
    return {b * std::cos(angle), b * std::sin(angle)};
}

void PixelSamples::generate(RandomStream& random, int count) {
    multiJittered(random, count, film);
    multiJittered(random, count, lens);
    shuffle(random, lens);
    for (Point2& point : lens) {
        point = concentricDisk(point);
    }
    stratified1D(random, count, time);
}

} // namespace vantorel::render
