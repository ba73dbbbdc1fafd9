#include "frame/text_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(TextToInt, ReadsTheDecimalNumberAtTheStart) {
    const struct {
        std::string text;
        std::int32_t value;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"+", 0},
        {"-", 0},
        {"9600", 9600},
        {"115200", 115200},
        {"007", 7},
        {"  42", 42},
        {" \t\n\v\f\r7", 7},
        {"+5", 5},
        {"-5", -5},
        {"--5", 0},
        {"+-5", 0},
        {"- 5", 0},
        {"5 6", 5},
        {"5.9", 5},
        {"12abc", 12},
        {"3A", 3}, // what follows "COM" in "COM3A"
        {"COM3", 0},
        {"2147483647", kMax},
        {"2147483648", kMin},
        {"-2147483648", kMin},
        {"4294967295", -1},
        {"4294967297", 1},
        {"１２３", 123},       // full-width digits
        {"－５", -5},          // full-width minus
        {"＋５", 5},           // full-width plus
        {"\u3000\u3000７", 7}, // full-width spaces, then a full-width digit
        {"1２3", 123},         // mixed
        {"\u00A0 5", 0},       // a no-break space is not white space
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(frame::TextToInt(c.text), c.value);
    }
}

TEST(TextToByte, KeepsTheLowEightBits) {
    const struct {
        std::string text;
        std::uint8_t value;
    } cases[] = {
        {"", 0x00},           {"1", 0x01},    {"50", 0x32},    {"255", 0xFF},
        {"256", 0x00},        {"257", 0x01},  {"-1", 0xFF},    {"-256", 0x00},
        {"4294967297", 0x01}, {"５０", 0x32}, {"scene", 0x00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(frame::TextToByte(c.text), c.value);
    }
}

TEST(TextToByte, IsTheLowByteOfTextToIntOnRandomTexts) {
    const std::vector<std::string> pieces{"0",      "1",   "5",  "9",     "-",  "+",  " ",
                                          "\t",     "a",   "Z",  "１",    "９", "－", "＋",
                                          "\u3000", "COM", "x7", "99999", "\n"};
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int k = length(rng); k > 0; --k) {
            text += pieces[pick(rng)];
        }
        ASSERT_EQ(
            frame::TextToByte(text),
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(frame::TextToInt(text)) & 0xFF))
            << text;
    }
}

} // namespace
