// The rules each kind of control keeps for the handlers, checked on the real widgets.

#include "frame/hex_text.h"
#include "relay/relay_frames.h"
#include "tests/qt/console_window.h"

#include <QImage>
#include <QSignalSpy>

#include <set>

namespace qt_test {
namespace {

std::string ControlFrameText(frame::Byte address, std::uint32_t enables, std::uint32_t states) {
    return frame::ToHexText(relay::BuildControlFrame(address, enables, states));
}

using ControlRules = ConsoleWindow;

// ---- check boxes and radio buttons

TEST_F(ControlRules, CheckBoxToggles_BeforeItsHandlerReadsIt) {
    Click("使能1");
    EXPECT_TRUE(Checked("使能1"));
    EXPECT_EQ(console->masks().ChannelEnables, 0x0001u);
    EXPECT_EQ(Text("编辑框_控制"), ControlFrameText(1, 0x0001, 0));

    Click("使能1");
    EXPECT_FALSE(Checked("使能1"));
    EXPECT_EQ(console->masks().ChannelEnables, 0u);
    EXPECT_EQ(Text("编辑框_控制"), ControlFrameText(1, 0, 0));
}

TEST_F(ControlRules, WritingACheckBoxRunsNoHandler) {
    QSignalSpy clicked(Find<QCheckBox>("使能2"), &QCheckBox::clicked);
    front.CheckBox("使能2").setChecked(true);
    EXPECT_TRUE(Checked("使能2"));
    EXPECT_TRUE(front.CheckBox("使能2").checked());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(console->masks().ChannelEnables, 0u);
    EXPECT_EQ(Text("编辑框_控制"), "");
}

TEST_F(ControlRules, RadioClickChecksItAndClearsOnlyItsOwnGroup) {
    Click("单选框3");
    EXPECT_TRUE(Checked("单选框3"));
    EXPECT_FALSE(Checked("单选框1"));
    EXPECT_TRUE(front.RadioButton("单选框3").checked());

    // The localisation button is a group of its own, both ways.
    Click("汉化");
    EXPECT_TRUE(Checked("汉化"));
    EXPECT_TRUE(Checked("单选框3"));
    Click("单选框5");
    EXPECT_TRUE(Checked("汉化"));
    EXPECT_TRUE(Checked("单选框5"));
    EXPECT_FALSE(Checked("单选框3"));
    // A checked radio button stays checked when clicked again.
    Click("汉化");
    EXPECT_TRUE(Checked("汉化"));
}

// ---- combo boxes

TEST_F(ControlRules, ComboBoxSelectionRulesOfTheAdapter) {
    controls::ComboBox& ports = front.ComboBox("组合框_串口");
    QComboBox* box = Combo("组合框_串口");
    ports.clear();
    EXPECT_EQ(box->count(), 0);
    EXPECT_EQ(ports.selectedIndex(), -1);

    ports.addItem("COM9");
    EXPECT_EQ(ports.selectedIndex(), -1);
    EXPECT_EQ(box->currentText(), "");
    ports.addItem("COM10");
    EXPECT_EQ(ports.selectedIndex(), -1);

    EXPECT_EQ(ports.itemText(-1), "");
    EXPECT_EQ(ports.itemText(2), "");
    EXPECT_EQ(ports.itemText(1), "COM10");

    ports.setSelectedIndex(7);
    EXPECT_EQ(ports.selectedIndex(), 1);
    EXPECT_EQ(box->currentText(), "COM10");
    ports.setSelectedIndex(-1);
    EXPECT_EQ(ports.selectedIndex(), -1);

    // Adding to a box with a selection keeps that selection.
    ports.setSelectedIndex(0);
    ports.addItem("COM11");
    EXPECT_EQ(ports.selectedIndex(), 0);

    ports.clear();
    EXPECT_EQ(ports.selectedIndex(), -1);
    EXPECT_EQ(box->lineEdit()->text(), "");
}

TEST_F(ControlRules, SelectingFromCodeRunsNoHandler) {
    QSignalSpy activated(Combo("组合框_地址"), &QComboBox::activated);
    front.ComboBox("组合框_地址").setSelectedIndex(4);
    EXPECT_EQ(Combo("组合框_地址")->currentText(), "5");
    EXPECT_EQ(activated.count(), 0);
    EXPECT_EQ(Text("编辑框_控制"), "");
    EXPECT_EQ(Text("编辑框_场景"), "");
}

// Text typed into a combo box's field is never read and never becomes an item, however the
// user leaves the field.
class TypingIntoAComboBox : public ConsoleWindow, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(TypingIntoAComboBox, RunsNoHandlerAndAddsNoItem) {
    QComboBox* address = Combo("组合框_地址");
    QSignalSpy activated(address, &QComboBox::activated);
    Click(address->lineEdit());
    Key(Qt::Key_A, Qt::ControlModifier);
    Type("7");
    Key(GetParam());
    EXPECT_EQ(address->count(), 50);
    EXPECT_EQ(activated.count(), 0);
    EXPECT_EQ(Text("编辑框_控制"), "");
    EXPECT_EQ(Text("编辑框_场景"), "");
}

INSTANTIATE_TEST_SUITE_P(LeavingTheField, TypingIntoAComboBox,
                         ::testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab),
                         [](const ::testing::TestParamInfo<Qt::Key>& key) {
                             switch (key.param) {
                             case Qt::Key_Return:
                                 return std::string("Return");
                             case Qt::Key_Enter:
                                 return std::string("KeypadEnter");
                             default:
                                 return std::string("Tab");
                             }
                         });

TEST_F(ControlRules, APickFromTheListRunsTheHandler) {
    PickFromList(Combo("组合框_地址"), 2);
    EXPECT_EQ(Combo("组合框_地址")->currentIndex(), 2);
    EXPECT_EQ(Text("编辑框_控制"), ControlFrameText(3, 0, 0));
}

TEST_F(ControlRules, ArrowKeyOnTheClosedBoxIsAPick) {
    QComboBox* address = Combo("组合框_地址");
    Click(address->lineEdit());
    ASSERT_FALSE(address->view()->isVisible());
    Key(Qt::Key_Down);
    EXPECT_EQ(address->currentIndex(), 1);
    EXPECT_EQ(Text("编辑框_控制"), ControlFrameText(2, 0, 0));
    Key(Qt::Key_Up);
    EXPECT_EQ(address->currentIndex(), 0);
    EXPECT_EQ(Text("编辑框_控制"), ControlFrameText(1, 0, 0));
}

TEST_F(ControlRules, PortListIsRefilledBeforeItOpens) {
    QComboBox* ports = Combo("组合框_串口");
    port_map.values->push_back(
        {"\\Device\\USBSER000", std::string("COM12") + '\0', "/dev/ttyUSB0"});
    const int reads = port_map.reads;
    OpenList(ports);
    EXPECT_EQ(port_map.reads, reads + 1);
    // The list the user sees already holds the new port.
    EXPECT_EQ(ports->view()->model()->rowCount(), 3);
    EXPECT_EQ(ports->itemText(2), "COM12");
    EXPECT_EQ(ports->itemData(2, Qt::ToolTipRole).toString(), "/dev/ttyUSB0");
    EXPECT_EQ(ports->currentIndex(), -1);
    ports->hidePopup();
}

// ---- push buttons

TEST_F(ControlRules, ButtonCaptionReadsBackAsWrittenAndWrapsOnScreen) {
    controls::PushButton& channel = front.PushButton("通道12");
    channel.setCaption("Channel 12 (on)");
    EXPECT_EQ(channel.caption(), "Channel 12 (on)");
    front.PushButton("按钮_场景").setCaption("Power on status");
    EXPECT_EQ(front.PushButton("按钮_场景").caption(), "Power on status");
    EXPECT_EQ(Caption("按钮_场景"), "Power on status");

    // The caption is wider than the button: the button shows it on more than one line.
    QWidget* button = Find("通道12");
    ASSERT_GT(button->fontMetrics().horizontalAdvance("Channel 12 (on)"), button->width());
    const QImage image = button->grab().toImage();
    int lines = 0;
    bool in_line = false;
    for (int y = 3; y < image.height() - 3; ++y) {
        bool ink = false;
        for (int x = 3; x < image.width() - 3 && !ink; ++x) {
            ink = qGray(image.pixel(x, y)) < 100;
        }
        lines += ink && !in_line ? 1 : 0;
        in_line = ink;
    }
    EXPECT_GE(lines, 2);
}

// ---- edit boxes

TEST_F(ControlRules, PreviewBoxesAreReadOnlyYetSelectable) {
    for (const char* name : {"编辑框_控制", "编辑框_场景"}) {
        SCOPED_TRACE(name);
        front.EditBox(name).setText("01 02 03 ");
        auto* box = Find<QLineEdit>(name);
        Click(box);
        Key(Qt::Key_End);
        Type("AB");
        Key(Qt::Key_Backspace);
        Key(Qt::Key_Home);
        Key(Qt::Key_Delete);
        EXPECT_EQ(box->text(), "01 02 03 ");
        EXPECT_EQ(front.EditBox(name).text(), "01 02 03 ");
        Key(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(box->selectedText(), "01 02 03 ");
    }
}

TEST_F(ControlRules, LogAppendsAtTheEndAndKeepsWhatTheUserTyped) {
    controls::EditBox& log = front.EditBox("编辑框_显示");
    auto* box = Find<QPlainTextEdit>("编辑框_显示");
    Click(box);
    Type("note");
    Key(Qt::Key_Home, Qt::ControlModifier);
    ASSERT_EQ(box->textCursor().position(), 0);

    log.append("port opened: COM3 9600\r\n");
    log.append("01 02 \r\n");
    EXPECT_EQ(log.text(), "noteport opened: COM3 9600\r\n01 02 \r\n");
    // The box takes in the second line when the hold after the first ends.
    ASSERT_TRUE(QTest::qWaitFor(
        [box] { return box->toPlainText() == "noteport opened: COM3 9600\n01 02 \n"; }, 10000));
    EXPECT_EQ(box->document()->blockCount(), 3);

    // What the user types next goes where the caret is, and stays.
    log.caretToEnd();
    EXPECT_EQ(box->textCursor().position(), box->document()->characterCount() - 1);
    Type("x");
    EXPECT_EQ(log.text(), "noteport opened: COM3 9600\r\n01 02 \r\nx");

    log.setText("A\r\nB\r\n");
    EXPECT_EQ(log.text(), "A\r\nB\r\n");
}

// ---- timer

TEST_F(ControlRules, TimerPeriodRules) {
    controls::Timer& timer = front.Timer("时钟_接收数据");
    auto* qtimer = Find<QTimer>("时钟_接收数据");

    timer.setPeriod(1000);
    ASSERT_TRUE(qtimer->isActive());
    EXPECT_EQ(timer.period(), 1000);
    // Far longer than the slack Qt allows a coarse timer, so a restart would show.
    QTest::qWait(300);
    const int remaining = qtimer->remainingTime();

    timer.setPeriod(1000);
    EXPECT_LE(qtimer->remainingTime(), remaining) << "the running interval was restarted";

    timer.setPeriod(2000);
    EXPECT_EQ(qtimer->interval(), 2000);
    EXPECT_GT(qtimer->remainingTime(), 1000);

    timer.setPeriod(0);
    EXPECT_FALSE(qtimer->isActive());
    EXPECT_EQ(timer.period(), 0);
    timer.setPeriod(10);
    EXPECT_TRUE(qtimer->isActive());
    timer.setPeriod(-5);
    EXPECT_FALSE(qtimer->isActive());
}

TEST_F(ControlRules, StoppedTimerRaisesNoTicks) {
    auto* qtimer = Find<QTimer>("时钟_接收数据");
    QSignalSpy ticks(qtimer, &QTimer::timeout);
    front.Timer("时钟_接收数据").setPeriod(5);
    EXPECT_TRUE(ticks.wait(kWatchdogMs));
    front.Timer("时钟_接收数据").setPeriod(0);
    ticks.clear();
    QTest::qWait(50);
    EXPECT_EQ(ticks.count(), 0);
}

// ---- keyboard focus

// The name of the control a focused widget belongs to (a combo box's own field is the box).
std::string ControlOf(QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const std::string name = widget->objectName().toStdString();
        for (const auto& def : ui::WindowDefinition().controls) {
            if (def.name == name) {
                return name;
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
        Find("按钮_开关端口")->setFocus(Qt::OtherFocusReason);
        std::set<std::string> reached;
        for (int press = 0; press < 300; ++press) {
            if (ControlOf(QApplication::focusWidget()) == "编辑框_显示") {
                // Move past the log as the window's own Tab does; whether the log lets Tab
                // go is a test of its own below.
                QTest::keyClick(window(), Qt::Key_Tab);
            } else {
                Key(Qt::Key_Tab);
            }
            reached.insert(ControlOf(QApplication::focusWidget()));
        }
        for (const auto& def : ui::WindowDefinition().controls) {
            const bool shown =
                def.container != (page == 0 ? ui::Container::Page1 : ui::Container::Page0);
            if (!shown) {
                EXPECT_FALSE(reached.contains(def.name)) << def.name << " is hidden";
                continue;
            }
            switch (def.kind) {
            case Kind::PushButton:
            case Kind::CheckBox:
            case Kind::ComboBox:
            case Kind::LogBox:
            case Kind::PreviewBox:
                EXPECT_TRUE(reached.contains(def.name)) << def.name;
                break;
            case Kind::RadioButton:
                // One stop per group: Tab enters the scene-mode group at its checked button.
                if (def.name == "汉化" || def.checked) {
                    EXPECT_TRUE(reached.contains(def.name)) << def.name;
                }
                break;
            case Kind::Label:
            case Kind::GroupBox:
            case Kind::TabControl:
            case Kind::Timer:
                EXPECT_FALSE(reached.contains(def.name)) << def.name;
                break;
            }
        }
        EXPECT_FALSE(reached.contains("<none>"));
    }
}

// 汉化 is a group of its own: having had the focus, it must not take the scene-mode group's
// tab stop away.
TEST_F(ControlRules, SceneModeGroupStaysATabStopAfterTheLocalisationButtonHadFocus) {
    Click("汉化");
    ASSERT_EQ(ControlOf(QApplication::focusWidget()), "汉化");
    Find("按钮_场景")->setFocus(Qt::OtherFocusReason);
    Key(Qt::Key_Tab);
    EXPECT_EQ(ControlOf(QApplication::focusWidget()), "单选框1");
}

// The log is one tab stop among the others: Tab moves on from it and types nothing into it.
TEST_F(ControlRules, TabMovesOnFromTheLog) {
    auto* log = Find<QPlainTextEdit>("编辑框_显示");
    Click(log);
    Type("abc");
    Key(Qt::Key_Tab);
    EXPECT_EQ(log->toPlainText(), "abc");
    EXPECT_NE(ControlOf(QApplication::focusWidget()), "编辑框_显示");
    Click(log);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(log->toPlainText(), "abc");
    EXPECT_NE(ControlOf(QApplication::focusWidget()), "编辑框_显示");
}

} // namespace
} // namespace qt_test
