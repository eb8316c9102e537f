#include "render/json_location.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace vantorel::render {

std::string describePath(const JsonPath& path) {
    if (path.empty()) {
        return "(top level)";
    }
    std::string text;
    for (const PathStep& step : path) {
        if (const auto* name = std::get_if<std::string>(&step)) {
            text += (text.empty() ? "" : ".") + *name;
        } else {
            text += "[" + std::to_string(std::get<std::size_t>(step)) + "]";
        }
    }
    return text;
}

int lineOfOffset(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

namespace {

// Walks valid JSON text without building it, to find where values start.
class Walker {
public:
    explicit Walker(std::string_view text) : text_(text) {}

    std::size_t find(const JsonPath& path) {
        skipSpace();
        std::size_t found = pos_;
        for (const PathStep& step : path) {
            const bool entered = std::holds_alternative<std::string>(step)
                                     ? enterMember(std::get<std::string>(step))
                                     : enterElement(std::get<std::size_t>(step));
            if (!entered) {
                break;
            }
            found = pos_;
        }
        return found;
    }

private:
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    void skipSpace() {
        while (pos_ < text_.size() && (peek() == ' ' || peek() == '\t' || peek() == '\n' ||
                                       peek() == '\r' || peek() == ',' || peek() == ':')) {
            ++pos_;
        }
    }

    std::string_view rawString() {
        const std::size_t start = pos_++;
        while (pos_ < text_.size() && peek() != '"') {
            pos_ += peek() == '\\' ? 2 : 1;
        }
        ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipValue() {
        if (peek() == '"') {
            rawString();
        } else if (peek() == '{' || peek() == '[') {
            ++pos_;
            skipSpace();
            while (pos_ < text_.size() && peek() != '}' && peek() != ']') {
                skipValue();
                skipSpace();
            }
            ++pos_;
        } else {
            while (pos_ < text_.size() &&
                   std::string_view(" \t\r\n,:]}").find(peek()) == std::string_view::npos) {
                ++pos_;
            }
        }
    }

    // Leaves pos_ at the member's value; false (pos_ unchanged) when there is none.
    bool enterMember(const std::string& name) {
        if (peek() != '{') {
            return false;
        }
        const std::size_t start = pos_++;
        skipSpace();
        while (peek() == '"') {
            const std::string key = nlohmann::json::parse(rawString()).get<std::string>();
            skipSpace();
            if (key == name) {
                return true;
            }
            skipValue();
            skipSpace();
        }
        pos_ = start;
        return false;
    }

    bool enterElement(std::size_t index) {
        if (peek() != '[') {
            return false;
        }
        const std::size_t start = pos_++;
        skipSpace();
        for (std::size_t i = 0; i < index && peek() != ']'; ++i) {
            skipValue();
            skipSpace();
        }
        if (peek() == ']') {
            pos_ = start;
            return false;
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

int lineOfPath(std::string_view text, const JsonPath& path) {
    return lineOfOffset(text, Walker(text).find(path));
}

} // namespace vantorel::render
