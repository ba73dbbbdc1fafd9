#pragma once
// The small, toolkit-neutral view of the window's controls that handlers read and write.
// Each front (Qt, Win32) adapts its widgets to these; tests use in-memory fakes.
// All text is UTF-8.

#include <string>

namespace controls {

class PushButton {
  public:
    virtual ~PushButton() = default;
    // Exactly the caption last written (or the one the window was built with).
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
};

// A check box toggles itself before its click event; writing raises no event.
class CheckBox {
  public:
    virtual ~CheckBox() = default;
    virtual bool checked() const = 0;
    virtual void setChecked(bool checked) = 0;
};

// A radio button checks itself and clears its group before its click event.
class RadioButton {
  public:
    virtual ~RadioButton() = default;
    virtual bool checked() const = 0;
};

// An editable, unsorted drop-down combo box. Writing the selection raises no event.
class ComboBox {
  public:
    virtual ~ComboBox() = default;
    // Removes every item, the selection and the text of the edit field.
    virtual void clear() = 0;
    // Appends an item at the end; selects nothing.
    virtual void addItem(const std::string& text) = 0;
    virtual int count() const = 0;
    // Empty outside the list, -1 included.
    virtual std::string itemText(int index) const = 0;
    // -1 when nothing is selected.
    virtual int selectedIndex() const = 0;
    // An index beyond the last item selects the last item; a negative one selects nothing.
    virtual void setSelectedIndex(int index) = 0;
    // A hint shown when the pointer rests on an item (the device behind a COM port).
    virtual void setItemToolTip(int index, const std::string& text) = 0;
};

// The text of the selected item; empty when nothing is selected.
inline std::string SelectedText(const ComboBox& box) {
    return box.itemText(box.selectedIndex());
}

class EditBox {
  public:
    virtual ~EditBox() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    // Adds text after the last character, whatever the caret or selection, and scrolls to it.
    virtual void append(const std::string& text) = 0;
    // Puts the caret after the last character with nothing selected and scrolls it into view.
    virtual void caretToEnd() = 0;
};

class Timer {
  public:
    virtual ~Timer() = default;
    virtual int period() const = 0;
    // 0 or less stops the timer; the period it already has leaves a running interval alone.
    virtual void setPeriod(int milliseconds) = 0;
};

// A modal box with one OK button, no icon and no owner; returns when the user closes it.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text, const std::string& title) = 0;
};

} // namespace controls
