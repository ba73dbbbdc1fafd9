#pragma once
// The Linux front: the window built from the definition with Qt Widgets.

#include "ui/front.h"
#include "ui/qt/qt_controls.h"

#include <QButtonGroup>
#include <QTabWidget>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

namespace ui::qt {

class QtFront final : public Front, public ControlLookup {
  public:
    QtFront();
    ~QtFront() override;

    void BuildWindow(const WindowLayout& definition) override;
    ControlLookup& Controls() override { return *this; }
    controls::MessageBox& Messages() override { return messages_; }
    void Connect(const ControlDef& control, std::function<void()> handler) override;
    void Show() override;
    int Run() override;

    controls::PushButton& PushButton(const std::string& name) override;
    controls::CheckBox& CheckBox(const std::string& name) override;
    controls::RadioButton& RadioButton(const std::string& name) override;
    controls::ComboBox& ComboBox(const std::string& name) override;
    controls::EditBox& EditBox(const std::string& name) override;
    controls::Timer& Timer(const std::string& name) override;

    QWidget* window() const { return window_.get(); }

  private:
    QWidget* Parent(Container container) const;
    void ShowPage(int page);

    std::unique_ptr<QWidget> window_;
    QWidget* group_box_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::map<std::string, QObject*> objects_;
    std::map<std::string, Container> containers_;
    std::map<Container, QButtonGroup*> radio_groups_;
    std::map<std::string, std::unique_ptr<controls::PushButton>> buttons_;
    std::map<std::string, std::unique_ptr<controls::CheckBox>> check_boxes_;
    std::map<std::string, std::unique_ptr<controls::RadioButton>> radio_buttons_;
    std::map<std::string, std::unique_ptr<controls::ComboBox>> combo_boxes_;
    std::map<std::string, std::unique_ptr<controls::EditBox>> edit_boxes_;
    std::map<std::string, std::unique_ptr<controls::Timer>> timers_;
    QtMessageBox messages_;
    QSize outer_size_;
};

} // namespace ui::qt
