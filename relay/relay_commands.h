#pragma once
// Everything on the relay module page that puts bytes on the line: the two preview send
// buttons and the set baud, set input and trigger scene commands.

#include "controls/controls.h"
#include "frame/frame.h"
#include "serial/port_connection.h"

namespace relay {

struct RelayCommandControls {
    controls::EditBox& 编辑框_控制;
    controls::EditBox& 编辑框_场景;
    controls::ComboBox& 组合框_地址;
    controls::ComboBox& 组合框_场景;
    controls::ComboBox& 组合框_设置波特率;
    controls::ComboBox& 组合框_设置输入口;
    controls::MessageBox& messages;
};

class RelayCommands {
  public:
    RelayCommands(RelayCommandControls controls, serial::PortWriter& writer)
        : c_(controls), writer_(writer) {}

    // Sends exactly the bytes a preview box's hex text stands for, once a port is open.
    void SendHexText(const controls::EditBox& box);
    void SendControlFrame() { SendHexText(c_.编辑框_控制); } // 按钮_控制
    void SendSceneFrame() { SendHexText(c_.编辑框_场景); }   // 按钮_场景

    // These never test the port and never show a message.
    void SetBaud();      // 按钮_设置波特率
    void SetInput();     // 按钮_设置输入口
    void TriggerScene(); // 触发场景

  private:
    void SendModuleCommand(frame::Byte code, const controls::ComboBox& payload_box);

    RelayCommandControls c_;
    serial::PortWriter& writer_;
};

} // namespace relay
