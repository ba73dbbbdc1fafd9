#pragma once
// The frames the simulated devices understand, taken apart into their fields, and the byte
// layouts that tell where a frame ends.
//
// Two families travel on the line, each closed by the CRC-16/MODBUS, low byte first:
//
//   function 16   addr 10 first(hi lo) count(hi lo) 2*count value(hi lo)... crc
//                 (1 to 123 registers; which registers mean what is the devices' business)
//   command       addr head(2) code payload 00 C9 crc
//                 relay head FD DF: 01 set module-id (1 byte), 02 power-on status (2),
//                                   03 set baud (1), 04 set input (1)
//                 switch head FE EF: 01 set ID (1), 02 write settings (16), 03 set baud (1),
//                                    04 clear (1), 05 read settings (1), 06 setup mode (1)
//
// A command code outside these tables has no known length, so its bytes cannot be told apart
// from noise.

#include "frame/frame.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace sim {

using frame::Byte;
using frame::Frame;

constexpr Byte kWriteRegisters = 0x10;
constexpr std::size_t kMaxRegisters = 123;

// Function 16: write `values` into consecutive registers from `first`.
struct RegisterWrite {
    Byte address = 0;
    std::uint16_t first = 0;
    std::vector<std::uint16_t> values;
    bool operator==(const RegisterWrite&) const = default;
};

enum class Head { Relay, Switch };

namespace relay_code {
constexpr Byte kSetModuleId = 0x01;
constexpr Byte kPowerOnStatus = 0x02;
constexpr Byte kSetBaud = 0x03;
constexpr Byte kSetInput = 0x04;
} // namespace relay_code

namespace switch_code {
constexpr Byte kSetId = 0x01;
constexpr Byte kWriteSettings = 0x02;
constexpr Byte kSetBaud = 0x03;
constexpr Byte kClear = 0x04;
constexpr Byte kReadSettings = 0x05;
constexpr Byte kSetupMode = 0x06;
} // namespace switch_code

// A device's own command. The 00 C9 word before the CRC is implied.
struct Command {
    Byte address = 0;
    Head head = Head::Relay;
    Byte code = 0;
    std::vector<Byte> payload;
    bool operator==(const Command&) const = default;
};

using Message = std::variant<RegisterWrite, Command>;

frame::CommandHead HeadBytes(Head head);

// Payload length of a known command code, or nullopt.
std::optional<std::size_t> PayloadLength(Head head, Byte code);

// The bytes of a message, CRC included. Decoding those bytes gives the message back.
Frame Encode(const Message& message);

// How the start of a byte run fits the known layouts. At most one layout can fit a run of two
// or more bytes, because the second byte (function or head) and the code tell them apart.
enum class Fit {
    None,    // no known layout starts like this
    Partial, // a layout starts like this, but more bytes are needed to finish (or refute) it
    Whole,   // the first `length` bytes have the shape of a known layout (the CRC is not checked)
};
struct Shape {
    Fit fit = Fit::None;
    std::size_t length = 0;
};
Shape MatchShape(std::span<const Byte> bytes);

// The message of a run that MatchShape found Whole with a correct CRC over its `length` bytes;
// nullopt otherwise.
std::optional<Message> Parse(std::span<const Byte> bytes);

} // namespace sim
