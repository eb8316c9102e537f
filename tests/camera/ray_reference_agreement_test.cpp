// The optimised ray evaluation against the literal formulas, over millions of random cameras and
// ray inputs with a fixed seed, extreme values included, some tables with one entry set to an
// extreme outright.
//
// Agreement of one output: where the literal formulas give a finite value, the evaluation gives a
// finite value within 1e-12 of it relative or 1e-15 absolute; where they give an infinity, the
// same infinity; where they give not-a-number, not-a-number. Every ray record starts filled with
// the same sentinel, so a filter that one side writes and the other leaves alone is a mismatch.
// The one allowance, for outputs that magnify the last bits of the arctangent and the cosine
// (distortion amounts outside 0..1, vignetting above 1), is explained at firstDisagreement.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "camera/ray_evaluation.h"
#include "camera/time_samples.h"
#include "camera/vec3.h"
#include "ray_reference.h"

namespace vantorel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSubnormal = std::numeric_limits<double>::denorm_min();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kSentinel = -1234.5678;

class Random {
public:
    explicit Random(uint64_t seed) : engine_(seed) {}

    double uniform() { return static_cast<double>(engine_() >> 11) * 0x1p-53; }
    double between(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    double logBetween(double lo, double hi) {
        return std::exp(between(std::log(lo), std::log(hi)));
    }
    bool chance(double p) { return uniform() < p; }
    double sign() { return chance(0.5) ? 1.0 : -1.0; }
    double oneOf(std::span<const double> values) {
        return values[static_cast<std::size_t>(engine_() % values.size())];
    }

    // A value from the usual range, or now and then one of the extremes.
    double usualOr(double lo, double hi, std::span<const double> extremes, double extremeChance) {
        return chance(extremeChance) ? oneOf(extremes) : between(lo, hi);
    }

private:
    std::mt19937_64 engine_;
};

constexpr double kFilmExtremes[] = {0.0,    -0.0,    kSubnormal, -kSubnormal, 1e-310, -1e-300,
                                    1e-160, -1e-160, 1e-20,      1e160,       -1e160, 1e300,
                                    -kMax,  kInf,    -kInf,      kNaN};
constexpr double kLensExtremes[] = {0.0,  -0.0,  kSubnormal, 1e-300, -1e-160, 1e6,
                                    -1e6, 1e160, -1e300,     kMax,   kInf,    kNaN};
constexpr double kZoomExtremes[] = {1e-300, 1e-12, 1e-3, 1e3, 1e12, 1e300, 0.0, -2.6, kInf, kNaN};
constexpr double kFocusExtremes[] = {1e-300, 1e-12, 1e-3, 1e6, 1e12, 1e300, 0.0, kInf, kNaN};
constexpr double kFStopExtremes[] = {1e-300, 1e-6, 1e6, 1e300, 0.0};
constexpr double kShiftExtremes[] = {-10.0, 10.0, 1e-300, -1e300, kNaN};
constexpr double kAxisScaleExtremes[] = {1e-150, 1e-100, 1e100, 1e150, 0.0};
constexpr double kDistortions[] = {0.0,  -0.0, 0.5,  1.0,    -1.0, 2.0,  1.5,
                                   -5.0, 5.0,  1e-9, 1e-300, 1e6,  -1e6, kNaN};
constexpr double kVignettings[] = {0.0, -0.0, -0.3, 0.5, 0.7, 1.0, 1.25, 2.0, kSubnormal, kNaN};

Vec3 randomUnit(Random& random) {
    for (;;) {
        const Vec3 v{random.between(-1, 1), random.between(-1, 1), random.between(-1, 1)};
        const double l = length(v);
        if (l > 0.1 && l <= 1.0) {
            return v * (1.0 / l);
        }
    }
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A camera frame of turned, non-unit axes: the host's axes are not normalised.
void randomAxes(Random& random, SampleInputs& in, double extremeChance) {
    const Vec3 forward = randomUnit(random);
    const Vec3 right = cross(randomUnit(random), forward);
    const Vec3 up = cross(forward, right);
    const auto scale = [&] {
        return random.chance(extremeChance) ? random.oneOf(kAxisScaleExtremes)
                                            : random.logBetween(1e-3, 1e3);
    };
    in.right = right * (scale() / length(right));
    in.up = up * (scale() / length(up));
    in.forward = forward * scale();
}

SampleInputs randomCamera(Random& random, double extremeChance) {
    SampleInputs in{};
    in.zoom =
        random.chance(extremeChance) ? random.oneOf(kZoomExtremes) : random.logBetween(0.2, 20.0);
    in.horizontalShift = random.usualOr(-0.5, 0.5, kShiftExtremes, extremeChance);
    in.verticalShift = random.usualOr(-0.5, 0.5, kShiftExtremes, extremeChance);
    in.distortion = random.chance(0.5) ? random.oneOf(kDistortions) : random.between(-1.0, 2.0);
    in.vignetting = random.chance(0.5) ? random.oneOf(kVignettings) : random.between(0.0, 1.0);
    in.focusDistance = random.chance(extremeChance) ? random.oneOf(kFocusExtremes)
                                                    : random.logBetween(0.05, 1000.0);
    in.fStop =
        random.chance(extremeChance) ? random.oneOf(kFStopExtremes) : random.between(1.0, 22.0);
    in.filmWidth = random.between(0.005, 0.07);
    in.filmHeight = random.between(0.005, 0.05);
    in.position = {random.between(-100, 100), random.between(-100, 100),
                   random.chance(extremeChance) ? 1e200 : random.between(-100, 100)};
    randomAxes(random, in, extremeChance);
    return in;
}

// Now and then one entry of the sample set to an extreme outright, as no camera would give it.
constexpr double kEntryExtremes[] = {0.0, -0.0, -1.0, 1e-300, 1e300, kInf, -kInf, kNaN};

void spoilOneEntry(Random& random, TimeSample& sample) {
    double entries[sizeof(TimeSample) / sizeof(double)];
    std::memcpy(entries, &sample, sizeof sample);
    // The eight scalars come first; they steer the formulas, so they get half the draws.
    const double count = random.chance(0.5) ? 8.0 : static_cast<double>(std::size(entries));
    entries[static_cast<std::size_t>(random.between(0.0, count))] = random.oneOf(kEntryExtremes);
    std::memcpy(&sample, entries, sizeof sample);
}

struct RayInputs {
    double filmX, filmY, lensX, lensY;
};

// Film points over the film and a little beyond, lens points over the unit disk.
RayInputs randomRay(Random& random, const SampleInputs& camera, double extremeChance) {
    RayInputs r{};
    r.filmX = random.usualOr(-0.8, 0.8, kFilmExtremes, extremeChance) * camera.filmWidth;
    r.filmY = random.usualOr(-0.8, 0.8, kFilmExtremes, extremeChance) * camera.filmHeight;
    const double angle = random.between(0.0, 6.283185307179586);
    const double radius = std::sqrt(random.uniform());
    r.lensX = random.chance(extremeChance) ? random.oneOf(kLensExtremes) : radius * std::cos(angle);
    r.lensY = random.chance(extremeChance) ? random.oneOf(kLensExtremes) : radius * std::sin(angle);
    return r;
}

bool agrees(double actual, double expected) {
    if (std::isnan(expected)) {
        return std::isnan(actual);
    }
    if (std::isinf(expected)) {
        return actual == expected;
    }
    return std::isfinite(actual) &&
           std::fabs(actual - expected) <= std::max(1e-12 * std::fabs(expected), 1e-15);
}

CameraRay sentinelRay() {
    CameraRay ray;
    std::fill_n(ray.origin, 3, kSentinel);
    std::fill_n(ray.direction, 3, kSentinel);
    std::fill_n(ray.filmNormal, 3, kSentinel);
    std::fill_n(ray.filter, 9, kSentinel);
    return ray;
}

constexpr int kOutputCount = 18;

std::array<double, kOutputCount> outputsOf(const CameraRay& ray) {
    std::array<double, kOutputCount> all{};
    std::copy_n(ray.origin, 3, all.begin());
    std::copy_n(ray.direction, 3, all.begin() + 3);
    std::copy_n(ray.filmNormal, 3, all.begin() + 6);
    std::copy_n(ray.filter, 9, all.begin() + 9);
    return all;
}

const char* outputName(int i) {
    return i < 3 ? "origin" : i < 6 ? "direction" : i < 9 ? "film normal" : "filter";
}

// The literal formulas with the arctangent and the cosine's power moved by up to kLastBitSlack
// units in the last place: an output between the least and the greatest of them (within the bound)
// is as good as the formulas can tell.
constexpr int kLastBitSlack = 8;

struct LastBitSpread {
    LastBitSpread(const TimeSample& e, const RayInputs& r) {
        low.fill(kInf);
        high.fill(-kInf);
        for (int nudge = -kLastBitSlack; nudge <= kLastBitSlack; ++nudge) {
            CameraRay ray = sentinelRay();
            reference::traceRay(e, r.filmX, r.filmY, r.lensX, r.lensY, ray, nudge);
            const auto outputs = outputsOf(ray);
            for (int i = 0; i < kOutputCount; ++i) {
                low[i] = std::isnan(outputs[i]) ? kNaN : std::min(low[i], outputs[i]);
                high[i] = std::isnan(outputs[i]) ? kNaN : std::max(high[i], outputs[i]);
            }
        }
    }
    bool holds(int i, double actual) const {
        return agrees(actual, low[i]) || agrees(actual, high[i]) ||
               (std::isfinite(low[i]) && std::isfinite(high[i]) && low[i] <= actual &&
                actual <= high[i]);
    }

    std::array<double, kOutputCount> low, high;
};

// The name of the first output where the evaluation disagrees with the literal formulas, or none.
//
// Two outputs magnify the last bits of the transcendental functions beyond the bound, whichever
// library computes them: the direction, where a distortion amount outside 0..1 makes the factor's
// denominator a difference that vanishes at some film radius, and the filter, where vignetting
// above 1 makes cos^4 x vignetting + (1 - vignetting) a difference. An output that misses the bound
// there still agrees when it lies within the spread of the formulas over those last bits.
const char* firstDisagreement(const TimeSample& e, const RayInputs& r, const CameraRay& actual,
                              const CameraRay& expected) {
    const auto actualOutputs = outputsOf(actual);
    const auto expectedOutputs = outputsOf(expected);
    std::optional<LastBitSpread> spread;
    for (int i = 0; i < kOutputCount; ++i) {
        if (agrees(actualOutputs[i], expectedOutputs[i])) {
            continue;
        }
        if (!spread) {
            spread.emplace(e, r);
        }
        if (!spread->holds(i, actualOutputs[i])) {
            return outputName(i);
        }
    }
    return nullptr;
}

std::string describe(const double* v, int count) {
    std::ostringstream out;
    out.precision(17);
    for (int c = 0; c < count; ++c) {
        out << (c ? ", " : "") << v[c];
    }
    return out.str();
}

std::string describeCase(const SampleInputs& in, const TimeSample& sample, const RayInputs& r,
                         const CameraRay& actual, const CameraRay& expected) {
    std::ostringstream out;
    out.precision(17);
    out << "zoom " << in.zoom << " shift " << in.horizontalShift << ", " << in.verticalShift
        << " distortion " << in.distortion << " vignetting " << in.vignetting << " focus "
        << in.focusDistance << " f-stop " << in.fStop << " film " << in.filmWidth << " x "
        << in.filmHeight << " right " << describe(&in.right.x, 3) << " up " << describe(&in.up.x, 3)
        << " forward " << describe(&in.forward.x, 3) << "\n  sample scalars "
        << describe(&sample.shiftX, 8) << "\n  film (" << r.filmX << ", " << r.filmY << ") lens ("
        << r.lensX << ", " << r.lensY << ")"
        << "\n  direction " << describe(actual.direction, 3) << "\n  expected  "
        << describe(expected.direction, 3) << "\n  filter " << actual.filter[0] << " expected "
        << expected.filter[0];
    return out.str();
}

struct Tally {
    long mismatches = 0;
    std::vector<std::string> firstFew;

    void record(const char* output, const std::string& details) {
        if (++mismatches <= 5) {
            firstFew.push_back(std::string(output) + " differs: " + details);
        }
    }
    std::string report() const {
        std::string all;
        for (const std::string& s : firstFew) {
            all += s + "\n";
        }
        return all;
    }
};

TEST(RayReference, TracedRaysAgreeWithTheLiteralFormulas) {
    Random random(0x5eed0f7a7e5ULL);
    Tally tally;
    constexpr int kCameras = 20000;
    constexpr int kRaysPerCamera = 150;
    for (int camera = 0; camera < kCameras; ++camera) {
        const double extremeChance = random.chance(0.7) ? 0.0 : 0.15;
        const SampleInputs in = randomCamera(random, extremeChance);
        TimeSample sample = makeTimeSample(in);
        if (random.chance(3.0 * extremeChance)) {
            spoilOneEntry(random, sample);
        }
        for (int i = 0; i < kRaysPerCamera; ++i) {
            const RayInputs r = randomRay(random, in, extremeChance);
            CameraRay actual = sentinelRay();
            CameraRay expected = sentinelRay();
            traceRay(sample, r.filmX, r.filmY, r.lensX, r.lensY, actual);
            reference::traceRay(sample, r.filmX, r.filmY, r.lensX, r.lensY, expected);
            if (const char* output = firstDisagreement(sample, r, actual, expected)) {
                tally.record(output, describeCase(in, sample, r, actual, expected));
            }
        }
    }
    EXPECT_EQ(tally.mismatches, 0) << tally.report();
}

// The sample's five direction vectors scaled by 2^k and nothing else, so that the squared length
// of every aim moves by 2^2k while the radius and the focus length stay put: k walks the aims
// across both ends of the normal range, where the normalisation changes form, down to lengths
// whose square is zero.
TEST(RayReference, RaysAgreeAcrossTheEndsOfTheNormalRange) {
    Random random(0xed9e5ULL);
    Tally tally;
    for (const double distortion : {0.0, 0.5}) {
        SampleInputs in = randomCamera(random, 0.0);
        in.distortion = distortion;
        in.vignetting = 0.5;
        const TimeSample base = makeTimeSample(in);
        for (int k = -545; k <= 520; k += k < -495 || k > 495 ? 1 : 100) {
            TimeSample sample = base;
            for (double* v : {sample.rightAxis, sample.upAxis, sample.focusAxis, sample.lensRight,
                              sample.lensUp}) {
                for (int c = 0; c < 3; ++c) {
                    v[c] = std::ldexp(v[c], k);
                }
            }
            for (int i = 0; i < 20; ++i) {
                const RayInputs r = randomRay(random, in, 0.0);
                CameraRay actual = sentinelRay();
                CameraRay expected = sentinelRay();
                traceRay(sample, r.filmX, r.filmY, r.lensX, r.lensY, actual);
                reference::traceRay(sample, r.filmX, r.filmY, r.lensX, r.lensY, expected);
                if (const char* output = firstDisagreement(sample, r, actual, expected)) {
                    tally.record(output, "scale 2^" + std::to_string(k) + ": " +
                                             describeCase(in, sample, r, actual, expected));
                }
            }
        }
    }
    EXPECT_EQ(tally.mismatches, 0) << tally.report();
}

// A table of n + 1 samples with a poisoned sample on either side: reading outside the table
// would give rays the reference never gives.
struct GuardedTable {
    explicit GuardedTable(uint32_t n) : storage(n + 3) {
        double nans[sizeof(TimeSample) / sizeof(double)];
        std::fill_n(nans, std::size(nans), kNaN);
        TimeSample poison;
        std::memcpy(&poison, nans, sizeof poison);
        storage.front() = poison;
        storage.back() = poison;
    }
    TimeSample* table() { return storage.data() + 1; }

    std::vector<TimeSample> storage;
};

// The sample the time fraction names: fraction x n truncated, or the nearer end of the table when
// that falls outside it.
uint32_t expectedIndex(double fraction, uint32_t n) {
    const double position = fraction * static_cast<double>(n);
    if (!(position > 0.0)) {
        return 0;
    }
    return position >= static_cast<double>(n) ? n : static_cast<uint32_t>(std::trunc(position));
}

TEST(RayReference, EvaluationThroughTheInstanceAgreesWithTheLiteralFormulas) {
    Random random(0x7ab1e5ULL);
    Tally tally;
    constexpr uint32_t kCounts[] = {0, 4, 8, 16, 64};
    constexpr double kFractionExtremes[] = {-1e300,      -1.0, -0.25, -1e-300, -0.0,  1.0,
                                            1.0 + 1e-15, 1.5,  1e300, kInf,    -kInf, kNaN};
    for (int frame = 0; frame < 2000; ++frame) {
        const uint32_t n = kCounts[frame % std::size(kCounts)];
        GuardedTable guarded(n);
        std::vector<SampleInputs> inputs;
        for (uint32_t i = 0; i <= n; ++i) {
            inputs.push_back(randomCamera(random, 0.0));
            guarded.table()[i] = makeTimeSample(inputs.back());
        }
        CameraInstance instance{};
        instance.sampleCount = n;
        instance.samples = guarded.table();
        for (int i = 0; i < 200; ++i) {
            const double fraction = random.usualOr(0.0, 1.0, kFractionExtremes, 0.1);
            const uint32_t index = expectedIndex(fraction, n);
            const RayInputs r = randomRay(random, inputs[index], 0.0);
            CameraRay actual = sentinelRay();
            CameraRay expected = sentinelRay();
            ASSERT_EQ(
                cameraEvaluate(&instance, r.filmX, r.filmY, r.lensX, r.lensY, fraction, &actual),
                1);
            reference::traceRay(guarded.table()[index], r.filmX, r.filmY, r.lensX, r.lensY,
                                expected);
            if (const char* output =
                    firstDisagreement(guarded.table()[index], r, actual, expected)) {
                tally.record(output, describeCase(inputs[index], guarded.table()[index], r, actual,
                                                  expected));
            }
        }
    }
    EXPECT_EQ(tally.mismatches, 0) << tally.report();
}

} // namespace
} // namespace vantorel
