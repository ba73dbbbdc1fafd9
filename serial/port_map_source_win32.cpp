#include "serial/port_map_source.h"

#include "serial/port_list.h"

#include <windows.h>

namespace serial {

namespace {

// The registry's serial port map, read afresh on every call.
class RegistryPortMap final : public PortMapSource {
  public:
    std::optional<std::vector<PortMapValue>> ReadValues() override {
        HKEY key = nullptr;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", &key) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::vector<PortMapValue> values;
        for (DWORD index = 0;; ++index) {
            // New, zero-filled buffers and full sizes for every value.
            char name[kMaxValueSize] = {};
            BYTE data[kMaxValueSize] = {};
            DWORD name_size = kMaxValueSize;
            DWORD data_size = kMaxValueSize;
            DWORD type = 0;
            // The last value, and a value whose name or data does not fit, end the listing.
            if (RegEnumValueA(key, index, name, &name_size, nullptr, &type, data, &data_size) !=
                ERROR_SUCCESS) {
                break;
            }
            // The value's name (\Device\Serial0) is the device behind the port.
            const std::string value_name(name, name_size);
            values.push_back({value_name,
                              std::string(reinterpret_cast<const char*>(data), data_size),
                              value_name});
        }
        RegCloseKey(key);
        return values;
    }
};

} // namespace

PortMapSource& SystemPortMap() {
    static RegistryPortMap map;
    return map;
}

} // namespace serial
