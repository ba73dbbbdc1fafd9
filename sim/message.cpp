#include "sim/message.h"

#include "frame/crc16.h"

namespace sim {
namespace {

constexpr std::size_t kWriteHeader = 7; // addr, function, first (2), count (2), byte count
constexpr std::size_t kCommandHeader = 4;

std::uint16_t WordAt(std::span<const Byte> bytes, std::size_t i) {
    return static_cast<std::uint16_t>((bytes[i] << 8) | bytes[i + 1]);
}

std::optional<Head> HeadAt(std::span<const Byte> bytes) {
    for (const Head head : {Head::Relay, Head::Switch}) {
        const frame::CommandHead h = HeadBytes(head);
        if (bytes[1] == h.first && (bytes.size() < 3 || bytes[2] == h.second)) {
            return head;
        }
    }
    return std::nullopt;
}

Shape MatchWrite(std::span<const Byte> bytes) {
    if (bytes.size() >= 6) {
        const std::uint16_t count = WordAt(bytes, 4);
        if (count == 0 || count > kMaxRegisters) {
            return {};
        }
        if (bytes.size() >= kWriteHeader && bytes[6] != 2 * count) {
            return {};
        }
    }
    if (bytes.size() < kWriteHeader) {
        return {Fit::Partial, 0};
    }
    const std::size_t length = kWriteHeader + bytes[6] + 2;
    return {bytes.size() >= length ? Fit::Whole : Fit::Partial, length};
}

Shape MatchCommand(std::span<const Byte> bytes, Head head) {
    if (bytes.size() < kCommandHeader) {
        return {Fit::Partial, 0};
    }
    const auto payload = PayloadLength(head, bytes[3]);
    if (!payload) {
        return {};
    }
    const std::size_t trailer = kCommandHeader + *payload;
    const std::size_t length = trailer + 4;
    if ((bytes.size() > trailer && bytes[trailer] != frame::HighByte(frame::kTrailerWord)) ||
        (bytes.size() > trailer + 1 && bytes[trailer + 1] != frame::LowByte(frame::kTrailerWord))) {
        return {};
    }
    return {bytes.size() >= length ? Fit::Whole : Fit::Partial, length};
}

} // namespace

frame::CommandHead HeadBytes(Head head) {
    return head == Head::Relay ? frame::kRelayHead : frame::kSwitchHead;
}

std::optional<std::size_t> PayloadLength(Head head, Byte code) {
    if (head == Head::Relay) {
        switch (code) {
        case relay_code::kSetModuleId:
        case relay_code::kSetBaud:
        case relay_code::kSetInput:
            return 1;
        case relay_code::kPowerOnStatus:
            return 2;
        default:
            return std::nullopt;
        }
    }
    switch (code) {
    case switch_code::kWriteSettings:
        return 16;
    case switch_code::kSetId:
    case switch_code::kSetBaud:
    case switch_code::kClear:
    case switch_code::kReadSettings:
    case switch_code::kSetupMode:
        return 1;
    default:
        return std::nullopt;
    }
}

Frame Encode(const Message& message) {
    if (const auto* command = std::get_if<Command>(&message)) {
        return frame::CommandFrame(command->address, HeadBytes(command->head), command->code,
                                   command->payload);
    }
    const auto& write = std::get<RegisterWrite>(message);
    const std::size_t count = write.values.size();
    Frame f(kWriteHeader + 2 * count + 2, 0);
    f[0] = write.address;
    f[1] = kWriteRegisters;
    frame::PutWord(f, 2, write.first);
    frame::PutWord(f, 4, static_cast<std::uint32_t>(count));
    f[6] = static_cast<Byte>(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        frame::PutWord(f, kWriteHeader + 2 * i, write.values[i]);
    }
    frame::SealFrame(f);
    return f;
}

Shape MatchShape(std::span<const Byte> bytes) {
    if (bytes.size() < 2) {
        return {bytes.empty() ? Fit::None : Fit::Partial, 0};
    }
    if (bytes[1] == kWriteRegisters) {
        return MatchWrite(bytes);
    }
    if (const auto head = HeadAt(bytes)) {
        return MatchCommand(bytes, *head);
    }
    return {};
}

std::optional<Message> Parse(std::span<const Byte> bytes) {
    const Shape shape = MatchShape(bytes);
    if (shape.fit != Fit::Whole) {
        return std::nullopt;
    }
    const std::size_t n = shape.length - 2;
    const std::uint16_t crc = frame::Crc16(bytes, n);
    if (bytes[n] != frame::LowByte(crc) || bytes[n + 1] != frame::HighByte(crc)) {
        return std::nullopt;
    }
    if (bytes[1] == kWriteRegisters) {
        RegisterWrite write{bytes[0], WordAt(bytes, 2), {}};
        for (std::size_t i = kWriteHeader; i < n; i += 2) {
            write.values.push_back(WordAt(bytes, i));
        }
        return write;
    }
    const Head head = *HeadAt(bytes);
    return Command{bytes[0], head, bytes[3],
                   std::vector<Byte>(bytes.begin() + kCommandHeader, bytes.begin() + n - 2)};
}

} // namespace sim
