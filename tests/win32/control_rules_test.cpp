// The rules each kind of control keeps for the handlers, checked on the real Win32 controls
// with real clicks and keys.

#include "frame/hex_text.h"
#include "relay/relay_frames.h"
#include "tests/win32/console_window.h"

#include <set>

namespace win32_test {
namespace {

std::string ControlFrameText(frame::Byte address, std::uint32_t enables, std::uint32_t states) {
    return frame::ToHexText(relay::BuildControlFrame(address, enables, states));
}

using ControlRules = ConsoleWindow;

TEST_F(ControlRules, CheckBoxTogglesBeforeItsHandlerAndWritingRunsNone) {
    Click("使能1");
    EXPECT_TRUE(Checked("使能1"));
    EXPECT_EQ(console->masks().ChannelEnables, 0x0001u);
    EXPECT_EQ(Text("编辑框_控制"), ControlFrameText(1, 0x0001, 0));
    Click("使能1");
    EXPECT_FALSE(Checked("使能1"));
    EXPECT_EQ(console->masks().ChannelEnables, 0u);

    front.CheckBox("使能2").setChecked(true);
    Settle();
    EXPECT_TRUE(Checked("使能2"));
    EXPECT_TRUE(front.CheckBox("使能2").checked());
    EXPECT_EQ(console->masks().ChannelEnables, 0u);
}

TEST_F(ControlRules, RadioClickChecksItAndClearsOnlyItsOwnGroup) {
    Click("单选框3");
    EXPECT_TRUE(Checked("单选框3"));
    EXPECT_FALSE(Checked("单选框1"));
    EXPECT_TRUE(front.RadioButton("单选框3").checked());
    EXPECT_EQ(Caption("按钮_场景"), "clear scene");

    Click("汉化");
    EXPECT_TRUE(Checked("汉化"));
    EXPECT_TRUE(Checked("单选框3"));
    Click("单选框5");
    EXPECT_TRUE(Checked("汉化"));
    EXPECT_TRUE(Checked("单选框5"));
    EXPECT_FALSE(Checked("单选框3"));
    Click("汉化");
    EXPECT_TRUE(Checked("汉化"));
}

TEST_F(ControlRules, ComboBoxSelectionRulesOfTheAdapter) {
    controls::ComboBox& ports = front.ComboBox("组合框_串口");
    ports.clear();
    EXPECT_EQ(ports.count(), 0);
    EXPECT_EQ(ports.selectedIndex(), -1);
    ports.setSelectedIndex(3); // nothing to select in an empty box
    EXPECT_EQ(ports.selectedIndex(), -1);

    ports.addItem("COM9");
    ports.addItem("COM10");
    EXPECT_EQ(ports.selectedIndex(), -1);
    EXPECT_EQ(Text("组合框_串口"), "");
    EXPECT_EQ(ports.itemText(-1), "");
    EXPECT_EQ(ports.itemText(2), "");
    EXPECT_EQ(ports.itemText(1), "COM10");

    ports.setSelectedIndex(7);
    EXPECT_EQ(ports.selectedIndex(), 1);
    EXPECT_EQ(Text("组合框_串口"), "COM10");
    ports.setSelectedIndex(-1);
    EXPECT_EQ(ports.selectedIndex(), -1);
    EXPECT_EQ(Text("组合框_串口"), "");

    ports.setSelectedIndex(0);
    ports.addItem("COM11");
    EXPECT_EQ(ports.selectedIndex(), 0);
    ports.clear();
    EXPECT_EQ(ports.selectedIndex(), -1);
    EXPECT_EQ(Text("组合框_串口"), "");

    // Selecting from code runs no handler.
    front.ComboBox("组合框_地址").setSelectedIndex(4);
    Settle();
    EXPECT_EQ(Text("组合框_地址"), "5");
    EXPECT_EQ(Text("编辑框_控制"), "");
}

TEST_F(ControlRules, APickFromTheListRunsTheHandlerTypingDoesNot) {
    PickFromList("组合框_地址", 2);
    EXPECT_EQ(Selected("组合框_地址"), 2);
    EXPECT_EQ(Text("编辑框_控制"), ControlFrameText(3, 0, 0));

    // Typing runs no handler and adds no item.
    front.EditBox("编辑框_场景").setText("");
    Click(ComboInfo(Find("组合框_场景")).hwndItem);
    Type(L"7");
    Key(VK_RETURN);
    Key(VK_TAB);
    EXPECT_EQ(front.ComboBox("组合框_场景").count(), 50);
    EXPECT_EQ(Text("编辑框_场景"), "");
}

TEST_F(ControlRules, PortListIsRefilledBeforeItOpens) {
    const HWND ports = Find("组合框_串口");
    port_map.values->push_back(
        {"\\Device\\USBSER000", std::string("COM12") + '\0', "\\Device\\USBSER000"});
    const int reads = port_map.reads;
    OpenList(ports);
    EXPECT_EQ(port_map.reads, reads + 1);
    // The list the user sees already holds the new port.
    const HWND list = ComboInfo(ports).hwndList;
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(front.ComboBox("组合框_串口").itemText(2), "COM12");
    EXPECT_EQ(Selected("组合框_串口"), -1);
    SendMessageW(ports, CB_SHOWDROPDOWN, FALSE, 0);
    Settle();
}

TEST_F(ControlRules, ButtonCaptionReadsBackAsWritten) {
    front.PushButton("通道12").setCaption("Channel 12 (on)");
    EXPECT_EQ(front.PushButton("通道12").caption(), "Channel 12 (on)");
    EXPECT_EQ(Caption("通道12"), "Channel 12 (on)");
    Click("通道5");
    EXPECT_EQ(Caption("通道5"), "Channel 5 (on)");
    EXPECT_EQ(console->masks().ChannelStates, 0x0010u);
}

TEST_F(ControlRules, PreviewBoxesAreReadOnlyAndWhite) {
    for (const char* name : {"编辑框_控制", "编辑框_场景"}) {
        SCOPED_TRACE(name);
        front.EditBox(name).setText("01 02 03 ");
        Click(name);
        Key(VK_END);
        Type(L"AB");
        Key(VK_BACK);
        Key(VK_DELETE);
        EXPECT_EQ(Text(name), "01 02 03 ");
        EXPECT_EQ(front.EditBox(name).text(), "01 02 03 ");

        // Read-only edits ask for the static colours: the window answers white.
        const HDC dc = GetDC(Find(name));
        const auto brush = static_cast<HBRUSH>(reinterpret_cast<HGDIOBJ>(
            SendMessageW(window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(Find(name)))));
        LOGBRUSH colour{};
        GetObjectW(brush, sizeof colour, &colour);
        EXPECT_EQ(colour.lbColor, RGB(255, 255, 255));
        ReleaseDC(Find(name), dc);
    }
}

TEST_F(ControlRules, LogAppendsAtTheEndAndKeepsWhatTheUserTyped) {
    controls::EditBox& log = front.EditBox("编辑框_显示");
    const HWND box = Find("编辑框_显示");
    Click(box);
    Type(L"note");
    Key(VK_HOME);
    log.append("port opened: COM3 9600\r\n");
    log.append("01 02 \r\n");
    EXPECT_EQ(log.text(), "noteport opened: COM3 9600\r\n01 02 \r\n");
    EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 3);

