#include "serial/port_map_source.h"

#include "platform/portmap/portmap.h"

namespace serial {

namespace {

// Kernel serial devices and the links folder, read afresh on every call.
class LinuxPortMap final : public PortMapSource {
  public:
    std::optional<std::vector<PortMapValue>> ReadValues() override {
        std::vector<PortMapValue> values;
        for (const auto& entry : portmap::ReadPortMap(portmap::DefaultRoots())) {
            values.push_back({entry.name, entry.data, entry.device});
        }
        return values;
    }
};

} // namespace

PortMapSource& SystemPortMap() {
    static LinuxPortMap map;
    return map;
}

} // namespace serial
