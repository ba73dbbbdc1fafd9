#pragma once
// Splits the byte stream of the line into frames.
//
// At each position the decoder tries the known layouts (sim/message.h): a run with the shape of
// one of them and a correct CRC is a frame. Where nothing fits, it drops one byte and tries the
// next position, so it falls back into step after noise, a lost byte or a truncated frame. Bytes
// that might still become a frame are kept until more arrive, or until the caller reports a
// quiet gap on the line (Flush); then whatever is left is decided with no more bytes to come.
//
// Dropped bytes are collected and reported, as one event per piece, when the next frame starts
// or at the gap: a piece with a frame's shape and length is a bad CRC, a piece that starts like
// a frame but ends too soon is incomplete, anything else is unknown.
//
// The decoder does no I/O and keeps no clock; feed it bytes in any chunks.

#include "sim/message.h"

#include <span>
#include <variant>
#include <vector>

namespace sim {

struct Decoded {
    Message message;
    Frame bytes; // as received; equal to Encode(message)
};

enum class Fault { BadCrc, Incomplete, Unknown };

struct Dropped {
    Fault fault = Fault::Unknown;
    Frame bytes;
};

using DecoderEvent = std::variant<Decoded, Dropped>;

class Decoder {
  public:
    // Takes bytes from the line; returns the frames (and dropped pieces) they complete.
    std::vector<DecoderEvent> Feed(std::span<const Byte> bytes);

    // The line has been quiet: nothing more belongs to the frame in progress. Returns what the
    // kept bytes turn out to be; afterwards nothing is pending.
    std::vector<DecoderEvent> Flush();

    // True while bytes are kept that Flush would decide.
    bool Pending() const { return pos_ < buffer_.size() || !dropped_.empty(); }

  private:
    void Scan(bool final, std::vector<DecoderEvent>& out);
    void ReportDropped(std::vector<DecoderEvent>& out);

    std::vector<Byte> buffer_;
    std::size_t pos_ = 0; // first byte of buffer_ not yet decided
    std::vector<Byte> dropped_;
};

} // namespace sim