    log.caretToEnd();
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, static_cast<DWORD>(GetWindowTextLengthW(box)));
    EXPECT_EQ(end, start);
    Type(L"x");
    EXPECT_EQ(log.text(), "noteport opened: COM3 9600\r\n01 02 \r\nx");

    log.setText("A\r\nB\r\n");
    EXPECT_EQ(log.text(), "A\r\nB\r\n");
}

// At its maximum the log drops its oldest lines and keeps every new one.
TEST_F(ControlRules, FullLogKeepsTheNewestLines) {
    const HWND box = Find("编辑框_显示");
    ui::win32::Win32LogEdit log(box, 100);
    std::string expected_tail;
    for (int i = 0; i < 40; ++i) {
        const std::string line = "line " + std::to_string(i) + "\r\n";
        log.append(line);
        ASSERT_LE(GetWindowTextLengthW(box), 100) << "after line " << i;
        ASSERT_TRUE(log.text().ends_with(line)) << "line " << i << " was not kept";
    }
    const std::string text = log.text();
    EXPECT_TRUE(text.starts_with("line ")) << "cut inside a line: " << text;
    EXPECT_EQ(text.find("line 0\r\n"), std::string::npos);

    // A long line past the maximum is kept whole; the control's own limit does not stop it.
    const std::string long_line(150, 'F');
    log.append(long_line);
    EXPECT_TRUE(log.text().ends_with(long_line));
}

