#pragma once
// Bytes as the user sees them: two upper-case hex digits and one space per byte.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace frame {

// "0A FF " for {0x0A, 0xFF}: exactly three characters per byte, the last space included.
std::string ToHexText(std::span<const std::uint8_t> bytes);

// Shows one parser message to the user (text, title) and returns when it has been seen.
using HexErrorReporter = std::function<void(const std::string& text, const std::string& title)>;

inline constexpr const char* kHexErrorTitle = "错误";
inline constexpr const char* kOddLengthMessage = "十六进制数据长度必须是偶数";
inline constexpr const char* kInvalidCharacterMessage = "无效的十六进制字符: ";

// Reads hex text back into bytes: digits in any grouping, either case, ASCII spaces anywhere,
// ideographic spaces only at the ends. On a malformed text it reports exactly one message
// through `report` before returning, and returns nothing; an empty or blanks-only text gives
// nothing and no message.
std::vector<std::uint8_t> ParseHexText(std::string_view text, const HexErrorReporter& report);

// The text without ASCII and ideographic spaces at either end.
std::string TrimBlanks(std::string_view text);

} // namespace frame
