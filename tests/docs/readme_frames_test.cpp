// The README's table of what each button sends is what the buttons really send: each example
// row is clicked through the console and compared with the bytes handed to the library.

#include "tests/fakes/fake_control_lookup.h"
#include "tests/fakes/fake_pcomm.h"
#include "tests/fakes/fake_port_map.h"
#include "tests/fakes/hex_bytes.h"
#include "ui/console.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Row {
    std::string button;
    std::string example;
};

// The rows of the table under "What each button sends": first column and last column.
std::vector<Row> ReadmeRows() {
    std::ifstream readme(README_PATH);
    std::vector<Row> rows;
    bool in_section = false;
    const std::regex row(R"(^\| ([^|]+?) \| `[^`]*` \| [^|]* \| `([0-9A-F ]+)` \|$)");
    for (std::string line; std::getline(readme, line);) {
        if (line.starts_with("## ")) {
            in_section = line == "## What each button sends";
        }
        std::smatch m;
        if (in_section && std::regex_match(line, m, row)) {
            rows.push_back({m[1], m[2]});
        }
    }
    return rows;
}

// How a user sends each row's frame: the scene-mode radio button to click first, if any, and
// the button that sends.
const std::map<std::string, std::pair<std::string, std::string>> kClicks{
    {"Control", {"", "按钮_控制"}},
    {"set scene", {"单选框1", "按钮_场景"}},
    {"delete scene", {"单选框2", "按钮_场景"}},
    {"clear scene", {"单选框3", "按钮_场景"}},
    {"set module-id", {"单选框4", "按钮_场景"}},
    {"Power on status", {"单选框5", "按钮_场景"}},
    {"→ (trigger scene)", {"", "触发场景"}},
    {"set baud", {"", "按钮_设置波特率"}},
    {"set Input", {"", "按钮_设置输入口"}},
    {"Enter Settings", {"", "进入设置"}},
    {"Read Settings", {"", "读取设置"}},
    {"Clear Settings", {"", "清空设置"}},
    {"Set ID", {"", "设置开关地址"}},
    {"Set baud", {"", "设置开关波特率"}},
    {"Write Settings", {"", "写入设置"}},
    {"Exit Setup", {"", "退出设置"}},
};

TEST(ReadmeFrames, EveryExampleIsWhatItsButtonSends) {
    const std::vector<Row> rows = ReadmeRows();
    ASSERT_EQ(rows.size(), kClicks.size()) << "the table and the buttons it names differ";

    fakes::FakeControlLookup window;
    fakes::FakeMessageBox messages;
    fakes::FakePcomm pcomm;
    fakes::FakePortMap port_map = fakes::FakePortMap::WithPorts({"COM3"});
    ui::Console console{window, messages, pcomm, port_map};
    const auto click = [&](const std::string& name) { console.Handler(ui::FindControl(name))(); };

    // The state the examples are written for.
    console.WindowCreated();
    window.combo("组合框_串口").select("COM3");
    click("按钮_开关端口");
    click("全能");
    click("通道1");
    click("通道3");
    window.combo("模块地址1").setSelectedIndex(2);
    window.combo("模块通道1").setSelectedIndex(3);

    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        const auto it = kClicks.find(row.button);
        ASSERT_NE(it, kClicks.end()) << "no button is known for this row";
        const auto& [radio, button] = it->second;
        if (!radio.empty()) {
            window.radio(radio).click();
            click(radio);
        }
        const std::size_t before = pcomm.Writes().size();
        click(button);
        ASSERT_EQ(pcomm.Writes().size(), before + 1);
        EXPECT_EQ(pcomm.Writes().back().bytes, fakes::Hex(row.example));
    }
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
