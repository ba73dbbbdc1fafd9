#include "relay/relay_commands.h"

#include "frame/crc16.h"
#include "serial/port_connection.h"
#include "tests/fakes/hex_bytes.h"
#include "tests/relay/relay_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fakes::Hex;
using fakes::Message;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kInfo = "信息：";
const std::string kHexTitle = "错误";

class RelayCommands : public ::testing::Test {
  protected:
    void OpenPort(int port) {
        page.port.PortOpen = 1;
        page.port.PortId = port;
    }
    // The one write made, checked for its port and the length handed over with the bytes.
    std::vector<std::uint8_t> OnlyWrite(int port) {
        const auto writes = page.pcomm.Writes();
        EXPECT_EQ(writes.size(), 1u);
        if (writes.size() != 1) {
            return {};
        }
        EXPECT_EQ(writes[0].port, port);
        EXPECT_EQ(writes[0].first, static_cast<int>(writes[0].bytes.size()));
        return writes[0].bytes;
    }

    relay_test::RelayPage page;
};

TEST_F(RelayCommands, ModuleCommandsSendTheirWorkedFrames) {
    const struct {
        const char* what;
        void (relay::RelayCommands::*click)();
        const char* address;
        const char* baud;
        const char* input;
        const char* scene;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"set baud 9600", &relay::RelayCommands::SetBaud, "1", "9600", "reset switch", "1",
         Hex("01 FD DF 03 00 00 C9 4B EC")},
        {"set input rocker switch", &relay::RelayCommands::SetInput, "1", "9600", "rocker switch",
         "1", Hex("01 FD DF 04 01 00 C9 1B 58")},
        {"trigger scene 1", &relay::RelayCommands::TriggerScene, "1", "9600", "reset switch", "1",
         Hex("00 10 00 07 00 02 04 00 01 00 01 26 B5")},
        {"trigger scene 50, whatever the address", &relay::RelayCommands::TriggerScene, "17",
         "57600", "report data", "50", Hex("00 10 00 07 00 02 04 00 32 00 01 D6 BA")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        relay_test::RelayPage fresh;
        fresh.port.PortId = 4;
        ASSERT_TRUE(fresh.组合框_地址.select(c.address));
        ASSERT_TRUE(fresh.组合框_设置波特率.select(c.baud));
        ASSERT_TRUE(fresh.组合框_设置输入口.select(c.input));
        ASSERT_TRUE(fresh.组合框_场景.select(c.scene));
        (fresh.commands.*c.click)();
        const auto writes = fresh.pcomm.Writes();
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_EQ(writes[0].port, 4);
        EXPECT_EQ(writes[0].first, static_cast<int>(c.bytes.size()));
        EXPECT_EQ(writes[0].bytes, c.bytes);
        EXPECT_THAT(fresh.pcomm.Functions(), ElementsAre("sio_write"));
        EXPECT_THAT(fresh.messages.shown, IsEmpty());
    }
}

TEST_F(RelayCommands, PayloadsAreTheSelectedIndexNotTheItemText) {
    page.组合框_地址.select("50");
    page.组合框_设置波特率.select("115200");
    page.commands.SetBaud();
    const auto bytes = OnlyWrite(-1);
    ASSERT_EQ(bytes.size(), 9u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 7),
              Hex("32 FD DF 03 04 00 C9"));
    const std::uint16_t crc = frame::Crc16(bytes, 7);
    EXPECT_EQ(bytes[7], crc & 0xFF);
    EXPECT_EQ(bytes[8], crc >> 8);
}

TEST_F(RelayCommands, NoSelectionSendsAddressZeroAndIndexByteFF) {
    page.组合框_地址.setSelectedIndex(-1);
    page.组合框_设置输入口.setSelectedIndex(-1);
    page.commands.SetInput();
    const auto bytes = OnlyWrite(-1);
    ASSERT_EQ(bytes.size(), 9u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 7),
              Hex("00 FD DF 04 FF 00 C9"));
}

TEST_F(RelayCommands, ComboBoxWithoutItemsMakesTheCommandDoNothing) {
    page.组合框_地址.clear();
    page.commands.SetBaud();
    page.commands.SetInput();
    EXPECT_THAT(page.pcomm.calls, IsEmpty());

    // Trigger scene needs only the scene numbers.
    page.commands.TriggerScene();
    EXPECT_EQ(OnlyWrite(-1), Hex("00 10 00 07 00 02 04 00 01 00 01 26 B5"));

    page.组合框_场景.clear();
    page.commands.TriggerScene();
    EXPECT_EQ(page.pcomm.calls.size(), 1u);
    EXPECT_THAT(page.messages.shown, IsEmpty());
}

