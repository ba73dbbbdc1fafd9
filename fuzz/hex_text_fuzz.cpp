// ParseHexText on any text, as a user may paste it into a preview box. Whatever the text, the
// parser gives exactly the bytes it spells and no message, or nothing and exactly one message
// titled 错误, or nothing and no message when the text is empty or blanks only. What it gives
// reads back from its own hex text.
//
// What a text spells is worked out here on its bytes, apart from the parser: blanks (ASCII
// spaces and U+3000) may stand at either end, ASCII spaces anywhere, anything else must be a hex
// digit, and the digits must pair up.

#include "frame/hex_text.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80"; // U+3000 in UTF-8

struct Message {
    std::string text;
    std::string title;
};

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view TrimEnds(std::string_view text) {
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (std::string_view blank : {std::string_view(" "), kIdeographicSpace}) {
            if (text.starts_with(blank)) {
                text.remove_prefix(blank.size());
                trimmed = true;
            }
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                trimmed = true;
            }
        }
    }
    return text;
}

// The bytes the text spells (none for a blank text), or nothing when it is not hex.
std::optional<std::vector<std::uint8_t>> Spelled(std::string_view text) {
    std::vector<int> digits;
    for (char c : TrimEnds(text)) {
        if (c == ' ') {
            continue;
        }
        const int value = DigitValue(c);
        if (value < 0) {
            return std::nullopt;
        }
        digits.push_back(value);
    }
    if (digits.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(digits[i] * 16 + digits[i + 1]));
    }
    return bytes;
}

std::vector<std::uint8_t> Parse(std::string_view text, std::vector<Message>& messages) {
    return frame::ParseHexText(text,
                               [&messages](const std::string& message, const std::string& title) {
                                   messages.push_back({message, title});
                               });
}

bool IsParserMessage(const std::string& text) {
    return text == frame::kOddLengthMessage ||
           std::string_view(text).starts_with(frame::kInvalidCharacterMessage);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<Message> messages;
    const std::vector<std::uint8_t> bytes = Parse(text, messages);

    const auto spelled = Spelled(text);
    if (spelled) {
        // Hex text, or blanks only: its bytes (none for blanks), and no message.
        FUZZ_CHECK(bytes == *spelled);
        FUZZ_CHECK(messages.empty());
    } else {
        FUZZ_CHECK(bytes.empty());
        FUZZ_CHECK(messages.size() == 1);
        FUZZ_CHECK(messages[0].title == frame::kHexErrorTitle);
        FUZZ_CHECK(IsParserMessage(messages[0].text));
    }

    // The parser reads its own output back.
    std::vector<Message> again;
    FUZZ_CHECK(Parse(frame::ToHexText(bytes), again) == bytes);
    FUZZ_CHECK(again.empty());
    return 0;
}
