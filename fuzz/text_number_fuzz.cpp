// TextToInt and TextToByte on any text, as combo box items and port names are read:
// - TextToByte is the low byte of TextToInt;
// - the number reads back from its own decimal text;
// - a text written in full-width forms (U+FF01..U+FF5E for the printable ASCII characters,
//   U+3000 for the space) reads as the same text in ASCII.

#include "frame/text_number.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The text with every printable ASCII character and space replaced by its full-width form, in
// UTF-8; every other byte (controls, tabs, line ends, non-ASCII bytes) left as it is.
std::string FullWidth(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == ' ') {
            out += "\xE3\x80\x80";
        } else if (b >= 0x21 && b <= 0x7E) {
            const char32_t wide = 0xFF01 + (b - 0x21);
            out += static_cast<char>(0xE0 | (wide >> 12));
            out += static_cast<char>(0x80 | ((wide >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (wide & 0x3F));
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int32_t number = frame::TextToInt(text);

    FUZZ_CHECK(frame::TextToByte(text) == (static_cast<std::uint32_t>(number) & 0xFF));
    FUZZ_CHECK(frame::TextToInt(std::to_string(number)) == number);
    FUZZ_CHECK(frame::TextToInt(FullWidth(text)) == number);
    return 0;
}
