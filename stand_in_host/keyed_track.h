// A value keyed over time, as the host animates everything it owns.
//
// Between two keys the value moves linearly; before the first key and after the last it holds
// that key's value. Without keys the track holds its static value.
#pragma once

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace vantorel::standin {

template <typename Value> struct Key {
    double time;
    Value value;
};

template <typename Value> class KeyedTrack {
public:
    KeyedTrack() = default;
    explicit KeyedTrack(Value staticValue) : staticValue_(std::move(staticValue)) {}

    // Sets the value used while the track has no keys.
    void setValue(Value value) { staticValue_ = std::move(value); }
    const Value& staticValue() const { return staticValue_; }

    // Adds a key, replacing one at exactly the same time. A time that is not finite is ignored:
    // it could not be ordered among the others.
    void setKey(double time, Value value) {
        if (!std::isfinite(time)) {
            return;
        }
        auto at = std::lower_bound(keys_.begin(), keys_.end(), time,
                                   [](const Key<Value>& key, double t) { return key.time < t; });
        if (at != keys_.end() && at->time == time) {
            at->value = std::move(value);
        } else {
            keys_.insert(at, Key<Value>{time, std::move(value)});
        }
    }

    void clearKeys() { keys_.clear(); }
    const std::vector<Key<Value>>& keys() const { return keys_; }

    // Replaces the keys with ones already ordered by strictly increasing, finite times.
    void replaceKeys(std::vector<Key<Value>> keys) { keys_ = std::move(keys); }

    // A time that is not a number reads as the start of the track.
    Value valueAt(double time) const {
        if (keys_.empty()) {
            return staticValue_;
        }
        if (std::isnan(time) || time <= keys_.front().time) {
            return keys_.front().value;
        }
        if (time >= keys_.back().time) {
            return keys_.back().value;
        }
        auto after = std::upper_bound(keys_.begin(), keys_.end(), time,
                                      [](double t, const Key<Value>& key) { return t < key.time; });
        const Key<Value>& next = *after;
        const Key<Value>& previous = *(after - 1);
        const double fraction = (time - previous.time) / (next.time - previous.time);
        return interpolate(previous.value, next.value, fraction);
    }

private:
    static double interpolate(double from, double to, double fraction) {
        return from + (to - from) * fraction;
    }
    template <typename Vector>
    static Vector interpolate(const Vector& from, const Vector& to, double fraction) {
        Vector result{};
        for (std::size_t i = 0; i < result.size(); ++i) {
            result[i] = interpolate(from[i], to[i], fraction);
        }
        return result;
    }

    Value staticValue_{};
    std::vector<Key<Value>> keys_;
};

} // namespace vantorel::standin
