#pragma once
// The window as data: every control with its kind, container, place, caption and the event
// it handles. Both fronts build their window from this one table.

#include <string>
#include <vector>

namespace ui {

enum class Kind {
    GroupBox,
    LogBox,     // the multi-line, editable log
    PreviewBox, // single-line, read-only frame preview
    Label,
    PushButton,
    CheckBox,
    RadioButton, // radio buttons sharing a container form one group
    ComboBox,
    TabControl,
    Timer,
};

enum class Container { Window, Group, Page0, Page1 };

enum class Event { None, Clicked, ListItemSelected, ListWillPopUp, Periodic };

struct ControlDef {
    std::string name; // also the widget's object name
    Kind kind;
    Container container;
    // From the container's corner: the window's client area, the group box's outer corner, or
    // the tab control's outer corner (tab strip included) for both pages.
    int left;
    int top;
    int width;
    int height;
    std::string caption;
    Event event = Event::None;
    bool checked = false; // radio buttons: checked when the window opens
};

struct WindowLayout {
    std::string caption;        // empty
    int outer_width;            // 620
    int outer_height;           // 480
    std::string page_titles[2]; // "relay module", "switch"
    // A combo box with its list open is this tall.
    int combo_open_height;
    std::vector<ControlDef> controls;
};

const WindowLayout& WindowDefinition();

// The control of that name; throws std::out_of_range for a name the window does not have.
const ControlDef& FindControl(const std::string& name);

} // namespace ui
