#pragma once
// The little UTF-8 handling the text helpers need: controls hold UTF-8 text.

#include <string>
#include <string_view>
#include <vector>

namespace frame {

// Code points of the text; a byte that does not start a valid sequence becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(char32_t c);

} // namespace frame
