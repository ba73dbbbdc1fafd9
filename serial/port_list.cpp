#include "serial/port_list.h"

#include "frame/text_number.h"

namespace serial {

bool ListComPorts(std::vector<ComPort>& list, PortMapSource& source) {
    list.clear();
    const auto values = source.ReadValues();
    if (!values) {
        return false;
    }
    for (const auto& value : *values) {
        // A name must fit the buffer with its terminating zero; data may fill it exactly.
        if (value.name.size() >= kMaxValueSize || value.data.size() > kMaxValueSize) {
            break;
        }
        std::string text = value.data.substr(0, value.data.find('\0'));
        for (char& c : text) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        if (text.starts_with("COM")) {
            list.push_back({frame::TextToInt(std::string_view(text).substr(3)), value.device});
        }
    }
    return true;
}

void FillPortList(controls::ComboBox& 组合框_串口, PortMapSource& source) {
    组合框_串口.clear();
    std::vector<ComPort> ports;
    if (!ListComPorts(ports, source)) {
        return;
    }
    for (const auto& port : ports) {
        组合框_串口.addItem("COM" + std::to_string(port.number));
        if (!port.device.empty()) {
            组合框_串口.setItemToolTip(组合框_串口.count() - 1, port.device);
        }
    }
    组合框_串口.setSelectedIndex(-1);
}

} // namespace serial
