// Values keyed over time: linear between keys, constant before the first and after the last.
#pragma once

#include <algorithm>
#include <vector>

#include "render/vec.h"

namespace vantorel::render {

inline double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

template <class T> struct Key {
    double time = 0.0;
    T value{};
};

// Keys in strictly increasing time order; at least one.
template <class T> struct Track {
    std::vector<Key<T>> keys;

    static Track constant(T value) { return Track{{Key<T>{0.0, value}}}; }

    T at(double time) const {
        if (time <= keys.front().time) {
            return keys.front().value;
        }
        if (time >= keys.back().time) {
            return keys.back().value;
        }
        auto next = std::upper_bound(keys.begin(), keys.end(), time,
                                     [](double t, const Key<T>& key) { return t < key.time; });
        auto previous = next - 1;
        const double t = (time - previous->time) / (next->time - previous->time);
        return lerp(previous->value, next->value, t);
    }
};

} // namespace vantorel::render
