#include "frame/utf8.h"

namespace frame {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

} // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            c = b & 0x1F;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            c = b & 0x07;
            min = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        bool valid = i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            valid = IsContinuation(cb);
            c = (c << 6) | (cb & 0x3F);
        }
        if (!valid || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string EncodeUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace frame
