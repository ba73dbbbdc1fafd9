#pragma once
// Expected frames written the way they read on the line: Hex("01 10 00 1F").
// Independent of the parser under test: pairs of digits separated by single spaces.

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace fakes {

inline std::vector<std::uint8_t> Hex(std::string_view text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        throw std::invalid_argument("bad hex digit in test data");
    };
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) {
            throw std::invalid_argument("odd hex digits in test data");
        }
        out.push_back(static_cast<std::uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
        i += 2;
    }
    return out;
}

} // namespace fakes
