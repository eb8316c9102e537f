// Numbers as the host shows them: at most six significant digits, never locale-dependent.
#pragma once

#include <charconv>
#include <string>

namespace vantorel::standin {

inline std::string numberText(double value) {
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, written.ptr);
}

} // namespace vantorel::standin
