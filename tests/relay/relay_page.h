#pragma once
// The relay module page in memory, filled as start-up leaves it: numbers "1" .. "50" in the
// address and scene boxes with "1" selected, 单选框1 checked, both masks 0, previews empty.

#include "relay/channel_masks.h"
#include "relay/channel_panel.h"
#include "relay/preview.h"
#include "relay/relay_commands.h"
#include "serial/port_connection.h"
#include "tests/fakes/fake_controls.h"
#include "tests/fakes/fake_pcomm.h"

#include <array>
#include <string>
#include <vector>

namespace relay_test {

inline std::vector<std::string> Numbers(int first, int last) {
    std::vector<std::string> out;
    for (int i = first; i <= last; ++i) {
        out.push_back(std::to_string(i));
    }
    return out;
}

struct RelayPage {
    RelayPage() {
        for (int n = 1; n <= relay::kChannelCount; ++n) {
            通道[static_cast<std::size_t>(n - 1)].setCaption(relay::OffCaption(n));
            通道[static_cast<std::size_t>(n - 1)].captions_written.clear();
        }
    }

    std::array<fakes::FakeRadioButton*, 5> radios() {
        return {&单选框1, &单选框2, &单选框3, &单选框4, &单选框5};
    }
    relay::ChannelPanelControls PanelControls() {
        relay::ChannelPanelControls c{};
        for (std::size_t i = 0; i < c.通道.size(); ++i) {
            c.通道[i] = &通道[i];
            c.使能[i] = &使能[i];
        }
        return c;
    }

    fakes::FakeComboBox 组合框_地址{Numbers(1, 50), 0};
    fakes::FakeComboBox 组合框_场景{Numbers(1, 50), 0};
    fakes::FakeComboBox 组合框_设置波特率{{"9600", "19200", "38400", "57600", "115200"}, 0};
    fakes::FakeComboBox 组合框_设置输入口{{"reset switch", "rocker switch", "report data"}, 0};
    fakes::FakeEditBox 编辑框_控制;
    fakes::FakeEditBox 编辑框_场景;
    fakes::RadioGroup scene_modes;
    fakes::FakeRadioButton 单选框1{&scene_modes, true};
    fakes::FakeRadioButton 单选框2{&scene_modes};
    fakes::FakeRadioButton 单选框3{&scene_modes};
    fakes::FakeRadioButton 单选框4{&scene_modes};
    fakes::FakeRadioButton 单选框5{&scene_modes};
    fakes::FakePushButton 按钮_场景{"set"};
    std::array<fakes::FakePushButton, relay::kChannelCount> 通道;
    std::array<fakes::FakeCheckBox, relay::kChannelCount> 使能;
    fakes::FakeMessageBox messages;

    relay::ChannelMasks masks;
    relay::RelayPreview preview{{组合框_地址,
                                 组合框_场景,
                                 编辑框_控制,
                                 编辑框_场景,
                                 {&单选框1, &单选框2, &单选框3, &单选框4, &单选框5},
                                 按钮_场景},
                                masks};
    relay::ChannelPanel panel{PanelControls(), masks, preview};

    fakes::FakePcomm pcomm;
    serial::PortState port;
    serial::PortWriter writer{pcomm, port};
    relay::RelayCommands commands{{编辑框_控制, 编辑框_场景, 组合框_地址, 组合框_场景,
                                   组合框_设置波特率, 组合框_设置输入口, messages},
                                  writer};
};

} // namespace relay_test
