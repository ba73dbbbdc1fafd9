#pragma once
// The console without a toolkit: the program-wide state, every handler, which control event
// runs which handler, and the window-created step of start-up.

#include "relay/channel_masks.h"
#include "relay/channel_panel.h"
#include "relay/preview.h"
#include "relay/relay_commands.h"
#include "serial/pcomm.h"
#include "serial/port_connection.h"
#include "serial/port_map_source.h"
#include "switch/switch_commands.h"
#include "ui/control_lookup.h"
#include "ui/window_definition.h"

#include <functional>

namespace ui {

class Console {
  public:
    Console(ControlLookup& controls, controls::MessageBox& messages, serial::Pcomm& pcomm,
            serial::PortMapSource& port_map);

    // Fills every combo box, lists the ports and sets the program-wide state; runs once,
    // after every control exists and before the window is shown.
    void WindowCreated();

    // The handler of the control's handled event; empty for a control that handles none.
    std::function<void()> Handler(const ControlDef& control);

    const relay::ChannelMasks& masks() const { return masks_; }
    const serial::PortState& port() const { return port_; }

  private:
    ControlLookup& controls_;
    serial::PortMapSource& port_map_;
    relay::ChannelMasks masks_;
    serial::PortState port_;
    serial::PortWriter writer_;
    serial::PortConnection connection_;
    relay::RelayPreview preview_;
    relay::ChannelPanel panel_;
    relay::RelayCommands relay_commands_;
    wall_switch::SwitchConfigurator switch_;
};

} // namespace ui
