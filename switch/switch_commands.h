#pragma once
// The "switch" page: seven buttons, each sending one frame with the head FE EF to the switch
// selected in 组合框_开关地址. No button tests the port or shows a message.

#include "controls/controls.h"
#include "frame/frame.h"
#include "serial/port_connection.h"

#include <array>

namespace wall_switch {

constexpr int kKeyCount = 8;

struct SwitchControls {
    controls::ComboBox& 组合框_开关地址;
    controls::ComboBox& 组合框_开关波特率;
    std::array<controls::ComboBox*, kKeyCount> 模块地址; // 模块地址1 .. 模块地址8
    std::array<controls::ComboBox*, kKeyCount> 模块通道; // 模块通道1 .. 模块通道8
};

// Switch command codes under the head FE EF.
enum SwitchCommand : frame::Byte {
    kSetId = 0x01,
    kWriteSettings = 0x02,
    kSetBaud = 0x03,
    kClearSettings = 0x04,
    kReadSettings = 0x05,
    kSetupMode = 0x06, // payload 1 enters setup mode, 0 leaves it
};

class SwitchConfigurator {
  public:
    SwitchConfigurator(SwitchControls controls, serial::PortWriter& writer)
        : c_(controls), writer_(writer) {}

    void EnterSettings(); // 进入设置
    void ReadSettings();  // 读取设置
    void ClearSettings(); // 清空设置
    void SetId();         // 设置开关地址: to address 0, carrying the selected address
    void SetBaud();       // 设置开关波特率
    void WriteSettings(); // 写入设置: the key map of the eight rows in one frame
    void ExitSetup();     // 退出设置

  private:
    // Sends the command to the selected switch; `payload` computes the bytes once the
    // address is known to exist.
    template <typename PayloadFn> void Send(frame::Byte code, bool to_broadcast, PayloadFn payload);
    void SendByte(frame::Byte code, frame::Byte value);

    SwitchControls c_;
    serial::PortWriter& writer_;
};

} // namespace wall_switch
