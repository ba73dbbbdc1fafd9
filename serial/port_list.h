#pragma once
// The COM ports of the port map, and the port combo box built from them.

#include "controls/controls.h"
#include "serial/port_map_source.h"

#include <string>
#include <vector>

namespace serial {

struct ComPort {
    int number;         // COM number, as read from the value's data
    std::string device; // the device behind it, for the item's hint
};

// The longest value name and data the map is read with; a longer value ends the listing.
inline constexpr std::size_t kMaxValueSize = 512;

// Empties `list`, then fills it from the map in the map's order: every value whose data,
// read up to its first zero byte and upper-cased, starts with "COM" gives the number after
// it. False when the map could not be opened.
bool ListComPorts(std::vector<ComPort>& list, PortMapSource& source);

// Rebuilds the items of the port combo box ("COM" + number, in list order) with nothing
// selected.
void FillPortList(controls::ComboBox& 组合框_串口, PortMapSource& source);

} // namespace serial
