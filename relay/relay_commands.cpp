#include "relay/relay_commands.h"

#include "frame/hex_text.h"
#include "frame/text_number.h"
#include "relay/relay_frames.h"

#include <array>

namespace relay {

void RelayCommands::SendHexText(const controls::EditBox& box) {
    if (writer_.state().PortOpen == 0) {
        c_.messages.show("Please open the serial port first", serial::kInfoTitle);
        return;
    }
    const std::string text = frame::TrimBlanks(box.text());
    if (text.empty()) {
        c_.messages.show("Please enter the data to be sent", serial::kInfoTitle);
        return;
    }
    const auto bytes =
        frame::ParseHexText(text, [this](const std::string& message, const std::string& title) {
            c_.messages.show(message, title);
        });
    if (bytes.empty()) {
        c_.messages.show("Hexadecimal data format error", serial::kInfoTitle);
        return;
    }
    writer_.Write(bytes);
}

void RelayCommands::SendModuleCommand(frame::Byte code, const controls::ComboBox& payload_box) {
    if (c_.组合框_地址.count() == 0) {
        return;
    }
    const frame::Byte address = frame::TextToByte(controls::SelectedText(c_.组合框_地址));
    const std::array<frame::Byte, 1> payload{
        frame::LowByte(static_cast<std::uint32_t>(payload_box.selectedIndex()))};
    writer_.Write(frame::CommandFrame(address, frame::kRelayHead, code, payload));
}

void RelayCommands::SetBaud() {
    SendModuleCommand(kSetBaud, c_.组合框_设置波特率);
}

void RelayCommands::SetInput() {
    SendModuleCommand(kSetInput, c_.组合框_设置输入口);
}

void RelayCommands::TriggerScene() {
    if (c_.组合框_场景.count() == 0) {
        return;
    }
    writer_.Write(
        BuildTriggerSceneFrame(frame::TextToByte(controls::SelectedText(c_.组合框_场景))));
}

} // namespace relay
