#pragma once
// The Windows front: the window built from the definition with Win32 common controls.

#include "ui/front.h"
#include "ui/win32/win32_controls.h"

#include "ui/win32/windows_api.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace ui::win32 {

// The window's class name, and the id of the definition's first control; each next row has
// the next id.
inline constexpr wchar_t kWindowClass[] = L"RelayConsoleWindow";
inline constexpr int kFirstControlId = 1000;

class Win32Front final : public Front, public ControlLookup {
  public:
    Win32Front();
    ~Win32Front() override;
    Win32Front(const Win32Front&) = delete;
    Win32Front& operator=(const Win32Front&) = delete;

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

    HWND window() const { return window_; }
    // The window built for a control of the definition; std::out_of_range for a timer or a name
    // the window does not have.
    HWND control(const std::string& name) const { return windows_.at(name); }
    // Delivers the messages already waiting, as the event loop would.
    void DeliverPending();

  private:
    static LRESULT CALLBACK WindowProc(HWND w, UINT message, WPARAM wp, LPARAM lp);
    LRESULT Handle(HWND w, UINT message, WPARAM wp, LPARAM lp);
    void Dispatch(MSG& msg);
    void ShowPage(int page);

    struct Route {
        Event event;
        std::function<void()> handler;
    };

    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HWND focus_ = nullptr; // the control that had the focus when the window was deactivated
    HFONT font_ = nullptr;
    bool running_ = false;
    std::map<std::string, HWND> windows_;
    std::map<std::string, int> ids_;
    std::map<HWND, Container> pages_; // the controls of both pages
    std::map<int, Route> routes_;     // by control id: the handled event
    std::map<std::string, std::unique_ptr<controls::PushButton>> buttons_;
    std::map<std::string, std::unique_ptr<controls::CheckBox>> check_boxes_;
    std::map<std::string, std::unique_ptr<controls::RadioButton>> radio_buttons_;
    std::map<std::string, std::unique_ptr<controls::ComboBox>> combo_boxes_;
    std::map<std::string, std::unique_ptr<controls::EditBox>> edit_boxes_;
    std::map<std::string, std::unique_ptr<controls::Timer>> timers_;
    std::set<HWND> white_boxes_; // read-only edits painted white
    Win32MessageBox messages_;
};

} // namespace ui::win32
