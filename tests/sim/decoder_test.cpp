#include "sim/decoder.h"

#include "sim/message.h"
#include "tests/fakes/hex_bytes.h"
#include "tests/sim/console_frames.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using fakes::Hex;
using sim::Byte;
using sim::Decoder;
using sim::DecoderEvent;
using sim::Frame;
using sim_test::HexOf;

// "frame 01 FD ...", "bad CRC 01 FD ...", "incomplete ...", "unknown ..."
std::vector<std::string> Describe(const std::vector<DecoderEvent>& events) {
    std::vector<std::string> lines;
    for (const DecoderEvent& event : events) {
        if (const auto* decoded = std::get_if<sim::Decoded>(&event)) {
            lines.push_back("frame " + HexOf(decoded->bytes));
            continue;
        }
        const auto& dropped = std::get<sim::Dropped>(event);
        const char* kind = dropped.fault == sim::Fault::BadCrc       ? "bad CRC "
                           : dropped.fault == sim::Fault::Incomplete ? "incomplete "
                                                                     : "unknown ";
        lines.push_back(kind + HexOf(dropped.bytes));
    }
    return lines;
}

void Append(std::vector<DecoderEvent>& to, std::vector<DecoderEvent> more) {
    for (auto& event : more) {
        to.push_back(std::move(event));
    }
}

// Feeds `bytes` in chunks of random size (1 to maxChunk), then reports a quiet gap.
std::vector<DecoderEvent> FeedInChunks(Decoder& decoder, const Frame& bytes, std::mt19937& rng,
                                       std::size_t maxChunk) {
    std::vector<DecoderEvent> events;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t n = std::min(
            bytes.size() - at, std::uniform_int_distribution<std::size_t>(1, maxChunk)(rng));
        Append(events, decoder.Feed(std::span(bytes).subspan(at, n)));
        at += n;
    }
    Append(events, decoder.Flush());
    return events;
}

class ConsoleFrameDecoding : public ::testing::TestWithParam<sim_test::ConsoleFrame> {};

TEST_P(ConsoleFrameDecoding, ReadsItsFieldsAndEncodesBackToTheSameBytes) {
    const Frame bytes = Hex(GetParam().hex);
    Decoder decoder;
    const auto events = decoder.Feed(bytes);
    ASSERT_EQ(events.size(), 1u);
    const auto* decoded = std::get_if<sim::Decoded>(&events[0]);
    ASSERT_NE(decoded, nullptr) << Describe(events)[0];
    EXPECT_EQ(decoded->message, GetParam().message);
    EXPECT_EQ(decoded->bytes, bytes);
    EXPECT_EQ(sim::Encode(decoded->message), bytes);
    EXPECT_FALSE(decoder.Pending());
}

