// Scene state kept in memory, written through a save state and read back through a load state.
//
// The binary encoding stores each float as its four bytes, least significant first. The text
// encoding stores each float as the shortest decimal that reads back to the same float, values
// separated by spaces and each write call ending its line. Both read back the same floats,
// whatever chunk sizes the writes and the reads use.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/host_interface.h"

namespace vantorel::standin {

class StateStream {
public:
    explicit StateStream(int encoding = STATE_ENCODING_BINARY);

    int encoding() const { return encoding_; }

    // A save state whose writer appends to this stream. The stream must outlive its use.
    SaveState saveState();
    void write(std::span<const float> values);

    // The encoded bytes, for inspection and for deliberate damage.
    const std::string& bytes() const { return bytes_; }
    void setBytes(std::string bytes) { bytes_ = std::move(bytes); }
    void truncate(std::size_t byteCount);
    void overwrite(std::size_t offset, std::string_view replacement);

    // The count of each write call, in order.
    const std::vector<int>& writeCounts() const { return writeCounts_; }

private:
    int encoding_;
    std::string bytes_;
    std::vector<int> writeCounts_;
};

// Reads a stream from its start, as the host's float reader does: each call delivers as many of
// the requested values as the stream still holds, 0 at its end, and -1 once the stream cannot
// be read (a text value that is not a number, a null buffer, or an injected failure).
class StreamReader {
public:
    explicit StreamReader(const StateStream& stream);

    // A load state whose reader reads through this object. Both must outlive its use.
    LoadState loadState();
    int read(float* buffer, int count);

    // Fault injection: deliver at most this many values per call, however many are asked for.
    void deliverAtMost(int valuesPerCall) { valuesPerCall_ = valuesPerCall; }
    // Fault injection: return -1 once this many values have been delivered.
    void failAfter(int values) { failAfter_ = values; }

    int delivered() const { return delivered_; }
    bool atEnd() const;
    // The count asked for by each read call, in order.
    const std::vector<int>& requestedCounts() const { return requestedCounts_; }

private:
    std::optional<float> nextBinary();
    std::optional<float> nextText();
    int allowance(int count) const;

    const StateStream& stream_;
    std::size_t position_ = 0;
    int delivered_ = 0;
    bool failed_ = false;
    std::optional<int> valuesPerCall_;
    std::optional<int> failAfter_;
    std::vector<int> requestedCounts_;
};

} // namespace vantorel::standin