TEST_F(RelayCommands, CommandsWithoutAnOpenPortWriteToTheLastPortTried) {
    page.commands.SetBaud();
    EXPECT_EQ(page.pcomm.Writes().at(0).port, -1);

    // A failed attempt to open COM7 leaves 7 behind.
    fakes::FakeComboBox ports{{"COM7"}, 0};
    fakes::FakeComboBox bauds{{"9600"}, 0};
    fakes::FakePushButton toggle{"start"};
    fakes::FakeTimer timer;
    fakes::FakeEditBox log;
    serial::PortConnection connection({ports, bauds, toggle, timer, log, page.messages}, page.pcomm,
                                      page.port);
    page.pcomm.open_result = -2;
    connection.TogglePort();
    ASSERT_EQ(page.port.PortOpen, 0);

    page.commands.SetInput();
    page.commands.TriggerScene();
    const auto writes = page.pcomm.Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[1].port, 7);
    EXPECT_EQ(writes[1].bytes, Hex("01 FD DF 04 00 00 C9 4A 98"));
    EXPECT_EQ(writes[2].port, 7);
}

TEST_F(RelayCommands, SendButtonsSendExactlyThePreviewedFrame) {
    OpenPort(3);
    page.preview.RefreshPreview();
    ASSERT_EQ(page.编辑框_控制.text(), "01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73 ");
    page.commands.SendControlFrame();
    EXPECT_EQ(OnlyWrite(3), Hex("01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73"));

    page.pcomm.calls.clear();
    page.组合框_地址.select("3");
    page.单选框4.click();
    page.preview.OnSceneModeClicked(relay::SceneMode::SetModuleId);
    page.commands.SendSceneFrame();
    EXPECT_EQ(OnlyWrite(3), Hex("00 FD DF 01 03 00 C9 AA 94"));
    EXPECT_THAT(page.messages.shown, IsEmpty());
}

TEST_F(RelayCommands, SendButtonsTakeAnyHexTextAsItIs) {
    // Nothing is added, checked or recomputed: no CRC, length or address.
    OpenPort(2);
    const struct {
        std::string text;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"01 02", Hex("01 02")},
        {"\u3000 ab cd \u3000", Hex("AB CD")},
        {" 0 1 0 2 0 3 ", Hex("01 02 03")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        page.pcomm.calls.clear();
        page.编辑框_场景.setText(c.text);
        page.commands.SendSceneFrame();
        EXPECT_EQ(OnlyWrite(2), c.bytes);
    }
    EXPECT_THAT(page.messages.shown, IsEmpty());
}

TEST_F(RelayCommands, SendButtonsRefuseAndSayWhy) {
    const std::string kOpenFirst = "Please open the serial port first";
    const std::string kEnterData = "Please enter the data to be sent";
    const std::string kFormat = "Hexadecimal data format error";
    const struct {
        const char* what;
        bool port_open;
        std::string text;
        std::vector<Message> messages;
    } cases[] = {
        {"no port open", false, "01 02 ", {{kOpenFirst, kInfo}}},
        {"no port open, empty box", false, "", {{kOpenFirst, kInfo}}},
        {"empty box", true, "", {{kEnterData, kInfo}}},
        {"blanks only", true, "  \u3000 ", {{kEnterData, kInfo}}},
        {"invalid character",
         true,
         "01 0G",
         {{"无效的十六进制字符: G", kHexTitle}, {kFormat, kInfo}}},
        {"odd length", true, "01 0", {{"十六进制数据长度必须是偶数", kHexTitle}, {kFormat, kInfo}}},
        {"tab inside", true, "01\t2", {{"无效的十六进制字符: \t", kHexTitle}, {kFormat, kInfo}}},
    };
    for (const bool scene_button : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(scene_button ? "按钮_场景: " : "按钮_控制: ") + c.what);
            relay_test::RelayPage fresh;
            fresh.port.PortOpen = c.port_open ? 1 : 0;
            fresh.port.PortId = 5;
            (scene_button ? fresh.编辑框_场景 : fresh.编辑框_控制).setText(c.text);
            if (scene_button) {
                fresh.commands.SendSceneFrame();
            } else {
                fresh.commands.SendControlFrame();
            }
            EXPECT_EQ(fresh.messages.shown, c.messages);
            EXPECT_THAT(fresh.pcomm.calls, IsEmpty());
        }
    }
}

} // namespace
