#include "frame/hex_text.h"

#include "tests/fakes/fake_controls.h"
#include "tests/fakes/hex_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using fakes::Hex;
using fakes::Message;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kOdd = "十六进制数据长度必须是偶数";
const std::string kInvalid = "无效的十六进制字符: ";
const std::string kTitle = "错误";
const std::string kIdeographicSpace = "\u3000";

// Parses and collects every message the parser reports.
struct Parse {
    explicit Parse(const std::string& text)
        : bytes(frame::ParseHexText(text, [this](const std::string& t, const std::string& title) {
              messages.push_back({t, title});
          })) {}
    std::vector<Message> messages;
    std::vector<std::uint8_t> bytes;
};

TEST(ToHexText, Examples) {
    const struct {
        std::vector<std::uint8_t> bytes;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{0x0A}, "0A "},
        {{0xFF}, "FF "},
        {{0x00, 0x10, 0xAB}, "00 10 AB "},
        {Hex("01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73"),
         "01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(frame::ToHexText(c.bytes), c.text);
    }
}

TEST(ParseHexText, ReadsBackToHexTextOfRandomSequences) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> length(1, 40);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 1000; ++round) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length(rng)));
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(byte(rng));
        }
        const Parse parsed(frame::ToHexText(bytes));
        ASSERT_EQ(parsed.bytes, bytes) << "round " << round;
        ASSERT_THAT(parsed.messages, IsEmpty());
    }
}

TEST(ParseHexText, AcceptsAnyGroupingCaseAndBlanksAtTheEnds) {
    const struct {
        std::string text;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"01 10 ab CD", {0x01, 0x10, 0xAB, 0xCD}},
        {"0110abcd", {0x01, 0x10, 0xAB, 0xCD}},
        {"0 1 1 0 a B c D", {0x01, 0x10, 0xAB, 0xCD}},
        {"0110 ABCD", {0x01, 0x10, 0xAB, 0xCD}},
        {"   fF  ", {0xFF}},
        {kIdeographicSpace + " 0A " + kIdeographicSpace + kIdeographicSpace, {0x0A}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Parse parsed(c.text);
        EXPECT_EQ(parsed.bytes, c.bytes);
        EXPECT_THAT(parsed.messages, IsEmpty());
    }
}

TEST(ParseHexText, BlankOrEmptyTextGivesNothingAndNoMessage) {
    for (const std::string& text : {std::string(), std::string("    "), kIdeographicSpace,
                                    " " + kIdeographicSpace + " " + kIdeographicSpace}) {
        SCOPED_TRACE(text);
        const Parse parsed(text);
        EXPECT_THAT(parsed.bytes, IsEmpty());
        EXPECT_THAT(parsed.messages, IsEmpty());
    }
}

TEST(ParseHexText, MalformedTextGivesExactlyOneMessageAndNoBytes) {
    const struct {
        const char* what;
        std::string text;
        std::string message;
    } cases[] = {
        {"three digits", "123", kOdd},
        {"odd length wins over invalid characters", "GGG", kOdd},
        {"odd after spaces are removed", "01 1 0 1", kOdd},
        {"invalid second digit after good bytes", "01 02 0G", kInvalid + "G"},
        {"lower-case g is named upper-case", "0g", kInvalid + "G"},
        {"first invalid in reading order", "01ZY", kInvalid + "Z"},
        {"second of a pair before the next pair", "0ZY1", kInvalid + "Z"},
        {"both of a pair invalid: the first is named", "XY00", kInvalid + "X"},
        {"tab inside, even length", "01\t2", kInvalid + "\t"},
        {"tab inside, odd length", "01\t02", kOdd},
        {"line break after the text is not trimmed", "0102\n", kOdd},
        {"CR LF after the text is not trimmed", "01\r\n", kInvalid + "\r"},
        {"line feed inside", "0\n10", kInvalid + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Parse parsed(c.text);
        EXPECT_THAT(parsed.bytes, IsEmpty());
        EXPECT_THAT(parsed.messages, ElementsAre(Message{c.message, kTitle}));
    }
}

TEST(ParseHexText, IdeographicSpaceInsideTheTextIsRejected) {
    // How a non-ASCII character counts towards the length is the parser's own choice, so
    // either message may come; there must be exactly one, and no bytes.
    for (const std::string& text : {"01" + kIdeographicSpace + "02", "0" + kIdeographicSpace + "2",
                                    "01 " + kIdeographicSpace + " 0", std::string("０１")}) {
        SCOPED_TRACE(text);
        const Parse parsed(text);
        EXPECT_THAT(parsed.bytes, IsEmpty());
        ASSERT_EQ(parsed.messages.size(), 1u);
        EXPECT_EQ(parsed.messages[0].title, kTitle);
        EXPECT_TRUE(parsed.messages[0].text == kOdd ||
                    parsed.messages[0].text.starts_with(kInvalid))
            << parsed.messages[0].text;
    }
}

TEST(TrimBlanks, RemovesAsciiAndIdeographicSpacesAtBothEndsOnly) {
    EXPECT_EQ(frame::TrimBlanks(" " + kIdeographicSpace + "01 02" + kIdeographicSpace + "  "),
              "01 02");
    EXPECT_EQ(frame::TrimBlanks("\t01\n"), "\t01\n");
    EXPECT_EQ(frame::TrimBlanks("   "), "");
}

} // namespace
