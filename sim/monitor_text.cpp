#include "sim/monitor_text.h"

#include "frame/hex_text.h"

#include <array>

namespace sim {
namespace {

constexpr int kChannels = 16;
constexpr std::size_t kShownBytes = 24;

bool On(std::uint16_t mask, int channel) {
    return (mask & frame::BitValue(channel - 1)) != 0;
}

} // namespace

std::string ChannelList(std::uint16_t mask) {
    std::string text;
    for (int channel = 1; channel <= kChannels; ++channel) {
        if (!On(mask, channel)) {
            continue;
        }
        int last = channel;
        while (last < kChannels && On(mask, last + 1)) {
            ++last;
        }
        if (!text.empty()) {
            text += ' ';
        }
        if (last - channel >= 2) {
            text += std::to_string(channel) + "-" + std::to_string(last);
            channel = last;
        } else {
            text += std::to_string(channel);
        }
    }
    return text.empty() ? "none" : text;
}

std::string ChannelSummary(std::uint16_t states, std::uint16_t enables) {
    return "on " + ChannelList(states) + ", enabled " + ChannelList(enables);
}

std::optional<std::string> BaudName(std::uint8_t index) {
    static constexpr std::array<const char*, 5> kNames{"9600", "19200", "38400", "57600", "115200"};
    if (index >= kNames.size()) {
        return std::nullopt;
    }
    return kNames[index];
}

std::optional<std::string> InputName(std::uint8_t index) {
    static constexpr std::array<const char*, 3> kNames{"reset switch", "rocker switch",
                                                       "report data"};
    if (index >= kNames.size()) {
        return std::nullopt;
    }
    return kNames[index];
}

std::string BytesText(std::span<const std::uint8_t> bytes) {
    const bool cut = bytes.size() > kShownBytes;
    std::string text = frame::ToHexText(cut ? bytes.first(kShownBytes) : bytes);
    if (!text.empty()) {
        text.pop_back(); // the space after the last byte
    }
    if (cut) {
        text += " ... (" + std::to_string(bytes.size()) + " bytes)";
    }
    return text;
}

} // namespace sim
