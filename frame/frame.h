#pragma once
// Byte frames as the devices read them: fixed length, zero-filled at creation, 16-bit values
// high byte first, the CRC field (low byte first) in the last two bytes.

#include <cstdint>
#include <span>
#include <vector>

namespace frame {

using Byte = std::uint8_t;
using Frame = std::vector<Byte>;

constexpr std::uint32_t BitValue(int n) {
    return 1u << n;
}
constexpr Byte HighByte(std::uint32_t v) {
    return static_cast<Byte>((v >> 8) & 0xFF);
}
constexpr Byte LowByte(std::uint32_t v) {
    return static_cast<Byte>(v & 0xFF);
}
constexpr std::uint32_t Complement16(std::uint32_t v) {
    return v ^ 0xFFFF;
}

// The constant word the devices expect right before the CRC of their frames.
constexpr std::uint16_t kTrailerWord = 0x00C9;

// Stores v high byte first at index and index + 1.
void PutWord(Frame& f, std::size_t index, std::uint32_t v);

// Fills the last two bytes with the CRC-16 of every byte before them, low byte first.
void SealFrame(Frame& f);

// Command heads of the devices' own (non-Modbus) commands.
struct CommandHead {
    Byte first;
    Byte second;
};
constexpr CommandHead kRelayHead{0xFD, 0xDF};
constexpr CommandHead kSwitchHead{0xFE, 0xEF};

// address, head, code, payload, 00 C9, CRC: 8 bytes plus the payload.
Frame CommandFrame(Byte address, CommandHead head, Byte code, std::span<const Byte> payload);

} // namespace frame
