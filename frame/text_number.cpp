#include "frame/text_number.h"

#include "frame/utf8.h"

namespace frame {

namespace {

// Full-width forms U+FF01..U+FF5E stand for ASCII 0x21..0x7E; U+3000 is the full-width space.
char32_t AsAscii(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        return c - 0xFF01 + 0x21;
    }
    if (c == 0x3000) {
        return U' ';
    }
    return c;
}

bool IsWhiteSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\v' || c == U'\f' || c == U'\r';
}

} // namespace

std::int32_t TextToInt(std::string_view text) {
    const std::u32string chars = DecodeUtf8(text);
    std::size_t i = 0;
    while (i < chars.size() && IsWhiteSpace(AsAscii(chars[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < chars.size() && (AsAscii(chars[i]) == U'+' || AsAscii(chars[i]) == U'-')) {
        negative = AsAscii(chars[i]) == U'-';
        ++i;
    }
    std::uint32_t value = 0; // unsigned, so overflow wraps instead of being undefined
    for (; i < chars.size(); ++i) {
        const char32_t c = AsAscii(chars[i]);
        if (c < U'0' || c > U'9') {
            break;
        }
        value = value * 10u + static_cast<std::uint32_t>(c - U'0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

std::uint8_t TextToByte(std::string_view text) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(TextToInt(text)) & 0xFF);
}

} // namespace frame
