#include "frame/frame.h"

#include "tests/fakes/hex_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using fakes::Hex;

TEST(FrameBits, ClearingABitWithTheComplementKeepsTheOtherFifteen) {
    EXPECT_EQ(0xFFFFu & frame::Complement16(frame::BitValue(2)), 0xFFFBu);
    EXPECT_EQ(0xFFFFu & frame::Complement16(frame::BitValue(15)), 0x7FFFu);
    EXPECT_EQ(frame::Complement16(0), 0xFFFFu); // never reaches bits 16..31
    EXPECT_EQ(frame::HighByte(0x8000), 0x80);
    EXPECT_EQ(frame::LowByte(0x1234), 0x34);
}

TEST(FrameLayout, PutWordStoresHighByteFirstAndSealStoresCrcLowByteFirst) {
    frame::Frame f(15, 0);
    f[0] = 0x01;
    f[1] = 0x10;
    frame::PutWord(f, 2, 0x001F);
    frame::PutWord(f, 4, 3);
    f[6] = 0x06;
    frame::PutWord(f, 11, frame::kTrailerWord);
    frame::SealFrame(f);
    EXPECT_EQ(f, Hex("01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73"));
}

TEST(CommandFrame, WorkedFrames) {
    const struct {
        const char* what;
        frame::Byte address;
        frame::CommandHead head;
        frame::Byte code;
        std::vector<frame::Byte> payload;
        std::vector<frame::Byte> bytes;
    } cases[] = {
        {"relay set module-id 3",
         0x00,
         frame::kRelayHead,
         0x01,
         {0x03},
         Hex("00 FD DF 01 03 00 C9 AA 94")},
        {"relay power-on status",
         0x01,
         frame::kRelayHead,
         0x02,
         {0x00, 0x05},
         Hex("01 FD DF 02 00 05 00 C9 17 F0")},
        {"relay set baud 9600",
         0x01,
         frame::kRelayHead,
         0x03,
         {0x00},
         Hex("01 FD DF 03 00 00 C9 4B EC")},
        {"relay set input rocker switch",
         0x01,
         frame::kRelayHead,
         0x04,
         {0x01},
         Hex("01 FD DF 04 01 00 C9 1B 58")},
        {"switch enter settings",
         0x01,
         frame::kSwitchHead,
         0x06,
         {0x01},
         Hex("01 FE EF 06 01 00 C9 5A D7")},
        {"switch write settings, all rows first item", 0x01, frame::kSwitchHead, 0x02,
         std::vector<frame::Byte>(16, 0),
         Hex("01 FE EF 02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 C9 FB 70")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(frame::CommandFrame(c.address, c.head, c.code, c.payload), c.bytes);
    }
}

} // namespace
