#include "frame/crc16.h"

namespace frame {

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::size_t n) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return crc;
}

} // namespace frame
