#include "serial/port_connection.h"

#include "frame/hex_text.h"
#include "frame/text_number.h"
#include "serial/baud_code.h"

#include <algorithm>
#include <string>
#include <vector>

namespace serial {

namespace {

constexpr const char* kLineEnd = "\r\n";

} // namespace

void PortConnection::TogglePort() {
    if (state_.PortOpen != 0) {
        Close();
    } else {
        Open();
    }
}

void PortConnection::Close() {
    pcomm_.sio_close(state_.PortId);
    state_.PortOpen = 0;
    c_.按钮_开关端口.setCaption("start");
    c_.编辑框_显示.append(std::string("port close") + kLineEnd);
    state_.PortId = -1;
}

void PortConnection::Open() {
    if (c_.组合框_串口.count() == 0) {
        c_.messages.show("No available serial port", kInfoTitle);
        return;
    }
    const std::string port_text = controls::SelectedText(c_.组合框_串口);
    const int baud = frame::TextToInt(controls::SelectedText(c_.组合框_波特率));
    const int port =
        port_text.size() > 3 ? frame::TextToInt(std::string_view(port_text).substr(3)) : 0;
    state_.PortId = port;
    const int result = pcomm_.sio_open(state_.PortId);
    if (result != 0) {
        c_.messages.show("Failed to open serial port" + std::to_string(result), kInfoTitle);
        return;
    }
    pcomm_.sio_ioctl(state_.PortId, BaudCode(baud), kLineMode8N1);
    pcomm_.sio_SetReadTimeouts(state_.PortId, 1000, 0);
    state_.PortOpen = 1;
    c_.按钮_开关端口.setCaption("close");
    c_.编辑框_显示.append("port opened: " + port_text + " " + std::to_string(baud) + kLineEnd);
    c_.时钟_接收数据.setPeriod(kPollPeriodMs);
}

void PortConnection::PollReceive() {
    if (state_.PortOpen == 0) {
        return;
    }
    const int waiting = pcomm_.sio_iqueue(state_.PortId);
    if (waiting <= 0) {
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(waiting), 0);
    const int got = pcomm_.sio_read(state_.PortId, buffer.data(), waiting);
    if (got <= 0) {
        return;
    }
    // A library that claims more than it was asked for cannot make us read past the buffer.
    const auto count = std::min(static_cast<std::size_t>(got), buffer.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
    c_.编辑框_显示.append(frame::ToHexText({bytes, count}) + kLineEnd);
    c_.编辑框_显示.caretToEnd();
}

void PortWriter::Write(std::span<const std::uint8_t> bytes) {
    std::vector<char> buffer(bytes.begin(), bytes.end());
    pcomm_.sio_write(state_.PortId, buffer.data(), static_cast<int>(buffer.size()));
}

} // namespace serial
