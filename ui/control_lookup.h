#pragma once
// How the toolkit-free console finds the front's controls: by their names in the window
// definition. A front throws std::out_of_range for a name or kind it did not build.

#include "controls/controls.h"

#include <string>

namespace ui {

class ControlLookup {
  public:
    virtual ~ControlLookup() = default;
    virtual controls::PushButton& PushButton(const std::string& name) = 0;
    virtual controls::CheckBox& CheckBox(const std::string& name) = 0;
    virtual controls::RadioButton& RadioButton(const std::string& name) = 0;
    virtual controls::ComboBox& ComboBox(const std::string& name) = 0;
    virtual controls::EditBox& EditBox(const std::string& name) = 0;
    virtual controls::Timer& Timer(const std::string& name) = 0;
};

} // namespace ui
