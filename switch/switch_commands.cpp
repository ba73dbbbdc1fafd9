#include "switch/switch_commands.h"

#include "frame/text_number.h"

#include <vector>

namespace wall_switch {

namespace {

frame::Byte IndexByte(const controls::ComboBox& box) {
    return frame::LowByte(static_cast<std::uint32_t>(box.selectedIndex()));
}

} // namespace

template <typename PayloadFn>
void SwitchConfigurator::Send(frame::Byte code, bool to_broadcast, PayloadFn payload) {
    if (c_.组合框_开关地址.count() == 0) {
        return;
    }
    const frame::Byte address = frame::TextToByte(controls::SelectedText(c_.组合框_开关地址));
    const std::vector<frame::Byte> bytes = payload(address);
    writer_.Write(
        frame::CommandFrame(to_broadcast ? 0x00 : address, frame::kSwitchHead, code, bytes));
}

void SwitchConfigurator::SendByte(frame::Byte code, frame::Byte value) {
    Send(code, false, [value](frame::Byte) { return std::vector<frame::Byte>{value}; });
}

void SwitchConfigurator::EnterSettings() {
    SendByte(kSetupMode, 0x01);
}
void SwitchConfigurator::ReadSettings() {
    SendByte(kReadSettings, 0x01);
}
void SwitchConfigurator::ClearSettings() {
    SendByte(kClearSettings, 0x00);
}
void SwitchConfigurator::ExitSetup() {
    SendByte(kSetupMode, 0x00);
}

void SwitchConfigurator::SetId() {
    Send(kSetId, true, [](frame::Byte address) { return std::vector<frame::Byte>{address}; });
}

void SwitchConfigurator::SetBaud() {
    Send(kSetBaud, false,
         [this](frame::Byte) { return std::vector<frame::Byte>{IndexByte(c_.组合框_开关波特率)}; });
}

void SwitchConfigurator::WriteSettings() {
    Send(kWriteSettings, false, [this](frame::Byte) {
        std::vector<frame::Byte> key_map;
        for (int k = 0; k < kKeyCount; ++k) {
            key_map.push_back(IndexByte(*c_.模块地址[static_cast<std::size_t>(k)]));
            key_map.push_back(IndexByte(*c_.模块通道[static_cast<std::size_t>(k)]));
        }
        return key_map;
    });
}

} // namespace wall_switch
