// The validator's tools: records wrapped in guard bytes, a seeded random source that gives the
// same numbers on every platform, and the report of named checks.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace vantorel::inspect {

// A record handed to the module with guard bytes on both sides. A module that writes past
// either end of the record changes a guard; each check looks at the guards after every call.
template <typename Record> class Guarded {
public:
    Guarded() : record_{} {
        for (std::size_t i = 0; i < kGuardBytes; ++i) {
            before_[i] = guardByte(i);
            after_[i] = guardByte(i + kGuardBytes);
        }
    }
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    Record& record() { return record_; }
    Record* get() { return &record_; }

    // Empty while both guards hold; else how far past either end of the record the module wrote.
    std::string damage() const {
        for (std::size_t i = kGuardBytes; i-- > 0;) {
            if (after_[i] != guardByte(i + kGuardBytes)) {
                return "written up to " + std::to_string(i + 1) +
                       " bytes past the end of the record";
            }
        }
        for (std::size_t i = 0; i < kGuardBytes; ++i) {
            if (before_[i] != guardByte(i)) {
                return "written up to " + std::to_string(kGuardBytes - i) +
                       " bytes before the start of the record";
            }
        }
        return {};
    }

    // A copy of the record's bytes, to show later that the module left the record alone.
    std::vector<unsigned char> bytes() const {
        std::vector<unsigned char> copy(sizeof(Record));
        std::memcpy(copy.data(), &record_, sizeof(Record));
        return copy;
    }
    bool unchangedSince(const std::vector<unsigned char>& earlier) const {
        return earlier.size() == sizeof(Record) &&
               std::memcmp(earlier.data(), &record_, sizeof(Record)) == 0;
    }

private:
    static constexpr std::size_t kGuardBytes = 64;
    static unsigned char guardByte(std::size_t i) {
        return static_cast<unsigned char>(0xA5 ^ (i * 37));
    }

    alignas(16) unsigned char before_[kGuardBytes];
    Record record_;
    unsigned char after_[kGuardBytes];
};

// xoshiro256** seeded through splitmix64: its numbers depend on the seed alone, not on the
// standard library, so a seed gives the same run on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) {
        for (std::uint64_t& word : state_) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }

    std::uint64_t next() {
        const std::uint64_t result = rotate(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotate(state_[3], 45);
        return result;
    }

    // In [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }
    double between(double low, double high) { return low + (high - low) * uniform(); }
    // Spread evenly over the orders of magnitude between low and high, both positive.
    double logBetween(double low, double high) {
        return std::exp(between(std::log(low), std::log(high)));
    }
    // In [0, count).
    std::size_t below(std::size_t count) { return static_cast<std::size_t>(next() % count); }
    int between(int low, int high) {
        return low + static_cast<int>(below(static_cast<std::size_t>(high - low) + 1));
    }
    bool chance(double probability) { return uniform() < probability; }

private:
    static std::uint64_t rotate(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t state_[4];
};

// The findings of one check: it fails with the first few problems it saw, or is skipped.
class Check {
public:
    explicit Check(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    // Notes a problem when the condition does not hold; returns the condition.
    bool expect(bool holds, const std::string& problem) {
        if (holds) {
            return true;
        }
        ++problemCount_;
        for (Problem& seen : problems_) {
            if (seen.text == problem) {
                ++seen.times;
                return false;
            }
        }
        if (problems_.size() < kProblemsShown) {
            problems_.push_back(Problem{problem, 1});
        }
        return false;
    }
    bool expectGuarded(const std::string& damage, const std::string& call) {
        return expect(damage.empty(), call + ": " + damage);
    }
    void skip(std::string reason) { skipReason_ = std::move(reason); }
    void note(std::string detail) { detail_ = std::move(detail); }

    bool failed() const { return problemCount_ > 0; }
    bool skipped() const { return !failed() && !skipReason_.empty(); }
    void print(std::ostream& out) const;

private:
    struct Problem {
        std::string text;
        std::size_t times;
    };
    static constexpr std::size_t kProblemsShown = 5;
    std::string name_;
    std::vector<Problem> problems_; // the first few different ones
    std::size_t problemCount_ = 0;
    std::string skipReason_;
    std::string detail_;
};

class Report {
public:
    void add(const Check& check) { checks_.push_back(check); }
    void print(std::ostream& out, std::uint64_t seed) const;
    bool anyFailed() const;

private:
    std::vector<Check> checks_;
};

} // namespace vantorel::inspect
