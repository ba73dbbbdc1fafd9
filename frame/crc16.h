#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace frame {

// CRC-16/MODBUS (reflected polynomial 0xA001, initial value 0xFFFF, no final XOR) over the
// first n bytes.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::size_t n);

} // namespace frame
