#include "switch/switch_commands.h"

#include "frame/crc16.h"
#include "serial/port_connection.h"
#include "tests/fakes/fake_controls.h"
#include "tests/fakes/fake_pcomm.h"
#include "tests/fakes/hex_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using fakes::FakeComboBox;
using fakes::Hex;
using ::testing::IsEmpty;
using Button = void (wall_switch::SwitchConfigurator::*)();

// The "switch" page as start-up leaves it.
struct SwitchPage {
    SwitchPage() {
        for (int k = 0; k < wall_switch::kKeyCount; ++k) {
            modules[static_cast<std::size_t>(k)] =
                FakeComboBox(fakes::NumberedItems("scene", 50), 0);
            channels[static_cast<std::size_t>(k)] =
                FakeComboBox(fakes::NumberedItems("Disabled", 50), 0);
        }
    }
    wall_switch::SwitchControls Controls() {
        wall_switch::SwitchControls c{组合框_开关地址, 组合框_开关波特率, {}, {}};
        for (std::size_t k = 0; k < modules.size(); ++k) {
            c.模块地址[k] = &modules[k];
            c.模块通道[k] = &channels[k];
        }
        return c;
    }

    FakeComboBox 组合框_开关地址{fakes::NumberedItems("", 50), 0};
    FakeComboBox 组合框_开关波特率{{"9600", "19200", "38400", "57600", "115200"}, 0};
    std::array<FakeComboBox, wall_switch::kKeyCount> modules;  // 模块地址1 .. 8
    std::array<FakeComboBox, wall_switch::kKeyCount> channels; // 模块通道1 .. 8
    fakes::FakePcomm pcomm;
    serial::PortState port;
    serial::PortWriter writer{pcomm, port};
    wall_switch::SwitchConfigurator configurator{Controls(), writer};
};

const struct {
    const char* name;
    Button click;
} kButtons[] = {
    {"Enter Settings", &wall_switch::SwitchConfigurator::EnterSettings},
    {"Read Settings", &wall_switch::SwitchConfigurator::ReadSettings},
    {"Clear Settings", &wall_switch::SwitchConfigurator::ClearSettings},
    {"Set ID", &wall_switch::SwitchConfigurator::SetId},
    {"Set baud", &wall_switch::SwitchConfigurator::SetBaud},
    {"Write Settings", &wall_switch::SwitchConfigurator::WriteSettings},
    {"Exit Setup", &wall_switch::SwitchConfigurator::ExitSetup},
};

