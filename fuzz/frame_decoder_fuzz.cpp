// The simulator's frame decoder on any byte stream, fed in chunks of any size with quiet gaps
// (Flush) anywhere:
// - it never loses, invents or reorders a byte: the frames and dropped pieces it reports, in
//   order, are the stream so far, less only the bytes still pending; after a gap nothing is;
// - a decoded frame re-encodes to the same bytes and parses back to the same message;
// - a piece dropped as a bad CRC has a frame's shape and length and does not parse;
// - the decoded frames sent again back to back, in one piece, decode to the same messages with
//   nothing dropped.
//
// Input: one byte that sets the chunk sizes (and, with bit 7, gaps between chunks), then the
// bytes of the line.

#include "fuzz/fuzz_check.h"
#include "sim/decoder.h"
#include "sim/message.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace {

using sim::Byte;
using sim::Frame;

struct Received {
    Frame bytes; // every byte of every event, in order
    std::vector<sim::Decoded> frames;
};

void Check(const std::vector<sim::DecoderEvent>& events, Received& received) {
    for (const auto& event : events) {
        if (const auto* decoded = std::get_if<sim::Decoded>(&event)) {
            FUZZ_CHECK(sim::Encode(decoded->message) == decoded->bytes);
            const auto parsed = sim::Parse(decoded->bytes);
            FUZZ_CHECK(parsed.has_value() && *parsed == decoded->message);
            received.frames.push_back(*decoded);
            received.bytes.insert(received.bytes.end(), decoded->bytes.begin(),
                                  decoded->bytes.end());
            continue;
        }
        const auto& dropped = std::get<sim::Dropped>(event);
        FUZZ_CHECK(!dropped.bytes.empty());
        if (dropped.fault == sim::Fault::BadCrc) {
            const sim::Shape shape = sim::MatchShape(dropped.bytes);
            FUZZ_CHECK(shape.fit == sim::Fit::Whole && shape.length == dropped.bytes.size());
            FUZZ_CHECK(!sim::Parse(dropped.bytes).has_value());
        }
        received.bytes.insert(received.bytes.end(), dropped.bytes.begin(), dropped.bytes.end());
    }
}

// What has been reported so far is the start of what was fed, and all of it once nothing is
// pending.
void CheckAccounted(const sim::Decoder& decoder, const Received& received,
                    std::span<const Byte> fed) {
    FUZZ_CHECK(received.bytes.size() <= fed.size());
    FUZZ_CHECK(std::equal(received.bytes.begin(), received.bytes.end(), fed.begin()));
    FUZZ_CHECK(decoder.Pending() || received.bytes.size() == fed.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool gaps = (data[0] & 0x80) != 0;
    std::uint32_t chunking = data[0] & 0x7F;
    const std::span<const Byte> line(data + 1, size - 1);

    sim::Decoder decoder;
    Received received;
    std::size_t fed = 0;
    while (fed < line.size()) {
        chunking = chunking * 1103515245u + 12345u;
        const std::size_t chunk =
            std::min<std::size_t>(1 + (chunking >> 16) % 64, line.size() - fed);
        Check(decoder.Feed(line.subspan(fed, chunk)), received);
        fed += chunk;
        CheckAccounted(decoder, received, line.first(fed));
        if (gaps && (chunking >> 24) % 4 == 0) {
            Check(decoder.Flush(), received);
            FUZZ_CHECK(!decoder.Pending());
            CheckAccounted(decoder, received, line.first(fed));
        }
    }
    Check(decoder.Flush(), received);
    FUZZ_CHECK(!decoder.Pending());
    CheckAccounted(decoder, received, line);

    Frame clean;
    for (const auto& frame : received.frames) {
        clean.insert(clean.end(), frame.bytes.begin(), frame.bytes.end());
    }
    sim::Decoder again;
    auto events = again.Feed(clean);
    const auto rest = again.Flush();
    events.insert(events.end(), rest.begin(), rest.end());
    FUZZ_CHECK(events.size() == received.frames.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const auto* decoded = std::get_if<sim::Decoded>(&events[i]);
        FUZZ_CHECK(decoded != nullptr && decoded->message == received.frames[i].message);
    }
    return 0;
}
