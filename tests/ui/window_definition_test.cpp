#include "ui/window_definition.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>

namespace {

using ::testing::UnorderedElementsAreArray;
using ui::Container;
using ui::ControlDef;
using ui::Event;
using ui::Kind;

const ui::WindowLayout& Window() {
    return ui::WindowDefinition();
}

TEST(WindowDefinition, TheWindowItself) {
    EXPECT_EQ(Window().caption, "");
    EXPECT_EQ(Window().outer_width, 620);
    EXPECT_EQ(Window().outer_height, 480);
    EXPECT_EQ(Window().page_titles[0], "relay module");
    EXPECT_EQ(Window().page_titles[1], "switch");
    EXPECT_EQ(Window().combo_open_height, 160);
}

TEST(WindowDefinition, ControlsPerContainerAndUniqueNames) {
    std::map<Container, int> per_container;
    std::set<std::string> names;
    for (const auto& control : Window().controls) {
        ++per_container[control.container];
        EXPECT_TRUE(names.insert(control.name).second) << "duplicate " << control.name;
    }
    EXPECT_EQ(per_container[Container::Window], 4);
    EXPECT_EQ(per_container[Container::Group], 7);
    EXPECT_EQ(per_container[Container::Page0], 54);
    EXPECT_EQ(per_container[Container::Page1], 35);

    std::set<std::string> window_children;
    for (const auto& control : Window().controls) {
        if (control.container == Container::Window) {
            window_children.insert(control.name);
        }
    }
    EXPECT_EQ(window_children,
              (std::set<std::string>{"分组框1", "编辑框_显示", "汉化", "选择夹1"}));
}

TEST(WindowDefinition, ChannelButtonsAndEnableBoxesFollowTheirRule) {
    for (int n = 1; n <= 16; ++n) {
        SCOPED_TRACE(n);
        const int column = (n - 1) % 8;
        const bool first_row = n <= 8;

        const ControlDef& button = ui::FindControl("通道" + std::to_string(n));
        EXPECT_EQ(button.kind, Kind::PushButton);
        EXPECT_EQ(button.container, Container::Page0);
        EXPECT_EQ(button.left, 3 + 64 * column);
        EXPECT_EQ(button.top, (first_row ? 24 : 104) + (n == 1 || n == 9 ? 1 : 0));
        EXPECT_EQ(button.width, 60);
        EXPECT_EQ(button.height, 50);
        EXPECT_EQ(button.caption, "Channel " + std::to_string(n) + " (off)");
        EXPECT_EQ(button.event, Event::Clicked);

        const ControlDef& box = ui::FindControl("使能" + std::to_string(n));
        EXPECT_EQ(box.kind, Kind::CheckBox);
        EXPECT_EQ(box.container, Container::Page0);
        EXPECT_EQ(box.left, 26 + 64 * column);
        EXPECT_EQ(box.top, first_row ? 83 : 163);
        EXPECT_EQ(box.width, 15);
        EXPECT_EQ(box.height, 15);
        EXPECT_EQ(box.caption, "");
        EXPECT_EQ(box.event, Event::Clicked);
    }
}

TEST(WindowDefinition, KeyRowsFollowTheirRule) {
    for (int k = 1; k <= 8; ++k) {
        SCOPED_TRACE(k);
        const int step = 32 * (k - 1);
        const struct {
            std::string name;
            Kind kind;
            int left, top, width, height;
            std::string caption;
        } row[] = {
            {"标签" + std::to_string(k + 6), Kind::Label, 8, 51 + step, 30, 15,
             "Key " + std::to_string(k)},
            {"模块地址" + std::to_string(k), Kind::ComboBox, 40, 48 + step, 75, 20, ""},
            {"模块通道" + std::to_string(k), Kind::ComboBox, 128, 48 + step, 75, 20, ""},
        };
        for (const auto& expected : row) {
            const ControlDef& c = ui::FindControl(expected.name);
            EXPECT_EQ(c.kind, expected.kind) << expected.name;
            EXPECT_EQ(c.container, Container::Page1) << expected.name;
            EXPECT_EQ(c.left, expected.left) << expected.name;
            EXPECT_EQ(c.top, expected.top) << expected.name;
            EXPECT_EQ(c.width, expected.width) << expected.name;
            EXPECT_EQ(c.height, expected.height) << expected.name;
            EXPECT_EQ(c.caption, expected.caption) << expected.name;
            EXPECT_EQ(c.event, Event::None) << expected.name;
        }
    }
}

TEST(WindowDefinition, EventsHandled) {
    std::map<Event, std::vector<std::string>> by_event;
    for (const auto& control : Window().controls) {
        by_event[control.event].push_back(control.name);
    }
    std::vector<std::string> clicked{"汉化",
                                     "按钮_开关端口",
                                     "按钮_清空显示",
                                     "全开",
                                     "全关",
                                     "全能",
                                     "全禁",
                                     "按钮_控制",
                                     "按钮_场景",
                                     "单选框1",
                                     "单选框2",
                                     "单选框3",
                                     "单选框4",
                                     "单选框5",
                                     "触发场景",
                                     "按钮_设置波特率",
                                     "按钮_设置输入口",
                                     "进入设置",
                                     "读取设置",
                                     "清空设置",
                                     "设置开关地址",
                                     "设置开关波特率",
                                     "写入设置",
                                     "退出设置"};
    for (int n = 1; n <= 16; ++n) {
        clicked.push_back("通道" + std::to_string(n));
        clicked.push_back("使能" + std::to_string(n));
    }
    EXPECT_THAT(by_event[Event::Clicked], UnorderedElementsAreArray(clicked));
    EXPECT_THAT(by_event[Event::ListItemSelected],
                UnorderedElementsAreArray({"组合框_地址", "组合框_场景"}));
    EXPECT_THAT(by_event[Event::ListWillPopUp], UnorderedElementsAreArray({"组合框_串口"}));
    EXPECT_THAT(by_event[Event::Periodic], UnorderedElementsAreArray({"时钟_接收数据"}));
}

TEST(WindowDefinition, RadioButtonsAtStart) {
    for (const auto& control : Window().controls) {
        if (control.kind == Kind::RadioButton) {
            EXPECT_EQ(control.checked, control.name == "单选框1") << control.name;
        }
    }
    EXPECT_EQ(ui::FindControl("汉化").container, Container::Window);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(ui::FindControl("单选框" + std::to_string(k)).container, Container::Page0);
    }
}

TEST(WindowDefinition, FindControlRejectsAnUnknownName) {
    EXPECT_THROW(ui::FindControl("通道17"), std::out_of_range);
    EXPECT_EQ(ui::FindControl("按钮_场景").caption, "set");
}

} // namespace
