#include "ui/console.h"

#include "serial/port_list.h"

#include <map>
#include <string>
#include <vector>

namespace ui {

namespace {

template <typename T, std::size_t N, typename Get>
std::array<T*, N> Numbered(const std::string& prefix, Get get) {
    std::array<T*, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = &get(prefix + std::to_string(i + 1));
    }
    return out;
}

std::vector<std::string> Numbers(int first, int last) {
    std::vector<std::string> out;
    for (int i = first; i <= last; ++i) {
        out.push_back(std::to_string(i));
    }
    return out;
}

const std::vector<std::string> kBaudRates{"9600", "19200", "38400", "57600", "115200"};

} // namespace

Console::Console(ControlLookup& c, controls::MessageBox& messages, serial::Pcomm& pcomm,
                 serial::PortMapSource& port_map)
    : controls_(c), port_map_(port_map), writer_(pcomm, port_),
      connection_({c.ComboBox("组合框_串口"), c.ComboBox("组合框_波特率"),
                   c.PushButton("按钮_开关端口"), c.Timer("时钟_接收数据"),
                   c.EditBox("编辑框_显示"), messages},
                  pcomm, port_),
      preview_({c.ComboBox("组合框_地址"), c.ComboBox("组合框_场景"), c.EditBox("编辑框_控制"),
                c.EditBox("编辑框_场景"),
                Numbered<controls::RadioButton, 5>(
                    "单选框", [&](const std::string& n) -> auto& { return c.RadioButton(n); }),
                c.PushButton("按钮_场景")},
               masks_),
      panel_({Numbered<controls::PushButton, relay::kChannelCount>(
                  "通道", [&](const std::string& n) -> auto& { return c.PushButton(n); }),
              Numbered<controls::CheckBox, relay::kChannelCount>(
                  "使能", [&](const std::string& n) -> auto& { return c.CheckBox(n); })},
             masks_, preview_),
      relay_commands_({c.EditBox("编辑框_控制"), c.EditBox("编辑框_场景"),
                       c.ComboBox("组合框_地址"), c.ComboBox("组合框_场景"),
                       c.ComboBox("组合框_设置波特率"), c.ComboBox("组合框_设置输入口"), messages},
                      writer_),
      switch_({c.ComboBox("组合框_开关地址"), c.ComboBox("组合框_开关波特率"),
               Numbered<controls::ComboBox, wall_switch::kKeyCount>(
                   "模块地址", [&](const std::string& n) -> auto& { return c.ComboBox(n); }),
               Numbered<controls::ComboBox, wall_switch::kKeyCount>(
                   "模块通道", [&](const std::string& n) -> auto& { return c.ComboBox(n); })},
              writer_) {}

void Console::WindowCreated() {
    serial::FillPortList(controls_.ComboBox("组合框_串口"), port_map_);

    const auto fill = [this](const std::vector<std::string>& names,
                             const std::vector<std::string>& items) {
        for (const auto& name : names) {
            controls_.ComboBox(name).clear();
        }
        for (const auto& item : items) {
            for (const auto& name : names) {
                controls_.ComboBox(name).addItem(item);
            }
        }
        for (const auto& name : names) {
            controls_.ComboBox(name).setSelectedIndex(0);
        }
    };
    for (const char* name : {"组合框_波特率", "组合框_设置波特率", "组合框_开关波特率"}) {
        fill({name}, kBaudRates);
    }
    fill({"组合框_设置输入口"}, {"reset switch", "rocker switch", "report data"});
    fill({"组合框_地址", "组合框_开关地址", "组合框_场景"}, Numbers(1, 50));

    std::vector<std::string> modules;
    std::vector<std::string> channels;
    for (int k = 1; k <= wall_switch::kKeyCount; ++k) {
        modules.push_back("模块地址" + std::to_string(k));
        channels.push_back("模块通道" + std::to_string(k));
    }
    // Index k of a key row's boxes is module or channel k; index 0 is the scene or "disabled".
    std::vector<std::string> module_items{"scene"};
    std::vector<std::string> channel_items{"Disabled"};
    for (const auto& number : Numbers(1, 50)) {
        module_items.push_back(number);
        channel_items.push_back(number);
    }
    fill(modules, module_items);
    fill(channels, channel_items);

    port_.PortOpen = 0;
    controls_.PushButton("按钮_开关端口").setCaption("start");
    port_.PortId = -1;
    masks_.ChannelStates = 0;
    masks_.ChannelEnables = 0;
}

std::function<void()> Console::Handler(const ControlDef& control) {
    const std::string& name = control.name;
    const std::map<std::string, std::function<void()>> fixed{
        {"组合框_串口",
         [this] { serial::FillPortList(controls_.ComboBox("组合框_串口"), port_map_); }},
        {"按钮_开关端口", [this] { connection_.TogglePort(); }},
        {"按钮_清空显示", [this] { connection_.ClearLog(); }},
        {"时钟_接收数据", [this] { connection_.PollReceive(); }},
        {"组合框_地址", [this] { preview_.OnSelectionChanged(); }},
        {"组合框_场景", [this] { preview_.OnSelectionChanged(); }},
        {"全开", [this] { panel_.AllOn(); }},
        {"全关", [this] { panel_.AllOff(); }},
        {"全能", [this] { panel_.AllEnabled(); }},
        {"全禁", [this] { panel_.AllDisabled(); }},
        {"按钮_控制", [this] { relay_commands_.SendControlFrame(); }},
        {"按钮_场景", [this] { relay_commands_.SendSceneFrame(); }},
        {"按钮_设置波特率", [this] { relay_commands_.SetBaud(); }},
        {"按钮_设置输入口", [this] { relay_commands_.SetInput(); }},
        {"触发场景", [this] { relay_commands_.TriggerScene(); }},
        {"进入设置", [this] { switch_.EnterSettings(); }},
        {"读取设置", [this] { switch_.ReadSettings(); }},
        {"清空设置", [this] { switch_.ClearSettings(); }},
        {"设置开关地址", [this] { switch_.SetId(); }},
        {"设置开关波特率", [this] { switch_.SetBaud(); }},
        {"写入设置", [this] { switch_.WriteSettings(); }},
        {"退出设置", [this] { switch_.ExitSetup(); }},
        // The localisation button is wired, and does nothing.
        {"汉化", [] {}},
    };
    if (const auto it = fixed.find(name); it != fixed.end()) {
        return it->second;
    }
    const auto numbered = [&](const std::string& prefix) {
        return name.starts_with(prefix) ? std::stoi(name.substr(prefix.size())) : 0;
    };
    if (const int n = numbered("通道"); n > 0) {
        return [this, n] { panel_.OnChannelClicked(n); };
    }
    if (const int n = numbered("使能"); n > 0) {
        return [this, n] { panel_.OnEnableClicked(n); };
    }
    if (const int n = numbered("单选框"); n > 0) {
        return [this, n] { preview_.OnSceneModeClicked(static_cast<relay::SceneMode>(n - 1)); };
    }
    return {};
}

} // namespace ui
