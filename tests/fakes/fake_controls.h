#pragma once
// In-memory controls for the handler tests: they behave as the window's controls do and
// record what the handlers did to them. A test plays the user: it changes a control the way a
// click does (click() on a check box or radio button, select() on a combo box) and then calls
// the handler itself.

#include "controls/controls.h"

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

class FakePushButton : public controls::PushButton {
  public:
    explicit FakePushButton(std::string caption = "") : caption_(std::move(caption)) {}

    std::string caption() const override { return caption_; }
    void setCaption(const std::string& caption) override {
        caption_ = caption;
        captions_written.push_back(caption);
        if (on_set_caption) {
            on_set_caption(caption);
        }
    }

    std::vector<std::string> captions_written;
    // Runs inside setCaption, after the caption has changed: lets a test look at other
    // controls at that very moment.
    std::function<void(const std::string&)> on_set_caption;

  private:
    std::string caption_;
};

class FakeCheckBox : public controls::CheckBox {
  public:
    bool checked() const override { return checked_; }
    void setChecked(bool checked) override {
        checked_ = checked;
        ++set_checked_calls;
    }
    // What the user's click does before the clicked event: the box toggles itself.
    void click() { checked_ = !checked_; }

    int set_checked_calls = 0;

  private:
    bool checked_ = false;
};

class FakeRadioButton;

// Radio buttons in one group: checking one clears the others.
class RadioGroup {
  public:
    void Add(FakeRadioButton* button) { members_.push_back(button); }
    const std::vector<FakeRadioButton*>& members() const { return members_; }

  private:
    std::vector<FakeRadioButton*> members_;
};

class FakeRadioButton : public controls::RadioButton {
  public:
    // Without a group the button is a group of its own.
    explicit FakeRadioButton(RadioGroup* group = nullptr, bool checked = false)
        : group_(group), checked_(checked) {
        if (group_ != nullptr) {
            group_->Add(this);
        }
    }
    FakeRadioButton(const FakeRadioButton&) = delete;
    FakeRadioButton& operator=(const FakeRadioButton&) = delete;

    bool checked() const override { return checked_; }

    // What the user's click does before the clicked event: checks this button and clears
    // the rest of its group. Clicking a checked button changes nothing.
    void click() {
        if (group_ != nullptr) {
            for (FakeRadioButton* other : group_->members()) {
                other->checked_ = false;
            }
        }
        checked_ = true;
    }
    // Test set-up only: the state without the group rule.
    void force(bool checked) { checked_ = checked; }

  private:
    RadioGroup* group_;
    bool checked_;
};

// The items of the window's number lists: `first` (when not empty), then "1" .. `last`.
inline std::vector<std::string> NumberedItems(const std::string& first, int last) {
    std::vector<std::string> out;
    if (!first.empty()) {
        out.push_back(first);
    }
    for (int i = 1; i <= last; ++i) {
        out.push_back(std::to_string(i));
    }
    return out;
}

class FakeComboBox : public controls::ComboBox {
  public:
    FakeComboBox() = default;
    explicit FakeComboBox(std::vector<std::string> items, int selected = -1)
        : items_(std::move(items)) {
        setSelectedIndex(selected);
    }

    void clear() override {
        items_.clear();
        tooltips_.clear();
        selected_ = -1;
        ++clear_calls;
    }
    void addItem(const std::string& text) override { items_.push_back(text); }
    int count() const override { return static_cast<int>(items_.size()); }
    std::string itemText(int index) const override {
        if (index < 0 || index >= count()) {
            return "";
        }
        return items_[static_cast<std::size_t>(index)];
    }
    int selectedIndex() const override { return selected_; }
    void setSelectedIndex(int index) override {
        selected_ = index < 0 ? -1 : std::min(index, count() - 1);
    }
    void setItemToolTip(int index, const std::string& text) override { tooltips_[index] = text; }

    // The user picks the item showing `text`; false when there is none.
    bool select(const std::string& text) {
        const auto it = std::find(items_.begin(), items_.end(), text);
        if (it == items_.end()) {
            return false;
        }
        selected_ = static_cast<int>(it - items_.begin());
        return true;
    }

    const std::vector<std::string>& items() const { return items_; }
    // Empty when the item has none.
    std::string toolTip(int index) const {
        const auto it = tooltips_.find(index);
        return it == tooltips_.end() ? "" : it->second;
    }

    int clear_calls = 0;

  private:
    std::vector<std::string> items_;
    std::map<int, std::string> tooltips_;
    int selected_ = -1;
};

class FakeEditBox : public controls::EditBox {
  public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override {
        text_ = text;
        ++set_text_calls;
    }
    void append(const std::string& text) override {
        text_ += text;
        appended.push_back(text);
    }
    void caretToEnd() override {
        ++caret_to_end_calls;
        caret_at = text_.size();
    }

    int set_text_calls = 0;
    // Every appended piece, exactly as given.
    std::vector<std::string> appended;
    int caret_to_end_calls = 0;
    // The text length when the caret was last put at the end.
    std::size_t caret_at = 0;

  private:
    std::string text_;
};

class FakeTimer : public controls::Timer {
  public:
    int period() const override { return period_; }
    void setPeriod(int milliseconds) override {
        periods_written.push_back(milliseconds);
        const int next = milliseconds > 0 ? milliseconds : 0;
        if (next > 0 && next != period_) {
            ++starts;
        }
        period_ = next;
    }

    std::vector<int> periods_written;
    // How many writes started the timer or changed its running interval.
    int starts = 0;

  private:
    int period_ = 0;
};

struct Message {
    std::string text;
    std::string title;
    bool operator==(const Message&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << "(\"" << m.text << "\", \"" << m.title << "\")";
}

class FakeMessageBox : public controls::MessageBox {
  public:
    void show(const std::string& text, const std::string& title) override {
        shown.push_back({text, title});
    }
    std::vector<Message> shown;
};

} // namespace fakes
