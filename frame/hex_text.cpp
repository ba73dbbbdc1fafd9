#include "frame/hex_text.h"

#include "frame/utf8.h"

namespace frame {

namespace {

constexpr char32_t kIdeographicSpace = 0x3000;

bool IsBlank(char32_t c) {
    return c == U' ' || c == kIdeographicSpace;
}

int HexValue(char32_t c) {
    if (c >= U'0' && c <= U'9') {
        return static_cast<int>(c - U'0');
    }
    if (c >= U'A' && c <= U'F') {
        return static_cast<int>(c - U'A') + 10;
    }
    return -1;
}

std::u32string TrimBlanks(std::u32string chars) {
    std::size_t begin = 0;
    std::size_t end = chars.size();
    while (begin < end && IsBlank(chars[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(chars[end - 1])) {
        --end;
    }
    return chars.substr(begin, end - begin);
}

} // namespace

std::string ToHexText(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(bytes.size() * 3, ' ');
    char* out = text.data();
    for (std::uint8_t b : bytes) {
        out[0] = kDigits[b >> 4];
        out[1] = kDigits[b & 0x0F];
        out += 3;
    }
    return text;
}

std::string TrimBlanks(std::string_view text) {
    std::string out;
    for (char32_t c : TrimBlanks(DecodeUtf8(text))) {
        out += EncodeUtf8(c);
    }
    return out;
}

std::vector<std::uint8_t> ParseHexText(std::string_view text, const HexErrorReporter& report) {
    std::u32string digits;
    for (char32_t c : TrimBlanks(DecodeUtf8(text))) {
        if (c == U' ') {
            continue;
        }
        digits += (c >= U'a' && c <= U'z') ? c - (U'a' - U'A') : c;
    }
    // Characters are counted as characters, so a non-ASCII one counts once.
    if (digits.size() % 2 != 0) {
        report(kOddLengthMessage, kHexErrorTitle);
        return {};
    }
    std::vector<std::uint8_t> bytes(digits.size() / 2);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const char32_t first = digits[2 * k];
        const char32_t second = digits[2 * k + 1];
        const int high = HexValue(first);
        const int low = high < 0 ? -1 : HexValue(second);
        if (low < 0) {
            report(std::string(kInvalidCharacterMessage) + EncodeUtf8(high < 0 ? first : second),
                   kHexErrorTitle);
            return {};
        }
        bytes[k] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

} // namespace frame
