#pragma once
// The window's "COM" group as in-memory controls, handed to a PortConnection as the window's
// controls are: the port list, the baud rates (9600 selected), the start button, the receive
// timer, the log and the message box.

#include "serial/port_connection.h"
#include "tests/fakes/fake_controls.h"

#include <string>
#include <utility>
#include <vector>

namespace fakes {

struct FakeComGroup {
    explicit FakeComGroup(std::vector<std::string> port_items = {})
        : ports(std::move(port_items)) {}

    serial::ConnectionControls Controls() { return {ports, bauds, toggle, timer, log, messages}; }

    FakeComboBox ports;
    FakeComboBox bauds{{"9600", "19200", "38400", "57600", "115200"}, 0};
    FakePushButton toggle{"start"};
    FakeTimer timer;
    FakeEditBox log;
    FakeMessageBox messages;
};

} // namespace fakes
