#pragma once

#include <cstdint>

namespace relay {

// Which channels are switched on and which are enabled: bit n-1 stands for channel n (1..16).
// Only bits 0..15 are ever set. Both start at 0 with the window.
struct ChannelMasks {
    std::uint32_t ChannelStates = 0;
    std::uint32_t ChannelEnables = 0;
};

constexpr int kChannelCount = 16;

} // namespace relay
