#pragma once
// The sixteen channel buttons, sixteen enable boxes and four bulk buttons. Each changes its
// mask bit and its control together, then refreshes the preview once; none sends anything.

#include "controls/controls.h"
#include "relay/channel_masks.h"
#include "relay/preview.h"

#include <array>
#include <string>

namespace relay {

struct ChannelPanelControls {
    std::array<controls::PushButton*, kChannelCount> 通道; // 通道1 .. 通道16
    std::array<controls::CheckBox*, kChannelCount> 使能;   // 使能1 .. 使能16
};

// "Channel 5 (on)" / "Channel 5 (off)": channel numbers from 1.
std::string OnCaption(int channel);
std::string OffCaption(int channel);

class ChannelPanel {
  public:
    ChannelPanel(ChannelPanelControls controls, ChannelMasks& masks, RelayPreview& preview)
        : c_(controls), masks_(masks), preview_(preview) {}

    // The button's caption decides the direction: its on caption switches the channel off,
    // any other caption switches it on.
    void OnChannelClicked(int channel);
    // The box has already toggled itself; its check mark is the new enable bit.
    void OnEnableClicked(int channel);

    void AllOn();       // 全开
    void AllOff();      // 全关
    void AllEnabled();  // 全能
    void AllDisabled(); // 全禁

  private:
    void SetAllStates(bool on);
    void SetAllEnables(bool enabled);

    ChannelPanelControls c_;
    ChannelMasks& masks_;
    RelayPreview& preview_;
};

} // namespace relay
