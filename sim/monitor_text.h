#pragma once
// Pieces of the monitor's lines: channel lists, rates and modes by name, bytes as hex.

#include "frame/frame.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace sim {

// The channels whose bits are set, ascending, runs of three or more as a range:
// 0x0005 -> "1 3", 0x800F -> "1-4 16", 0 -> "none".
std::string ChannelList(std::uint16_t mask);

// "on 5 16, enabled 1"
std::string ChannelSummary(std::uint16_t states, std::uint16_t enables);

// Baud index 0..4 -> "9600" .. "115200".
std::optional<std::string> BaudName(std::uint8_t index);

// Input index 0..2 -> "reset switch", "rocker switch", "report data".
std::optional<std::string> InputName(std::uint8_t index);

// "01 10 00 1F", cut after the first 24 bytes with the total count appended.
std::string BytesText(std::span<const std::uint8_t> bytes);

} // namespace sim
