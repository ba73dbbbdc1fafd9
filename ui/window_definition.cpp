#include "ui/window_definition.h"

#include <stdexcept>

namespace ui {

namespace {

std::vector<ControlDef> Controls() {
    using enum Kind;
    using enum Container;
    using enum Event;
    std::vector<ControlDef> c{
        {"分组框1", GroupBox, Window, 0, 0, 160, 110, "COM"},
        {"编辑框_显示", LogBox, Window, 165, 0, 451, 110, ""},
        {"选择夹1", TabControl, Window, 0, 115, 616, 340, ""},
        // Over the right-hand end of the tab strip; created after the tab control so it
        // stays on top of it.
        {"汉化", RadioButton, Window, 538, 116, 45, 15, "汉化", Clicked},

        {"标签1", Label, Group, 5, 16, 32, 16, "Port:"},
        {"组合框_串口", ComboBox, Group, 75, 16, 75, 20, "", ListWillPopUp},
        {"标签2", Label, Group, 5, 44, 32, 16, "Baud:"},
        {"组合框_波特率", ComboBox, Group, 75, 44, 75, 20, ""},
        {"按钮_开关端口", PushButton, Group, 16, 72, 50, 25, "start", Clicked},
        {"按钮_清空显示", PushButton, Group, 88, 72, 50, 25, "clear→", Clicked},
        {"时钟_接收数据", Timer, Group, 40, 32, 24, 16, "", Periodic},
    };

    for (int n = 1; n <= 16; ++n) {
        const int column = (n - 1) % 8;
        const int row_top = n <= 8 ? 24 : 104;
        const int top = (n == 1 || n == 9) ? row_top + 1 : row_top;
        c.push_back({"通道" + std::to_string(n), PushButton, Page0, 3 + 64 * column, top, 60, 50,
                     "Channel " + std::to_string(n) + " (off)", Clicked});
    }
    for (int n = 1; n <= 16; ++n) {
        const int column = (n - 1) % 8;
        c.push_back({"使能" + std::to_string(n), CheckBox, Page0, 26 + 64 * column,
                     n <= 8 ? 83 : 163, 15, 15, "", Clicked});
    }

    const std::vector<ControlDef> page0{
        {"全开", PushButton, Page0, 536, 41, 60, 25, "ALL ON", Clicked},
        {"全关", PushButton, Page0, 536, 73, 60, 25, "ALL OFF", Clicked},
        {"全能", PushButton, Page0, 536, 105, 60, 25, "ALL Enabled", Clicked},
        {"全禁", PushButton, Page0, 536, 137, 60, 25, "ALL Disabled", Clicked},
        {"标签3", Label, Page0, 15, 200, 55, 10, "module-id"},
        {"组合框_地址", ComboBox, Page0, 8, 213, 75, 20, "", ListItemSelected},
        {"编辑框_控制", PreviewBox, Page0, 85, 206, 330, 32, ""},
        {"按钮_控制", PushButton, Page0, 426, 209, 60, 25, "Control", Clicked},
        {"标签4", Label, Page0, 15, 249, 55, 10, "Scene No."},
        {"组合框_场景", ComboBox, Page0, 8, 263, 75, 20, "", ListItemSelected},
        {"编辑框_场景", PreviewBox, Page0, 85, 254, 330, 32, ""},
        {"按钮_场景", PushButton, Page0, 426, 257, 60, 25, "set", Clicked},
        {"单选框1", RadioButton, Page0, 500, 254, 100, 12, "set scene", Clicked, true},
        {"单选框2", RadioButton, Page0, 500, 270, 100, 12, "delete scene", Clicked},
        {"单选框3", RadioButton, Page0, 500, 286, 100, 12, "clear scene", Clicked},
        {"单选框4", RadioButton, Page0, 500, 302, 100, 12, "set module-id", Clicked},
        {"单选框5", RadioButton, Page0, 500, 318, 110, 12, "Power on status", Clicked},
        {"触发场景", PushButton, Page0, 8, 288, 75, 10, "→", Clicked},
        {"组合框_设置波特率", ComboBox, Page0, 8, 310, 75, 20, ""},
        {"按钮_设置波特率", PushButton, Page0, 88, 308, 60, 25, "set baud", Clicked},
        {"组合框_设置输入口", ComboBox, Page0, 160, 310, 75, 20, ""},
        {"按钮_设置输入口", PushButton, Page0, 240, 308, 60, 25, "set Input", Clicked},
    };
    c.insert(c.end(), page0.begin(), page0.end());

    for (int k = 1; k <= 8; ++k) {
        const int step = 32 * (k - 1);
        c.push_back({"标签" + std::to_string(k + 6), Label, Page1, 8, 51 + step, 30, 15,
                     "Key " + std::to_string(k)});
        c.push_back({"模块地址" + std::to_string(k), ComboBox, Page1, 40, 48 + step, 75, 20, ""});
        c.push_back({"模块通道" + std::to_string(k), ComboBox, Page1, 128, 48 + step, 75, 20, ""});
    }

    const std::vector<ControlDef> page1{
        {"标签5", Label, Page1, 48, 32, 55, 10, "module-id"},
        {"标签6", Label, Page1, 142, 32, 55, 10, "Channel"},
        {"进入设置", PushButton, Page1, 544, 113, 60, 25, "Enter Settings", Clicked},
        {"读取设置", PushButton, Page1, 544, 145, 60, 25, "Read Settings", Clicked},
        {"清空设置", PushButton, Page1, 544, 177, 60, 25, "Clear Settings", Clicked},
        {"组合框_开关地址", ComboBox, Page1, 464, 212, 75, 20, ""},
        {"设置开关地址", PushButton, Page1, 544, 209, 60, 25, "Set ID", Clicked},
        {"组合框_开关波特率", ComboBox, Page1, 464, 243, 75, 20, ""},
        {"设置开关波特率", PushButton, Page1, 544, 241, 60, 25, "Set baud", Clicked},
        {"写入设置", PushButton, Page1, 544, 273, 60, 25, "Write Settings", Clicked},
        {"退出设置", PushButton, Page1, 544, 305, 60, 25, "Exit Setup", Clicked},
    };
    c.insert(c.end(), page1.begin(), page1.end());
    return c;
}

} // namespace

const WindowLayout& WindowDefinition() {
    static const WindowLayout window{"", 620, 480, {"relay module", "switch"}, 160, Controls()};
    return window;
}

const ControlDef& FindControl(const std::string& name) {
    for (const auto& control : WindowDefinition().controls) {
        if (control.name == name) {
            return control;
        }
    }
    throw std::out_of_range("no control named " + name);
}

} // namespace ui
