#include "stand_in_host/state_stream.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>

namespace vantorel::standin {

namespace {

constexpr std::size_t kFloatBytes = 4;

void writeThroughState(void* writerData, const float* buffer, int count) {
    auto* stream = static_cast<StateStream*>(writerData);
    if (!stream || !buffer || count < 0) {
        return;
    }
    stream->write(std::span<const float>(buffer, static_cast<std::size_t>(count)));
}

int readThroughState(void* readerData, float* buffer, int count) {
    auto* reader = static_cast<StreamReader*>(readerData);
    return reader ? reader->read(buffer, count) : -1;
}

void appendBinary(std::string& bytes, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < kFloatBytes; ++i) {
        bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFFu));
    }
}

void appendText(std::string& bytes, float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    bytes.append(text, written.ptr);
}

bool isSeparator(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

} // namespace

StateStream::StateStream(int encoding) : encoding_(encoding) {}

SaveState StateStream::saveState() {
    return SaveState{encoding_, this, &writeThroughState};
}

void StateStream::write(std::span<const float> values) {
    writeCounts_.push_back(static_cast<int>(values.size()));
    if (encoding_ == STATE_ENCODING_BINARY) {
        for (float value : values) {
            appendBinary(bytes_, value);
        }
        return;
    }
    if (values.empty()) {
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            bytes_.push_back(' ');
        }
        appendText(bytes_, values[i]);
    }
    bytes_.push_back('\n');
}

void StateStream::truncate(std::size_t byteCount) {
    bytes_.resize(std::min(byteCount, bytes_.size()));
}

void StateStream::overwrite(std::size_t offset, std::string_view replacement) {
    if (offset >= bytes_.size()) {
        return;
    }
    const std::size_t count = std::min(replacement.size(), bytes_.size() - offset);
    bytes_.replace(offset, count, replacement.substr(0, count));
}

StreamReader::StreamReader(const StateStream& stream) : stream_(stream) {}

LoadState StreamReader::loadState() {
    return LoadState{stream_.encoding(), this, &readThroughState};
}

int StreamReader::allowance(int count) const {
    int limit = count;
    if (valuesPerCall_) {
        limit = std::min(limit, std::max(*valuesPerCall_, 0));
    }
    if (failAfter_) {
        limit = std::min(limit, std::max(*failAfter_ - delivered_, 0));
    }
    return limit;
}

int StreamReader::read(float* buffer, int count) {
    requestedCounts_.push_back(count);
    if (failed_ || !buffer || count < 0) {
        return -1;
    }
    if (count == 0) {
        return 0;
    }
    if (failAfter_ && delivered_ >= *failAfter_) {
        failed_ = true;
        return -1;
    }
    const int limit = allowance(count);
    int deliveredNow = 0;
    while (deliveredNow < limit) {
        const std::optional<float> value =
            stream_.encoding() == STATE_ENCODING_BINARY ? nextBinary() : nextText();
        if (!value) {
            break;
        }
        buffer[deliveredNow++] = *value;
    }
    delivered_ += deliveredNow;
    return (deliveredNow == 0 && failed_) ? -1 : deliveredNow;
}

bool StreamReader::atEnd() const {
    const std::string& bytes = stream_.bytes();
    if (stream_.encoding() == STATE_ENCODING_BINARY) {
        return bytes.size() - std::min(position_, bytes.size()) < kFloatBytes;
    }
    return std::all_of(bytes.begin() +
                           static_cast<std::ptrdiff_t>(std::min(position_, bytes.size())),
                       bytes.end(), isSeparator);
}

// A trailing part of a float, left by truncation, counts as the end of the stream.
std::optional<float> StreamReader::nextBinary() {
    const std::string& bytes = stream_.bytes();
    if (position_ > bytes.size() || bytes.size() - position_ < kFloatBytes) {
        return std::nullopt;
    }
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < kFloatBytes; ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[position_ + i]))
                << (8 * i);
    }
    position_ += kFloatBytes;
    return std::bit_cast<float>(bits);
}

std::optional<float> StreamReader::nextText() {
    const std::string& bytes = stream_.bytes();
    while (position_ < bytes.size() && isSeparator(bytes[position_])) {
        ++position_;
    }
    if (position_ >= bytes.size()) {
        return std::nullopt;
    }
    std::size_t end = position_;
    while (end < bytes.size() && !isSeparator(bytes[end])) {
        ++end;
    }
    float value = 0.0f;
    const char* first = bytes.data() + position_;
    const char* last = bytes.data() + end;
    const auto parsed = std::from_chars(first, last, value);
    if (parsed.ec != std::errc() || parsed.ptr != last) {
        failed_ = true;
        return std::nullopt;
    }
    position_ = end;
    return value;
}

} // namespace vantorel::standin
