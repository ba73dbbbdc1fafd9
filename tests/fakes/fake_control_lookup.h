#pragma once
// The whole window in memory: one fake control per control of the window definition, with
// its caption and start-up check mark, radio buttons grouped by container. Hands the fakes
// out by name to ui::Console and to the test.

#include "tests/fakes/fake_controls.h"
#include "ui/control_lookup.h"
#include "ui/window_definition.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace fakes {

class FakeControlLookup : public ui::ControlLookup {
  public:
    FakeControlLookup() {
        for (const auto& def : ui::WindowDefinition().controls) {
            switch (def.kind) {
            case ui::Kind::PushButton:
                buttons_[def.name] = std::make_unique<FakePushButton>(def.caption);
                break;
            case ui::Kind::CheckBox:
                checks_[def.name] = std::make_unique<FakeCheckBox>();
                break;
            case ui::Kind::RadioButton:
                radios_[def.name] =
                    std::make_unique<FakeRadioButton>(&groups_[def.container], def.checked);
                break;
            case ui::Kind::ComboBox:
                combos_[def.name] = std::make_unique<FakeComboBox>();
                break;
            case ui::Kind::LogBox:
            case ui::Kind::PreviewBox:
                edits_[def.name] = std::make_unique<FakeEditBox>();
                break;
            case ui::Kind::Timer:
                timers_[def.name] = std::make_unique<FakeTimer>();
                break;
            case ui::Kind::GroupBox:
            case ui::Kind::Label:
            case ui::Kind::TabControl:
                break;
            }
        }
    }

    controls::PushButton& PushButton(const std::string& name) override { return button(name); }
    controls::CheckBox& CheckBox(const std::string& name) override { return check(name); }
    controls::RadioButton& RadioButton(const std::string& name) override { return radio(name); }
    controls::ComboBox& ComboBox(const std::string& name) override { return combo(name); }
    controls::EditBox& EditBox(const std::string& name) override { return edit(name); }
    controls::Timer& Timer(const std::string& name) override { return timer(name); }

    FakePushButton& button(const std::string& name) { return Get(buttons_, name); }
    FakeCheckBox& check(const std::string& name) { return Get(checks_, name); }
    FakeRadioButton& radio(const std::string& name) { return Get(radios_, name); }
    FakeComboBox& combo(const std::string& name) { return Get(combos_, name); }
    FakeEditBox& edit(const std::string& name) { return Get(edits_, name); }
    FakeTimer& timer(const std::string& name) { return Get(timers_, name); }

    const std::map<std::string, std::unique_ptr<FakeComboBox>>& combos() const { return combos_; }
    const std::map<std::string, std::unique_ptr<FakePushButton>>& buttons() const {
        return buttons_;
    }
    const std::map<std::string, std::unique_ptr<FakeEditBox>>& edits() const { return edits_; }
    const std::map<std::string, std::unique_ptr<FakeCheckBox>>& checks() const { return checks_; }
    const std::map<std::string, std::unique_ptr<FakeRadioButton>>& radios() const {
        return radios_;
    }

  private:
    template <typename T>
    static T& Get(std::map<std::string, std::unique_ptr<T>>& controls, const std::string& name) {
        const auto it = controls.find(name);
        if (it == controls.end()) {
            throw std::out_of_range("no such control: " + name);
        }
        return *it->second;
    }

    std::map<ui::Container, RadioGroup> groups_;
    std::map<std::string, std::unique_ptr<FakePushButton>> buttons_;
    std::map<std::string, std::unique_ptr<FakeCheckBox>> checks_;
    std::map<std::string, std::unique_ptr<FakeRadioButton>> radios_;
    std::map<std::string, std::unique_ptr<FakeComboBox>> combos_;
    std::map<std::string, std::unique_ptr<FakeEditBox>> edits_;
    std::map<std::string, std::unique_ptr<FakeTimer>> timers_;
};

} // namespace fakes
