#include "sim/decoder.h"

namespace sim {
namespace {

// A long run of noise is reported in pieces of this size rather than kept without limit.
constexpr std::size_t kMaxDropped = 256;

// The shortest start that counts as an incomplete frame rather than noise: enough to name the
// layout (address, function and first register, or address, head and code).
constexpr std::size_t kMinIncomplete = 4;

void AddUnknown(std::vector<DecoderEvent>& out, std::span<const Byte> bytes) {
    if (bytes.empty()) {
        return;
    }
    out.push_back(Dropped{Fault::Unknown, Frame(bytes.begin(), bytes.end())});
}

} // namespace

std::vector<DecoderEvent> Decoder::Feed(std::span<const Byte> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    std::vector<DecoderEvent> out;
    Scan(false, out);
    return out;
}

std::vector<DecoderEvent> Decoder::Flush() {
    std::vector<DecoderEvent> out;
    Scan(true, out);
    return out;
}

void Decoder::Scan(bool final, std::vector<DecoderEvent>& out) {
    while (pos_ < buffer_.size()) {
        const std::span<const Byte> rest(buffer_.data() + pos_, buffer_.size() - pos_);
        const Shape shape = MatchShape(rest);
        if (shape.fit == Fit::Partial && !final) {
            break;
        }
        if (shape.fit == Fit::Whole) {
            if (auto message = Parse(rest)) {
                ReportDropped(out);
                out.push_back(
                    Decoded{std::move(*message), Frame(rest.begin(), rest.begin() + shape.length)});
                pos_ += shape.length;
                continue;
            }
        }
        dropped_.push_back(rest.front());
        ++pos_;
        if (dropped_.size() >= kMaxDropped) {
            ReportDropped(out);
        }
    }
    if (final) {
        ReportDropped(out);
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(pos_));
    pos_ = 0;
}

// Cuts the dropped bytes into pieces. None of them starts a frame with a good CRC (else it would
// not have been dropped), so a whole shape here is a frame with a bad CRC.
void Decoder::ReportDropped(std::vector<DecoderEvent>& out) {
    const std::span<const Byte> bytes(dropped_);
    std::size_t i = 0;
    std::size_t unknownFrom = 0;
    while (i < bytes.size()) {
        const std::span<const Byte> rest = bytes.subspan(i);
        const Shape shape = MatchShape(rest);
        if (shape.fit == Fit::Whole) {
            AddUnknown(out, bytes.subspan(unknownFrom, i - unknownFrom));
            out.push_back(Dropped{Fault::BadCrc, Frame(rest.begin(), rest.begin() + shape.length)});
            i += shape.length;
            unknownFrom = i;
        } else if (shape.fit == Fit::Partial && rest.size() >= kMinIncomplete) {
            AddUnknown(out, bytes.subspan(unknownFrom, i - unknownFrom));
            out.push_back(Dropped{Fault::Incomplete, Frame(rest.begin(), rest.end())});
            i = unknownFrom = bytes.size();
        } else {
            ++i;
        }
    }
    AddUnknown(out, bytes.subspan(unknownFrom));
    dropped_.clear();
}

} // namespace sim
