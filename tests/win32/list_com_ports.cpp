// Prints the COM ports of the system's port map as the console lists them, one a line:
// "COM<n> <device>". Exit code 1 when the map cannot be opened.

#include "serial/port_list.h"

#include <cstdio>

int main() {
    std::vector<serial::ComPort> ports;
    if (!serial::ListComPorts(ports, serial::SystemPortMap())) {
        return 1;
    }
    for (const auto& port : ports) {
        std::printf("COM%d %s\n", port.number, port.device.c_str());
    }
    return 0;
}
