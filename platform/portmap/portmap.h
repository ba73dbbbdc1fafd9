// The serial port map: which COM<n> names exist on this machine and which device each one opens.
//
// On Windows the console learns its ports from the registry key HARDWARE\DEVICEMAP\SERIALCOMM,
// whose values hold names like "COM3". Here the same list is built from two sources:
//
// 1. Kernel serial devices, found in <sysClassTty>/ (normally /sys/class/tty). An entry counts only
//    when it has a `device` link, i.e. real hardware is behind it. A ttyS<k> entry also needs a
//    UART: its `type` file must exist and hold a non-zero number (0 is PORT_UNKNOWN, which the
//    kernel reports for the placeholder ttyS ports it always creates). Each family has its own
//    block of 32 COM numbers, so a device keeps its number while plugged in, whatever else
//    comes and goes:
//        ttyS<k>   -> COM(1 + k)     k = 0..31
//        ttyUSB<k> -> COM(33 + k)    k = 0..31
//        ttyACM<k> -> COM(65 + k)    k = 0..31
//        ttyAMA<k> -> COM(97 + k)    k = 0..31
//    Any other name, a suffix beyond 31, a suffix with a leading zero or that is not a plain
//    decimal number is skipped. The device path is <dev>/<name>.
//
// 2. Links made by the user or by tests, in <links>/: every symbolic link named com<N> (lower case,
//    N decimal 1..255 without leading zeros) is COM<N>. A link wins over a kernel device with the
//    same number. Dangling links are listed too; opening them then fails like a missing port.
//
// Folders that do not exist or cannot be read simply contribute no entries.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace portmap {

// Where the map is read from. Tests point these at a fake tree.
struct Roots {
    std::string sysClassTty; // normally "/sys/class/tty"
    std::string dev;         // normally "/dev"
    std::string links;       // folder holding the com<N> links
};

// The machine's roots. The links folder is $XDG_RUNTIME_DIR/serialcomm, or /tmp/serialcomm-<uid>
// when XDG_RUNTIME_DIR is unset or empty. Reads the environment on every call.
Roots DefaultRoots();

struct Entry {
    // The path to open for this port: <dev>/<name> for a kernel device, the link's own path for a
    // link (opening it follows the link, so a re-pointed link is picked up on the next open).
    std::string name;
    // The port name as the registry holds it: "COM<n>".
    std::string data;
    // The device behind the port, for display: <dev>/<name> for a kernel device, the link's
    // target (made absolute against the links folder) for a link.
    std::string device;
};

// All ports, sorted by COM number; at most one entry per number.
std::vector<Entry> ReadPortMap(const Roots& roots);

// The path to open for COM<com> (the `name` of its entry), or nullopt when there is no such port
// or com <= 0.
std::optional<std::string> DeviceForCom(int com, const Roots& roots);

} // namespace portmap
