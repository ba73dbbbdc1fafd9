// What the user sees when the window opens, before touching anything.

#include "tests/qt/console_window.h"

#include <QScreen>

#include <gmock/gmock.h>

#include <cstdlib>
#include <vector>

namespace qt_test {
namespace {

using ::testing::ElementsAreArray;

std::vector<std::string> Items(const QComboBox* box) {
    std::vector<std::string> out;
    for (int i = 0; i < box->count(); ++i) {
        out.push_back(box->itemText(i).toStdString());
    }
    return out;
}

std::vector<std::string> Numbers(std::vector<std::string> head) {
    for (int i = 1; i <= 50; ++i) {
        head.push_back(std::to_string(i));
    }
    return head;
}

struct FilledBox {
    std::string name;
    std::vector<std::string> items;
};

std::vector<FilledBox> FilledBoxes() {
    const std::vector<std::string> bauds{"9600", "19200", "38400", "57600", "115200"};
    std::vector<FilledBox> out{
        {"组合框_波特率", bauds},
        {"组合框_设置波特率", bauds},
        {"组合框_开关波特率", bauds},
        {"组合框_设置输入口", {"reset switch", "rocker switch", "report data"}},
        {"组合框_地址", Numbers({})},
        {"组合框_开关地址", Numbers({})},
        {"组合框_场景", Numbers({})},
    };
    for (int k = 1; k <= 8; ++k) {
        out.push_back({"模块地址" + std::to_string(k), Numbers({"scene"})});
        out.push_back({"模块通道" + std::to_string(k), Numbers({"Disabled"})});
    }
    return out;
}

using StartState = ConsoleWindow;

TEST_F(StartState, EveryComboBoxHoldsItsItemsWithTheFirstSelected) {
    const auto boxes = FilledBoxes();
    // Every combo box but the port list is one of these.
    int combo_boxes = 0;
    for (const auto& def : ui::WindowDefinition().controls) {
        combo_boxes += def.kind == ui::Kind::ComboBox ? 1 : 0;
    }
    ASSERT_EQ(boxes.size() + 1, static_cast<std::size_t>(combo_boxes));

    for (const auto& [name, items] : boxes) {
        SCOPED_TRACE(name);
        QComboBox* box = Combo(name);
        EXPECT_THAT(Items(box), ElementsAreArray(items));
        EXPECT_EQ(box->currentIndex(), 0);
        EXPECT_EQ(box->currentText().toStdString(), items.front());
        EXPECT_EQ(box->lineEdit()->text().toStdString(), items.front());
    }
}

TEST_F(StartState, PortListHoldsTheMappedPortsWithNothingSelected) {
    QComboBox* ports = Combo("组合框_串口");
    EXPECT_THAT(Items(ports), ElementsAreArray({"COM3", "COM7"}));
    EXPECT_EQ(ports->currentIndex(), -1);
    EXPECT_EQ(ports->lineEdit()->text(), "");
    EXPECT_EQ(ports->itemData(0, Qt::ToolTipRole).toString(), "/dev/ttyS0");
    EXPECT_EQ(ports->itemData(1, Qt::ToolTipRole).toString(), "/dev/pts/4");
}

TEST_F(StartState, ButtonsChecksPreviewsAndTimerAreAsDefined) {
    EXPECT_EQ(Caption("按钮_场景"), "set");
    EXPECT_EQ(Caption("按钮_开关端口"), "start");
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(Caption("通道" + std::to_string(n)), "Channel " + std::to_string(n) + " (off)");
        EXPECT_FALSE(Checked("使能" + std::to_string(n))) << n;
    }
    EXPECT_TRUE(Checked("单选框1"));
    for (int n = 2; n <= 5; ++n) {
        EXPECT_FALSE(Checked("单选框" + std::to_string(n))) << n;
    }
    EXPECT_FALSE(Checked("汉化"));
    EXPECT_EQ(Text("编辑框_控制"), "");
    EXPECT_EQ(Text("编辑框_场景"), "");
    EXPECT_EQ(Text("编辑框_显示"), "");
    EXPECT_FALSE(Find<QTimer>("时钟_接收数据")->isActive());
    EXPECT_EQ(front.Timer("时钟_接收数据").period(), 0);
    EXPECT_EQ(console->port().PortOpen, 0);
    EXPECT_EQ(console->port().PortId, -1);
}

TEST_F(StartState, WindowHasNoTitleNoMaximizeButtonAndAFixedSize) {
    EXPECT_EQ(window()->windowTitle(), "");
    const Qt::WindowFlags flags = window()->windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(window()->minimumSize(), window()->maximumSize());
}

TEST(StartStateWithoutPorts, AnUnreadablePortMapLeavesThePortListEmpty) {
    fakes::FakePcomm pcomm;
    fakes::FakePortMap port_map;
    port_map.values.reset();
    ui::qt::QtFront front;
    const auto console = ui::StartConsole(front, pcomm, port_map);
    auto* ports = front.window()->findChild<QComboBox*>("组合框_串口");
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(ports->count(), 0);
    EXPECT_EQ(ports->currentIndex(), -1);
    EXPECT_EQ(front.window()->findChild<QComboBox*>("组合框_地址")->currentIndex(), 0);
}

// The front's own Show, as the program calls it, on whatever platform Qt runs on: the window
// comes up centred with its size and an empty title. Run in a child process, so that a crash
// there fails this test alone.
TEST(StartStateShown, FrontShowsTheWindowWithAnEmptyTitle) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            fakes::FakePcomm pcomm;
            fakes::FakePortMap port_map;
            ui::qt::QtFront front;
            const auto console = ui::StartConsole(front, pcomm, port_map);
            front.Show();
            QWidget* window = front.window();
            const QPoint off_centre =
                window->frameGeometry().center() - window->screen()->availableGeometry().center();
            const bool ok = window->isVisible() && window->windowTitle().isEmpty() &&
                            window->frameGeometry().size() == QSize(620, 480) &&
                            off_centre.manhattanLength() <= 2;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace qt_test
