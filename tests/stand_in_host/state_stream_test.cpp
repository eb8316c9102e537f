#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "stand_in_host/state_stream.h"

namespace vantorel::standin {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Values chosen to break a careless encoding: signed zero, infinities, not-a-number, the
// smallest subnormal, the largest float and one that no short decimal holds exactly.
const std::vector<float> kAwkwardValues = {0.0f,
                                           -0.0f,
                                           1.0f,
                                           -2.5f,
                                           0.1f,
                                           kInf,
                                           -kInf,
                                           std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::denorm_min(),
                                           std::numeric_limits<float>::max(),
                                           3.14159274f,
                                           16777217.0f,
                                           -1e-30f};

void writeInChunks(StateStream& stream, const std::vector<float>& values, int chunk) {
    const SaveState state = stream.saveState();
    for (std::size_t at = 0; at < values.size(); at += static_cast<std::size_t>(chunk)) {
        const auto count =
            std::min<std::size_t>(static_cast<std::size_t>(chunk), values.size() - at);
        state.writeFloats(state.writerData, values.data() + at, static_cast<int>(count));
    }
}

std::vector<float> readInChunks(StreamReader& reader, int chunk) {
    const LoadState state = reader.loadState();
    std::vector<float> values;
    std::vector<float> buffer(static_cast<std::size_t>(chunk));
    while (true) {
        const int got = state.readFloats(state.readerData, buffer.data(), chunk);
        if (got <= 0) {
            return values;
        }
        values.insert(values.end(), buffer.begin(), buffer.begin() + got);
    }
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i]) &&
            !(std::isnan(a[i]) && std::isnan(b[i]))) {
            return false;
        }
    }
    return true;
}

struct ChunkCase {
    int encoding;
    int writeChunk;
    int readChunk;
};

class StreamRoundTrip : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(StreamRoundTrip, FloatsComeBackBitForBitWhateverTheChunkSizes) {
    const ChunkCase c = GetParam();
    StateStream stream(c.encoding);
    writeInChunks(stream, kAwkwardValues, c.writeChunk);
    StreamReader reader(stream);

    EXPECT_TRUE(sameBits(readInChunks(reader, c.readChunk), kAwkwardValues));
    EXPECT_TRUE(reader.atEnd());
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, StreamRoundTrip,
                         ::testing::Values(ChunkCase{STATE_ENCODING_BINARY, 13, 13},
                                           ChunkCase{STATE_ENCODING_BINARY, 5, 3},
                                           ChunkCase{STATE_ENCODING_BINARY, 1, 7},
                                           ChunkCase{STATE_ENCODING_BINARY, 4, 1},
                                           ChunkCase{STATE_ENCODING_TEXT, 13, 13},
                                           ChunkCase{STATE_ENCODING_TEXT, 5, 3},
                                           ChunkCase{STATE_ENCODING_TEXT, 1, 7},
                                           ChunkCase{STATE_ENCODING_TEXT, 4, 1}));

TEST(StateStream, TextEncodingIsOneLinePerWriteOfShortestDecimals) {
    StateStream stream(STATE_ENCODING_TEXT);
    writeInChunks(stream, {2.5f, 0.1f, -kInf, 3.0f}, 3);
    EXPECT_EQ(stream.bytes(), "2.5 0.1 -inf\n3\n");
    EXPECT_EQ(stream.writeCounts(), (std::vector<int>{3, 1}));
}

TEST(StateStream, BinaryEncodingIsFourBytesPerFloatLeastSignificantFirst) {
    StateStream stream(STATE_ENCODING_BINARY);
    writeInChunks(stream, {1.0f}, 1);
    EXPECT_EQ(stream.bytes(), std::string("\x00\x00\x80\x3F", 4));
}

TEST(StreamReader, ReadsUpToTheEndThenDeliversNothing) {
    StateStream stream;
    writeInChunks(stream, {1.0f, 2.0f, 3.0f}, 3);
    StreamReader reader(stream);
    float buffer[5] = {};
    EXPECT_EQ(reader.read(buffer, 5), 3);
    EXPECT_EQ(reader.read(buffer, 5), 0);
    EXPECT_EQ(reader.read(buffer, 0), 0);
    EXPECT_EQ(reader.read(nullptr, 1), -1);
    EXPECT_EQ(reader.requestedCounts(), (std::vector<int>{5, 5, 0, 1}));
}

TEST(StreamReader, ATruncatedStreamEndsAtItsLastWholeValue) {
    for (int encoding : {STATE_ENCODING_BINARY, STATE_ENCODING_TEXT}) {
        StateStream stream(encoding);
        writeInChunks(stream, {1.0f, 2.0f, 3.0f}, 3);
        stream.truncate(encoding == STATE_ENCODING_BINARY ? 10 : 4);
        StreamReader reader(stream);
        EXPECT_EQ(readInChunks(reader, 3), (std::vector<float>{1.0f, 2.0f})) << encoding;
    }
}

TEST(StreamReader, TextThatIsNotANumberFailsTheReadAfterTheValuesBeforeIt) {
    StateStream stream(STATE_ENCODING_TEXT);
    writeInChunks(stream, {1.0f, 2.0f, 3.0f}, 3);
    stream.overwrite(2, "x");
    StreamReader reader(stream);
    float buffer[3] = {};
    EXPECT_EQ(reader.read(buffer, 3), 1);
    EXPECT_EQ(buffer[0], 1.0f);
    EXPECT_EQ(reader.read(buffer, 3), -1);
    EXPECT_EQ(reader.read(buffer, 3), -1);
}

TEST(StreamReader, FaultInjectionShortensReadsAndFailsOnCue) {
    StateStream stream;
    writeInChunks(stream, {1.0f, 2.0f, 3.0f, 4.0f, 5.0f}, 5);
    StreamReader reader(stream);
    reader.deliverAtMost(2);
    reader.failAfter(3);
    float buffer[5] = {};
    EXPECT_EQ(reader.read(buffer, 5), 2);
    EXPECT_EQ(reader.read(buffer, 5), 1);
    EXPECT_EQ(buffer[0], 3.0f);
    EXPECT_EQ(reader.read(buffer, 5), -1);
    EXPECT_EQ(reader.delivered(), 3);
}

} // namespace
} // namespace vantorel::standin
