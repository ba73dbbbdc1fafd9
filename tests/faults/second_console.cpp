// A second console in a process of its own, for the tests that need two programs on one port
// or a user other than the test's: the "COM" group over the real serial library and the
// system's port map. It picks the named port from the port list, presses "start" once and
// prints what the user would see, one line each:
//
//     message: <text of each message box>
//     log: <each line of the log>
//
// then closes the port again if it opened. "not listed" when the port list lacks the port.
//
//     second_console <library file> COM<n>

#include "serial/pcomm_binding.h"
#include "serial/port_connection.h"
#include "serial/port_list.h"
#include "tests/fakes/fake_com_group.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: second_console <library file> COM<n>\n");
        return 2;
    }
    fakes::FakeComGroup com;
    serial::PcommBinding pcomm{serial::SystemLibraryLoader(), {argv[1]}, [](const std::string& m) {
                                   std::printf("fatal: %s\n", m.c_str());
                                   std::exit(3);
                               }};
    serial::PortState state;
    serial::PortConnection connection{com.Controls(), pcomm, state};

    serial::FillPortList(com.ports, serial::SystemPortMap());
    if (!com.ports.select(argv[2])) {
        std::printf("not listed\n");
        return 0;
    }
    connection.TogglePort();
    for (const auto& message : com.messages.shown) {
        std::printf("message: %s\n", message.text.c_str());
    }
    std::istringstream lines(com.log.text());
    for (std::string line; std::getline(lines, line, '\n');) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::printf("log: %s\n", line.c_str());
    }
    if (state.PortOpen != 0) {
        connection.TogglePort();
    }
    return 0;
}
