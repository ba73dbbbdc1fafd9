#include "ui/console.h"

#include "tests/fakes/fake_control_lookup.h"
#include "tests/fakes/fake_controls.h"
#include "tests/fakes/fake_pcomm.h"
#include "tests/fakes/fake_port_map.h"
#include "tests/fakes/hex_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using fakes::Hex;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class Console : public ::testing::Test {
  protected:
    // What the toolkit does on a user's click, then the control's handler.
    void Click(const std::string& name) {
        const ui::ControlDef& def = ui::FindControl(name);
        if (def.kind == ui::Kind::CheckBox) {
            window.check(name).click();
        } else if (def.kind == ui::Kind::RadioButton) {
            window.radio(name).click();
        }
        Run(name);
    }
    // The user picks an item; the handler runs if the box handles list item selected.
    void Pick(const std::string& combo, const std::string& item) {
        ASSERT_TRUE(window.combo(combo).select(item)) << item;
        if (ui::FindControl(combo).event == ui::Event::ListItemSelected) {
            Run(combo);
        }
    }
    void Run(const std::string& name) {
        const auto handler = console.Handler(ui::FindControl(name));
        ASSERT_TRUE(handler) << name;
        handler();
    }

    // Everything the user can see or the program keeps, in one text.
    std::string Snapshot(const std::string& leave_out = "") {
        std::ostringstream out;
        for (const auto& [name, b] : window.buttons()) {
            out << name << "=" << b->caption() << "\n";
        }
        for (const auto& [name, c] : window.checks()) {
            out << name << "=" << c->checked() << "\n";
        }
        for (const auto& [name, r] : window.radios()) {
            if (name != leave_out) {
                out << name << "=" << r->checked() << "\n";
            }
        }
        for (const auto& [name, c] : window.combos()) {
            out << name << "=" << c->count() << "/" << c->selectedIndex() << "\n";
        }
        for (const auto& [name, e] : window.edits()) {
            out << name << "=" << e->text() << "\n";
        }
        out << "timer=" << window.timer("时钟_接收数据").period() << "\n"
            << "masks=" << console.masks().ChannelStates << "/" << console.masks().ChannelEnables
            << "\n"
            << "port=" << console.port().PortOpen << "/" << console.port().PortId << "\n"
            << "calls=" << pcomm.calls.size() << " messages=" << messages.shown.size() << "\n";
        return out.str();
    }

    fakes::FakeControlLookup window;
    fakes::FakeMessageBox messages;
    fakes::FakePcomm pcomm;
    fakes::FakePortMap port_map = fakes::FakePortMap::WithPorts({"COM3", "COM5"});
    ui::Console console{window, messages, pcomm, port_map};
};