TEST_P(ConsoleFrameDecoding, WaitsForTheRestAtEveryChunkBoundary) {
    const Frame bytes = Hex(GetParam().hex);
    for (std::size_t split = 1; split < bytes.size(); ++split) {
        SCOPED_TRACE("split after byte " + std::to_string(split));
        Decoder decoder;
        EXPECT_TRUE(decoder.Feed(std::span(bytes).first(split)).empty());
        EXPECT_TRUE(decoder.Pending());
        EXPECT_EQ(Describe(decoder.Feed(std::span(bytes).subspan(split))),
                  std::vector<std::string>{"frame " + HexOf(bytes)});
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ConsoleFrameDecoding,
                         ::testing::ValuesIn(sim_test::ConsoleFrames()),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(DecoderStream, ReadsAllConsoleFramesBackToBackWhateverTheChunks) {
    Frame stream;
    std::vector<std::string> expected;
    for (const auto& f : sim_test::ConsoleFrames()) {
        const Frame bytes = Hex(f.hex);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
        expected.push_back("frame " + HexOf(bytes));
    }
    for (const std::size_t maxChunk : {1u, 3u, 7u, 40u, 500u}) {
        std::mt19937 rng(static_cast<unsigned>(maxChunk));
        Decoder decoder;
        EXPECT_EQ(Describe(FeedInChunks(decoder, stream, rng, maxChunk)), expected)
            << "chunks of up to " << maxChunk;
    }
}

// What the decoder makes of damaged input: the stream is fed in one piece, then a quiet gap.
struct FaultCase {
    const char* name;
    std::string stream;
    std::vector<std::string> events;
    bool decidedBeforeGap; // every event is out before Flush
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kControl = "01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73";
const std::string kSetBaud = "01 FD DF 03 00 00 C9 4B EC";
const std::string kSetInput = "01 FD DF 04 01 00 C9 1B 58";

const FaultCase kFaultCases[] = {
    {"NoiseBeforeAFrame", "AA BB CC " + kControl, {"unknown AA BB CC", "frame " + kControl}, true},
    {"NoiseBetweenFrames",
     kSetBaud + " 55 00 " + kSetInput,
     {"frame " + kSetBaud, "unknown 55 00", "frame " + kSetInput},
     true},
    {"FirstByteLost",
     "10 00 1F 00 03 06 00 00 00 00 00 C9 17 73 " + kSetBaud,
     {"unknown 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73", "frame " + kSetBaud},
     true},
    {"TruncatedFrameThenAGoodOne",
     "01 10 00 1F 00 03 06 00 00 " + kSetBaud,
     {"incomplete 01 10 00 1F 00 03 06 00 00", "frame " + kSetBaud},
     true},
    // 7 + 9 bytes are fewer than the 17 a scene frame needs: only the gap settles it.
    {"TruncatedSceneThenAShortFrame",
     "01 10 01 90 00 04 08 " + kSetBaud,
     {"incomplete 01 10 01 90 00 04 08", "frame " + kSetBaud},
     false},
    {"WrongCrcThenAGoodFrame",
     "01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 74 " + kSetInput,
     {"bad CRC 01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 74", "frame " + kSetInput},
     true},
    {"WrongCrcLast", "01 FD DF 03 00 00 C9 4B ED", {"bad CRC 01 FD DF 03 00 00 C9 4B ED"}, false},
    {"UnknownCommandCode",
     "01 FD DF 09 00 00 C9 00 00 " + kSetBaud,
     {"unknown 01 FD DF 09 00 00 C9 00 00", "frame " + kSetBaud},
     true},
};

class DecoderFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(DecoderFaults, FallsBackIntoStepAndReportsWhatItDropped) {
    Decoder decoder;
    auto events = decoder.Feed(Hex(GetParam().stream));
    const auto beforeGap = Describe(events);
    Append(events, decoder.Flush());
    EXPECT_EQ(Describe(events), GetParam().events);
    if (GetParam().decidedBeforeGap) {
        EXPECT_EQ(beforeGap, GetParam().events);
    }
    EXPECT_FALSE(decoder.Pending());
}

INSTANTIATE_TEST_SUITE_P(Cases, DecoderFaults, ::testing::ValuesIn(kFaultCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(DecoderGap, KeepsAPartialFrameUntilMoreBytesOrAQuietGap) {
    const Frame control = Hex(kControl);
    const auto head = std::span(control).first(5);
    Decoder decoder;
    EXPECT_TRUE(decoder.Feed(head).empty());
    EXPECT_TRUE(decoder.Pending());
    EXPECT_EQ(Describe(decoder.Flush()), std::vector<std::string>{"incomplete 01 10 00 1F 00"});
    EXPECT_FALSE(decoder.Pending());
    EXPECT_TRUE(decoder.Flush().empty());
    EXPECT_EQ(Describe(decoder.Feed(control)), std::vector<std::string>{"frame " + kControl});
}

// Any valid frame of the known layouts, with random fields.
sim::Message RandomMessage(std::mt19937& rng) {
    const auto byte = [&] { return static_cast<Byte>(rng()); };
    if (rng() % 2 == 0) {
        sim::RegisterWrite write{byte(), static_cast<std::uint16_t>(rng()), {}};
        const auto count = std::uniform_int_distribution<std::size_t>(1, sim::kMaxRegisters)(rng);
        for (std::size_t i = 0; i < count; ++i) {
            write.values.push_back(static_cast<std::uint16_t>(rng()));
        }
        return write;
    }
    const sim::Head head = rng() % 2 == 0 ? sim::Head::Relay : sim::Head::Switch;
    std::vector<Byte> codes;
    for (int code = 0; code < 256; ++code) {
        if (sim::PayloadLength(head, static_cast<Byte>(code))) {
            codes.push_back(static_cast<Byte>(code));
        }
    }
    const Byte code = codes[rng() % codes.size()];
    sim::Command command{byte(), head, code, std::vector<Byte>(*sim::PayloadLength(head, code))};
    for (Byte& b : command.payload) {
        b = byte();
    }
    return command;
}

TEST(DecoderProperty, RandomValidFramesDecodeToTheirFieldsAndEncodeBack) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 300; ++round) {
        std::vector<sim::Message> messages;
        Frame stream;
        const int frames = std::uniform_int_distribution<int>(1, 4)(rng);
        for (int i = 0; i < frames; ++i) {
            messages.push_back(RandomMessage(rng));
            const Frame bytes = sim::Encode(messages.back());
            stream.insert(stream.end(), bytes.begin(), bytes.end());
        }
        Decoder decoder;
        const auto events = FeedInChunks(decoder, stream, rng, 30);
        ASSERT_EQ(events.size(), messages.size()) << "round " << round;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const auto* decoded = std::get_if<sim::Decoded>(&events[i]);
            ASSERT_NE(decoded, nullptr) << "round " << round << ": " << Describe(events)[i];
            EXPECT_EQ(decoded->message, messages[i]);
            EXPECT_EQ(sim::Encode(decoded->message), decoded->bytes);
        }
    }
}

} // namespace
