#pragma once
// What a toolkit front provides to start the console: it builds the window from the
// definition, hands out its controls, connects events and runs the event loop.

#include "controls/controls.h"
#include "ui/control_lookup.h"
#include "ui/window_definition.h"

#include "serial/pcomm.h"
#include "serial/port_map_source.h"

#include <functional>
#include <memory>

namespace ui {

class Front {
  public:
    virtual ~Front() = default;
    // Creates the window and every control, page 0 current, placed centred on the screen.
    virtual void BuildWindow(const WindowLayout& definition) = 0;
    virtual ControlLookup& Controls() = 0;
    virtual controls::MessageBox& Messages() = 0;
    // Runs `handler` on the control's handled event.
    virtual void Connect(const ControlDef& control, std::function<void()> handler) = 0;
    virtual void Show() = 0;
    // Delivers events until the window is closed; the program's exit code.
    virtual int Run() = 0;
};

class Console;

// Builds the window from its definition, wires every handled event to a new console and runs
// its window-created step; the window is not shown yet.
std::unique_ptr<Console> StartConsole(Front& front, serial::Pcomm& pcomm,
                                      serial::PortMapSource& port_map);

// Start-up in its order: the program's folder as current directory, the window built, wired
// and filled, then shown; returns when the window is closed.
int RunConsole(Front& front);

} // namespace ui