TEST_F(Console, WindowCreatedFillsEveryComboBoxAndClearsTheState) {
    console.WindowCreated();

    const std::vector<std::string> bauds{"9600", "19200", "38400", "57600", "115200"};
    struct Filled {
        std::string name;
        std::vector<std::string> items;
        int selected;
    };
    std::vector<Filled> expected{
        {"组合框_串口", {"COM3", "COM5"}, -1},
        {"组合框_波特率", bauds, 0},
        {"组合框_设置波特率", bauds, 0},
        {"组合框_开关波特率", bauds, 0},
        {"组合框_设置输入口", {"reset switch", "rocker switch", "report data"}, 0},
        {"组合框_地址", fakes::NumberedItems("", 50), 0},
        {"组合框_开关地址", fakes::NumberedItems("", 50), 0},
        {"组合框_场景", fakes::NumberedItems("", 50), 0},
    };
    for (int k = 1; k <= 8; ++k) {
        expected.push_back({"模块地址" + std::to_string(k), fakes::NumberedItems("scene", 50), 0});
        expected.push_back(
            {"模块通道" + std::to_string(k), fakes::NumberedItems("Disabled", 50), 0});
    }
    ASSERT_EQ(window.combos().size(), expected.size()); // no combo box is left out
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_THAT(window.combo(e.name).items(), ElementsAreArray(e.items));
        EXPECT_EQ(window.combo(e.name).selectedIndex(), e.selected);
    }
    EXPECT_EQ(window.combo("组合框_串口").toolTip(1), "/dev/ttyS1");

    EXPECT_EQ(console.masks().ChannelStates, 0u);
    EXPECT_EQ(console.masks().ChannelEnables, 0u);
    EXPECT_EQ(console.port().PortOpen, 0);
    EXPECT_EQ(console.port().PortId, -1);
    EXPECT_EQ(window.edit("编辑框_控制").text(), "");
    EXPECT_EQ(window.edit("编辑框_场景").text(), "");
    EXPECT_EQ(window.edit("编辑框_显示").text(), "");
    EXPECT_EQ(window.button("按钮_场景").caption(), "set");
    EXPECT_EQ(window.button("按钮_开关端口").caption(), "start");
    EXPECT_EQ(window.timer("时钟_接收数据").period(), 0);
    EXPECT_TRUE(window.radio("单选框1").checked());
    EXPECT_FALSE(window.radio("汉化").checked());
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(window.button("通道" + std::to_string(n)).caption(),
                  "Channel " + std::to_string(n) + " (off)");
        EXPECT_FALSE(window.check("使能" + std::to_string(n)).checked());
    }
    EXPECT_THAT(pcomm.calls, IsEmpty());
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(Console, WindowCreatedWithoutAPortMapLeavesThePortListEmpty) {
    port_map.values = std::nullopt;
    console.WindowCreated();
    EXPECT_EQ(window.combo("组合框_串口").count(), 0);
    EXPECT_EQ(window.combo("组合框_地址").count(), 50);
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(Console, EveryHandledEventHasAHandlerAndNoOtherControlHasOne) {
    for (const auto& control : ui::WindowDefinition().controls) {
        EXPECT_EQ(static_cast<bool>(console.Handler(control)), control.event != ui::Event::None)
            << control.name;
    }
}

TEST_F(Console, ASessionFromOpeningThePortToSendingAFrame) {
    console.WindowCreated();

    // The user drops the port list down (it is read again) and picks COM5.
    Run("组合框_串口");
    EXPECT_EQ(port_map.reads, 2);
    EXPECT_EQ(window.combo("组合框_串口").selectedIndex(), -1);
    Pick("组合框_串口", "COM5");
    Click("按钮_开关端口");
    EXPECT_EQ(console.port().PortOpen, 1);
    EXPECT_EQ(console.port().PortId, 5);
    EXPECT_EQ(window.edit("编辑框_显示").text(), "port opened: COM5 9600\r\n");
    EXPECT_EQ(window.timer("时钟_接收数据").period(), 10);

    // Channel 5 on: the preview follows, nothing goes out yet.
    Click("通道5");
    EXPECT_EQ(window.button("通道5").caption(), "Channel 5 (on)");
    EXPECT_EQ(window.edit("编辑框_控制").text(), "01 10 00 1F 00 03 06 00 00 00 10 00 C9 16 B6 ");
    EXPECT_THAT(pcomm.Writes(), IsEmpty());

    Click("按钮_控制");
    ASSERT_EQ(pcomm.Writes().size(), 1u);
    EXPECT_EQ(pcomm.Writes()[0].port, 5);
    EXPECT_EQ(pcomm.Writes()[0].bytes, Hex("01 10 00 1F 00 03 06 00 00 00 10 00 C9 16 B6"));

    // Another scene mode: the scene box shows its frame, the send button takes its caption.
    Click("单选框4");
    EXPECT_FALSE(window.radio("单选框1").checked());
    EXPECT_EQ(window.edit("编辑框_场景").text(), "00 FD DF 01 01 00 C9 0B 54 ");
    EXPECT_EQ(window.button("按钮_场景").caption(), "set module-id");

    // A new address rebuilds both previews.
    Pick("组合框_地址", "3");
    EXPECT_EQ(window.edit("编辑框_控制").text(), "03 10 00 1F 00 03 06 00 00 00 10 00 C9 11 F4 ");
    EXPECT_EQ(window.edit("编辑框_场景").text(), "00 FD DF 01 03 00 C9 AA 94 ");

    // The localisation button checks itself and changes nothing else.
    const std::string before = Snapshot("汉化");
    Click("汉化");
    EXPECT_TRUE(window.radio("汉化").checked());
    EXPECT_TRUE(window.radio("单选框4").checked());
    EXPECT_EQ(Snapshot("汉化"), before);

    // The module answers.
    pcomm.incoming.push_back({0x03, 0x10});
    Run("时钟_接收数据");
    EXPECT_EQ(window.edit("编辑框_显示").text(), "port opened: COM5 9600\r\n03 10 \r\n");

    // Closed again: the module commands still go out, to port -1.
    Click("按钮_开关端口");
    EXPECT_EQ(console.port().PortId, -1);
    Click("按钮_设置波特率");
    EXPECT_EQ(pcomm.Writes().back().port, -1);
    EXPECT_EQ(pcomm.Writes().back().bytes, Hex("03 FD DF 03 00 00 C9 68 2C"));
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(Console, EachControlRunsItsOwnHandler) {
    console.WindowCreated();
    Pick("组合框_串口", "COM3");
    Click("按钮_开关端口");
    ASSERT_EQ(console.port().PortOpen, 1);

    Click("全开");
    EXPECT_EQ(console.masks().ChannelStates, 0xFFFFu);
    Click("全关");
    EXPECT_EQ(console.masks().ChannelStates, 0u);
    Click("全能");
    EXPECT_EQ(console.masks().ChannelEnables, 0xFFFFu);
    Click("全禁");
    EXPECT_EQ(console.masks().ChannelEnables, 0u);
    for (int n = 1; n <= 16; ++n) {
        SCOPED_TRACE(n);
        const std::uint32_t bit = 1u << (n - 1);
        Click("通道" + std::to_string(n));
        EXPECT_EQ(console.masks().ChannelStates, bit);
        Click("通道" + std::to_string(n));
        Click("使能" + std::to_string(n));
        EXPECT_EQ(console.masks().ChannelEnables, bit);
        Click("使能" + std::to_string(n));
    }

    const struct {
        std::size_t length;
        std::string caption;
    } modes[] = {{17, "set scene"},
                 {17, "delete scene"},
                 {17, "clear scene"},
                 {9, "set module-id"},
                 {10, "Power on status"}};
    for (int k = 5; k >= 1; --k) {
        SCOPED_TRACE(k);
        Click("单选框" + std::to_string(k));
        const auto scene = Hex(window.edit("编辑框_场景").text());
        ASSERT_EQ(scene.size(), modes[k - 1].length);
        if (k <= 3) {
            EXPECT_EQ(scene[8], k); // the scene operation
        }
        EXPECT_EQ(window.button("按钮_场景").caption(), modes[k - 1].caption);
    }

    Pick("组合框_地址", "2");
    EXPECT_EQ(Hex(window.edit("编辑框_控制").text())[0], 0x02);
    Pick("组合框_场景", "9");
    EXPECT_EQ(Hex(window.edit("编辑框_场景").text())[7], 0x09);

    Click("按钮_控制");
    EXPECT_EQ(pcomm.Writes().back().bytes, Hex(window.edit("编辑框_控制").text()));
    Click("按钮_场景");
    EXPECT_EQ(pcomm.Writes().back().bytes, Hex(window.edit("编辑框_场景").text()));

    Pick("组合框_开关地址", "6");
    const struct {
        std::string control;
        std::string head;
        std::size_t length;
    } commands[] = {
        {"按钮_设置波特率", "02 FD DF 03 00", 9},
        {"按钮_设置输入口", "02 FD DF 04 00", 9},
        {"触发场景", "00 10 00 07 00 02 04 00 09", 13},
        {"进入设置", "06 FE EF 06 01", 9},
        {"读取设置", "06 FE EF 05 01", 9},
        {"清空设置", "06 FE EF 04 00", 9},
        {"设置开关地址", "00 FE EF 01 06", 9},
        {"设置开关波特率", "06 FE EF 03 00", 9},
        {"写入设置", "06 FE EF 02 00", 24},
        {"退出设置", "06 FE EF 06 00", 9},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.control);
        const std::size_t writes = pcomm.Writes().size();
        Click(c.control);
        ASSERT_EQ(pcomm.Writes().size(), writes + 1);
        const std::vector<std::uint8_t> bytes = pcomm.Writes().back().bytes;
        const auto head = Hex(c.head);
        EXPECT_EQ(bytes.size(), c.length);
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(),
                                            bytes.begin() + static_cast<long>(head.size())),
                  head);
        EXPECT_EQ(pcomm.Writes().back().port, 3);
    }

    pcomm.incoming.push_back({0xAA});
    Run("时钟_接收数据");
    EXPECT_EQ(window.edit("编辑框_显示").text(), "port opened: COM3 9600\r\nAA \r\n");
    Click("按钮_清空显示");
    EXPECT_EQ(window.edit("编辑框_显示").text(), "");
    Click("按钮_开关端口");
    EXPECT_EQ(console.port().PortOpen, 0);
    EXPECT_THAT(messages.shown, IsEmpty());
}

} // namespace
