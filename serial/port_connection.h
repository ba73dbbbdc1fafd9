#pragma once
// The "COM" group: opening and closing the chosen port, the receive poll and the log.

#include "controls/controls.h"
#include "serial/pcomm.h"

#include <cstdint>
#include <span>

namespace serial {

// The port state every sending handler reads. PortId is the COM number given to every
// library call: -1 when none, or the last number tried when an open failed.
struct PortState {
    int PortOpen = 0;
    int PortId = -1;
};

struct ConnectionControls {
    controls::ComboBox& 组合框_串口;
    controls::ComboBox& 组合框_波特率;
    controls::PushButton& 按钮_开关端口;
    controls::Timer& 时钟_接收数据;
    controls::EditBox& 编辑框_显示;
    controls::MessageBox& messages;
};

inline constexpr const char* kInfoTitle = "信息：";
inline constexpr int kPollPeriodMs = 10;

class PortConnection {
  public:
    PortConnection(ConnectionControls controls, Pcomm& pcomm, PortState& state)
        : c_(controls), pcomm_(pcomm), state_(state) {}

    // Click on 按钮_开关端口: closes the open port, or opens the selected one.
    void TogglePort();
    // Tick of 时钟_接收数据: one read of whatever is waiting, one log line for it.
    void PollReceive();
    // Click on 按钮_清空显示.
    void ClearLog() { c_.编辑框_显示.setText(""); }

  private:
    void Open();
    void Close();

    ConnectionControls c_;
    Pcomm& pcomm_;
    PortState& state_;
};

// The one way the pages put bytes on the line: to PortId, open or not, result unused.
class PortWriter {
  public:
    PortWriter(Pcomm& pcomm, const PortState& state) : pcomm_(pcomm), state_(state) {}
    void Write(std::span<const std::uint8_t> bytes);
    const PortState& state() const { return state_; }

  private:
    Pcomm& pcomm_;
    const PortState& state_;
};

} // namespace serial