TEST(SwitchCommands, WorkedFrames) {
    const struct {
        const char* what;
        Button click;
        const char* address;
        std::vector<std::uint8_t> bytes;
        int key1_module = 0;
        int key1_channel = 0;
    } cases[] = {
        {"Enter Settings", &wall_switch::SwitchConfigurator::EnterSettings, "1",
         Hex("01 FE EF 06 01 00 C9 5A D7")},
        {"Read Settings", &wall_switch::SwitchConfigurator::ReadSettings, "1",
         Hex("01 FE EF 05 01 00 C9 5A 93")},
        {"Clear Settings", &wall_switch::SwitchConfigurator::ClearSettings, "1",
         Hex("01 FE EF 04 00 00 C9 0A AF")},
        {"Set ID 5", &wall_switch::SwitchConfigurator::SetId, "5",
         Hex("00 FE EF 01 05 00 C9 0A A2")},
        {"Set ID 50", &wall_switch::SwitchConfigurator::SetId, "50",
         Hex("00 FE EF 01 32 00 C9 BB 6C")},
        {"Set baud 9600", &wall_switch::SwitchConfigurator::SetBaud, "1",
         Hex("01 FE EF 03 00 00 C9 0B DB")},
        {"Write Settings, every row scene / Disabled",
         &wall_switch::SwitchConfigurator::WriteSettings, "1",
         Hex("01 FE EF 02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 C9 FB 70")},
        {"Write Settings, key 1 at module 2 channel 3",
         &wall_switch::SwitchConfigurator::WriteSettings, "1",
         Hex("01 FE EF 02 02 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 C9 AA 38"), 2, 3},
        {"Exit Setup", &wall_switch::SwitchConfigurator::ExitSetup, "1",
         Hex("01 FE EF 06 00 00 C9 0B 17")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SwitchPage page;
        ASSERT_TRUE(page.组合框_开关地址.select(c.address));
        page.modules[0].setSelectedIndex(c.key1_module);
        page.channels[0].setSelectedIndex(c.key1_channel);
        (page.configurator.*c.click)();
        const auto writes = page.pcomm.Writes();
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_EQ(page.pcomm.calls.size(), 1u);
        EXPECT_EQ(writes[0].port, -1); // no port was ever opened
        EXPECT_EQ(writes[0].first, static_cast<int>(c.bytes.size()));
        EXPECT_EQ(writes[0].bytes, c.bytes);
    }
}

TEST(SwitchCommands, SetBaudSendsTheIndexOfTheRate) {
    SwitchPage page;
    page.组合框_开关地址.select("2");
    page.组合框_开关波特率.select("115200");
    page.configurator.SetBaud();
    EXPECT_EQ(page.pcomm.Writes().at(0).bytes, Hex("02 FE EF 03 04 00 C9 79 1A"));
}

TEST(SwitchCommands, WriteSettingsReadsEveryKeyRowInOrder) {
    SwitchPage page;
    page.组合框_开关地址.select("7");
    const std::array<std::pair<int, int>, 8> rows{
        {{0, 0}, {2, 17}, {3, 1}, {50, 16}, {1, 50}, {12, 0}, {0, 8}, {50, 50}}};
    for (std::size_t k = 0; k < rows.size(); ++k) {
        page.modules[k].setSelectedIndex(rows[k].first);
        page.channels[k].setSelectedIndex(rows[k].second);
    }
    page.configurator.WriteSettings();
    const auto writes = page.pcomm.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].first, 24);
    EXPECT_EQ(writes[0].bytes, Hex("07 FE EF 02 00 00 02 11 03 01 32 10 01 32 0C 00 00 08 32 32 "
                                   "00 C9 F3 B5"));
}

TEST(SwitchCommands, KeyRowsAreReadWhenTheButtonIsClicked) {
    SwitchPage page;
    page.configurator.WriteSettings();
    page.modules[2].setSelectedIndex(5);
    page.configurator.WriteSettings();
    const auto writes = page.pcomm.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].bytes[8], 0x00);
    EXPECT_EQ(writes[1].bytes[8], 0x05); // key 3's module byte is byte 2 * 3 + 2
}

TEST(SwitchCommands, NoSelectionReadsAsAddressZeroAndIndexByteFF) {
    SwitchPage page;
    page.组合框_开关地址.setSelectedIndex(-1);
    page.组合框_开关波特率.setSelectedIndex(-1);
    page.configurator.SetBaud();
    EXPECT_EQ(page.pcomm.Writes().at(0).bytes, Hex("00 FE EF 03 FF 00 C9 2B 2B"));
}

TEST(SwitchCommands, EveryButtonWritesToThePortIdWhetherOpenOrNot) {
    for (const auto& button : kButtons) {
        SCOPED_TRACE(button.name);
        SwitchPage page;
        page.port.PortId = 12; // e.g. the last port whose open failed
        (page.configurator.*button.click)();
        ASSERT_EQ(page.pcomm.Writes().size(), 1u);
        EXPECT_EQ(page.pcomm.Writes()[0].port, 12);
    }
}

TEST(SwitchCommands, WithoutSwitchAddressesNoButtonDoesAnything) {
    for (const auto& button : kButtons) {
        SCOPED_TRACE(button.name);
        SwitchPage page;
        page.组合框_开关地址.clear();
        (page.configurator.*button.click)();
        EXPECT_THAT(page.pcomm.calls, IsEmpty());
    }
}

} // namespace
