#include "relay/channel_panel.h"

#include "frame/frame.h"

namespace relay {

namespace {

constexpr std::uint32_t kAllChannels = 0xFFFF;

std::size_t Index(int channel) {
    return static_cast<std::size_t>(channel - 1);
}

} // namespace

std::string OnCaption(int channel) {
    return "Channel " + std::to_string(channel) + " (on)";
}
std::string OffCaption(int channel) {
    return "Channel " + std::to_string(channel) + " (off)";
}

void ChannelPanel::OnChannelClicked(int channel) {
    controls::PushButton& button = *c_.通道[Index(channel)];
    const std::uint32_t bit = frame::BitValue(channel - 1);
    if (button.caption() == OnCaption(channel)) {
        masks_.ChannelStates &= frame::Complement16(bit);
        button.setCaption(OffCaption(channel));
    } else {
        masks_.ChannelStates |= bit;
        button.setCaption(OnCaption(channel));
    }
    preview_.RefreshPreview();
}

void ChannelPanel::OnEnableClicked(int channel) {
    const std::uint32_t bit = frame::BitValue(channel - 1);
    if (c_.使能[Index(channel)]->checked()) {
        masks_.ChannelEnables |= bit;
    } else {
        masks_.ChannelEnables &= frame::Complement16(bit);
    }
    preview_.RefreshPreview();
}

void ChannelPanel::SetAllStates(bool on) {
    masks_.ChannelStates = on ? kAllChannels : 0;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        c_.通道[Index(channel)]->setCaption(on ? OnCaption(channel) : OffCaption(channel));
    }
    preview_.RefreshPreview();
}

void ChannelPanel::SetAllEnables(bool enabled) {
    masks_.ChannelEnables = enabled ? kAllChannels : 0;
    for (auto* box : c_.使能) {
        box->setChecked(enabled);
    }
    preview_.RefreshPreview();
}

void ChannelPanel::AllOn() {
    SetAllStates(true);
}
void ChannelPanel::AllOff() {
    SetAllStates(false);
}
void ChannelPanel::AllEnabled() {
    SetAllEnables(true);
}
void ChannelPanel::AllDisabled() {
    SetAllEnables(false);
}

} // namespace relay
