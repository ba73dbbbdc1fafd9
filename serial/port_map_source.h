#pragma once
// The system's serial port map: the registry key HARDWARE\DEVICEMAP\SERIALCOMM on Windows,
// kernel devices plus a links folder on Linux.

#include <optional>
#include <string>
#include <vector>

namespace serial {

struct PortMapValue {
    std::string name;   // the value's name
    std::string data;   // its raw data bytes, normally "COM<n>" and a terminating zero
    std::string device; // the device behind it, shown as a hint; may be empty
};

class PortMapSource {
  public:
    virtual ~PortMapSource() = default;
    // The values in the map's own order, or nothing when the map cannot be opened.
    virtual std::optional<std::vector<PortMapValue>> ReadValues() = 0;
};

// The map of the platform the console runs on.
PortMapSource& SystemPortMap();

} // namespace serial
