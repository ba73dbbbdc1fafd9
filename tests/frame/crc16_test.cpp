#include "frame/crc16.h"

#include "tests/fakes/hex_bytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using fakes::Hex;

// CRC-16/MODBUS the table-driven way, written independently of the bitwise one under test.
class TableCrc {
  public:
    TableCrc() {
        for (std::uint16_t i = 0; i < 256; ++i) {
            std::uint16_t crc = i;
            for (int bit = 0; bit < 8; ++bit) {
                crc = static_cast<std::uint16_t>((crc >> 1) ^ ((crc & 1) != 0 ? 0xA001 : 0));
            }
            table_[i] = crc;
        }
    }
    std::uint16_t operator()(const std::vector<std::uint8_t>& bytes, std::size_t n) const {
        std::uint16_t crc = 0xFFFF;
        for (std::size_t i = 0; i < n; ++i) {
            crc = static_cast<std::uint16_t>((crc >> 8) ^ table_[(crc ^ bytes[i]) & 0xFF]);
        }
        return crc;
    }

  private:
    std::array<std::uint16_t, 256> table_{};
};

TEST(Crc16, KnownValues) {
    const std::string digits = "123456789";
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::uint16_t crc;
    } cases[] = {
        {"check string 123456789", {digits.begin(), digits.end()}, 0x4B37},
        {"control frame, address 1, masks 0", Hex("01 10 00 1F 00 03 06 00 00 00 00 00 C9"),
         0x7317},
        {"set module-id 3", Hex("00 FD DF 01 03 00 C9"), 0x94AA},
        {"nothing", {}, 0xFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(frame::Crc16(c.bytes, c.bytes.size()), c.crc);
    }
}

TEST(Crc16, CoversOnlyTheFirstNBytes) {
    // The CRC field of a whole frame follows the bytes it covers; it must not enter the CRC.
    const auto frame = Hex("01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73");
    EXPECT_EQ(frame::Crc16(frame, 13), 0x7317);
    EXPECT_EQ(frame::Crc16(frame, 0), 0xFFFF);
}

TEST(Crc16, AgreesWithTableDrivenCrcOnRandomFrames) {
    const TableCrc reference;
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> length(0, 64);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length(rng)));
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(byte(rng));
        }
        std::uniform_int_distribution<std::size_t> prefix(0, bytes.size());
        const std::size_t n = round % 2 == 0 ? bytes.size() : prefix(rng);
        ASSERT_EQ(frame::Crc16(bytes, n), reference(bytes, n)) << "round " << round << " n " << n;
    }
}

} // namespace