TEST_F(ControlRules, TimerRunsAtItsPeriodAndStops) {
    controls::Timer& timer = front.Timer("时钟_接收数据");
    timer.setPeriod(1000);
    EXPECT_EQ(timer.period(), 1000);
    timer.setPeriod(1000);
    EXPECT_EQ(timer.period(), 1000);
    timer.setPeriod(0);
    EXPECT_EQ(timer.period(), 0);

    // The console's own poll: open a port, and the bytes waiting on it reach the log.
    front.ComboBox("组合框_串口").setSelectedIndex(0);
    Click("按钮_开关端口");
    EXPECT_EQ(timer.period(), 10);
    EXPECT_EQ(Text("编辑框_显示"), "port opened: COM3 9600\r\n");
    pcomm.incoming.push_back({0xAA, 0x10, 0x00});
    EXPECT_TRUE(WaitFor([this] { return Text("编辑框_显示").ends_with("AA 10 00 \r\n"); }));

    timer.setPeriod(-5);
    EXPECT_EQ(timer.period(), 0);
    pcomm.incoming.push_back({0x01});
    Sleep(50);
    Settle();
    EXPECT_EQ(Text("编辑框_显示").find("01 \r\n"), std::string::npos);
}

// The name of the control a window belongs to (a combo box's own field is the box).
std::string ControlOf(const ui::win32::Win32Front& front, HWND w) {
    for (; w != nullptr; w = GetParent(w)) {
        for (const auto& def : ui::WindowDefinition().controls) {
            if (def.kind != ui::Kind::Timer && front.control(def.name) == w) {
                return def.name;
            }
        }
    }
    return "<none>";
}

TEST_F(ControlRules, TabReachesButtonsChecksRadiosCombosAndEditBoxesOnly) {
    using ui::Kind;
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        ClickTab(page);
        Click("按钮_开关端口");
        std::set<std::string> reached;
        for (int press = 0; press < 120; ++press) {
            Key(VK_TAB);
            reached.insert(ControlOf(front, GetFocus()));
        }
        for (const auto& def : ui::WindowDefinition().controls) {
            const bool shown =
                def.container != (page == 0 ? ui::Container::Page1 : ui::Container::Page0);
            bool expected = false;
            switch (def.kind) {
            case Kind::PushButton:
            case Kind::CheckBox:
            case Kind::ComboBox:
            case Kind::LogBox:
            case Kind::PreviewBox:
                expected = shown;
                break;
            case Kind::RadioButton:
                expected = shown && (def.name == "汉化" || def.checked);
                break;
            default:
                break;
            }
            if (def.kind != Kind::RadioButton || expected) {
                EXPECT_EQ(reached.contains(def.name), expected) << def.name;
            }
        }
        EXPECT_FALSE(reached.contains("<none>"));
    }
}

} // namespace
} // namespace win32_test
