#pragma once
// A port map holding whatever values the test gives it, or one that cannot be opened.

#include "serial/port_map_source.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

class FakePortMap : public serial::PortMapSource {
  public:
    FakePortMap() = default;
    explicit FakePortMap(std::vector<serial::PortMapValue> initial) : values(std::move(initial)) {}

    std::optional<std::vector<serial::PortMapValue>> ReadValues() override {
        ++reads;
        return values;
    }

    // A map with one value per data text, as the system writes them: zero-terminated.
    static FakePortMap WithPorts(const std::vector<std::string>& data) {
        std::vector<serial::PortMapValue> values;
        int k = 0;
        for (const auto& d : data) {
            values.push_back({"\\Device\\Serial" + std::to_string(k), d + std::string(1, '\0'),
                              "/dev/ttyS" + std::to_string(k)});
            ++k;
        }
        return FakePortMap(std::move(values));
    }

    // nullopt: the map cannot be opened.
    std::optional<std::vector<serial::PortMapValue>> values = std::vector<serial::PortMapValue>{};
    int reads = 0;
};

} // namespace fakes
