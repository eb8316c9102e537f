#include "stand_in_host/channel.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

namespace vantorel::standin {

namespace {

// A stored channel: marker, key count, static value, then a time and a value per key. The marker
// catches a reader that is out of step with what was written.
constexpr float kStateMarker = 17224.0f;
constexpr int kHeaderFloats = 3;
constexpr int kKeysPerRead = 256;

// Reads exactly count floats, however few the reader delivers per call.
const char* readExactly(const LoadState& state, float* buffer, int count) {
    int got = 0;
    while (got < count) {
        const int delivered = state.readFloats(state.readerData, buffer + got, count - got);
        if (delivered < 0 || delivered > count - got) {
            return kChannelStateUnreadable;
        }
        if (delivered == 0) {
            return kChannelStateTruncated;
        }
        got += delivered;
    }
    return nullptr;
}

// Values beyond the float range become infinities; times are held to the float range so that
// every saved key can be loaded again.
float toStoredValue(double value) {
    if (std::isnan(value) || std::fabs(value) <= FLT_MAX) {
        return static_cast<float>(value);
    }
    return value > 0 ? std::numeric_limits<float>::infinity()
                     : -std::numeric_limits<float>::infinity();
}

float toStoredTime(double time) {
    return static_cast<float>(std::clamp(time, -double{FLT_MAX}, double{FLT_MAX}));
}

bool isKeyCount(float value) {
    return value >= 0.0f && value <= static_cast<float>(kMaxStoredKeys) &&
           value == std::floor(value);
}

// Keys must come in time order. Two times that met when rounded to single precision are one key,
// the later one's value winning, as when the key is set twice.
bool appendKey(std::vector<Key<double>>& keys, float time, float value) {
    if (!std::isfinite(time) || (!keys.empty() && time < keys.back().time)) {
        return false;
    }
    if (!keys.empty() && keys.back().time == time) {
        keys.back().value = value;
    } else {
        keys.push_back(Key<double>{time, value});
    }
    return true;
}

} // namespace

Channel::Channel(std::uint64_t serial, int kind, int envelopeFlags)
    : serial_(serial), kind_(kind), envelopeFlags_(envelopeFlags) {}

void Channel::setUp(std::string name, ChannelGroupHandle group) {
    name_ = std::move(name);
    group_ = group;
}

void Channel::save(const SaveState& state) const {
    if (!state.writeFloats) {
        return;
    }
    const auto& keys = track_.keys();
    const std::array<float, kHeaderFloats> header = {kStateMarker, static_cast<float>(keys.size()),
                                                     toStoredValue(track_.staticValue())};
    state.writeFloats(state.writerData, header.data(), kHeaderFloats);
    if (keys.empty()) {
        return;
    }
    std::vector<float> pairs;
    pairs.reserve(keys.size() * 2);
    for (const Key<double>& key : keys) {
        pairs.push_back(toStoredTime(key.time));
        pairs.push_back(toStoredValue(key.value));
    }
    state.writeFloats(state.writerData, pairs.data(), static_cast<int>(pairs.size()));
}

const char* Channel::load(const LoadState& state) {
    if (!state.readFloats) {
        return kChannelStateUnreadable;
    }
    std::array<float, kHeaderFloats> header{};
    if (const char* failure = readExactly(state, header.data(), kHeaderFloats)) {
        return failure;
    }
    if (header[0] != kStateMarker || !isKeyCount(header[1])) {
        return kChannelStateDamaged;
    }
    const int keyCount = static_cast<int>(header[1]);

    // Keys arrive in bounded chunks, so damaged data costs no more memory than it holds.
    std::vector<Key<double>> keys;
    std::array<float, 2 * kKeysPerRead> chunk{};
    for (int read = 0; read < keyCount;) {
        const int pairs = std::min(kKeysPerRead, keyCount - read);
        if (const char* failure = readExactly(state, chunk.data(), 2 * pairs)) {
            return failure;
        }
        for (int i = 0; i < pairs; ++i) {
            if (!appendKey(keys, chunk[2 * i], chunk[2 * i + 1])) {
                return kChannelStateDamaged;
            }
        }
        read += pairs;
    }
    track_.setValue(header[2]);
    track_.replaceKeys(std::move(keys));
    return nullptr;
}

} // namespace vantorel::standin
