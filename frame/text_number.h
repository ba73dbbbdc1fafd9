#pragma once
// The decimal number at the start of a text, as combo box items are read.

#include <cstdint>
#include <string_view>

namespace frame {

// Full-width ASCII forms read as ASCII, leading white space skipped, one optional sign, then
// decimal digits up to the first non-digit, wrapping at 32 bits. No digits give 0.
std::int32_t TextToInt(std::string_view text);

// The low 8 bits of TextToInt: "256" gives 0x00 and "-1" gives 0xFF.
std::uint8_t TextToByte(std::string_view text);

} // namespace frame
