// Looks into a running console's window from outside, for the end-to-end run under Wine:
//   window-probe centre <control>      screen point of the control's centre: "x y"
//   window-probe arrow <combo box>     screen point of the box's drop-down arrow
//   window-probe item <combo box> <n>  screen point of row n of the box's open list
//   window-probe text <control>        the control's text, UTF-8
//   window-probe frame                 the window's outer rectangle: "x y width height"
//   window-probe client                the window's client area on the screen, the same way
// Exit code 1 while the window is not there.

#include "ui/win32/win32_front.h"
#include "ui/win32/win32_text.h"
#include "ui/window_definition.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND ControlWindow(HWND window, const std::string& name) {
    const auto& controls = ui::WindowDefinition().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].name == name) {
            return GetDlgItem(window, ui::win32::kFirstControlId + static_cast<int>(i));
        }
    }
    return nullptr;
}

int Point(int x, int y) {
    std::printf("%d %d\n", x, y);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    const HWND window = FindWindowW(ui::win32::kWindowClass, nullptr);
    if (window == nullptr || !IsWindowVisible(window)) {
        return 1;
    }
    const std::string command = argc > 1 ? ui::win32::Utf8(argv[1]) : "frame";
    if (command == "frame") {
        RECT r{};
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (command == "client") {
        RECT r{};
        GetClientRect(window, &r);
        POINT corner{0, 0};
        ClientToScreen(window, &corner);
        std::printf("%ld %ld %ld %ld\n", corner.x, corner.y, r.right, r.bottom);
        return 0;
    }
    const HWND control = argc > 2 ? ControlWindow(window, ui::win32::Utf8(argv[2])) : nullptr;
    if (control == nullptr) {
        std::fprintf(stderr, "no such control\n");
        return 2;
    }
    RECT r{};
    GetWindowRect(control, &r);
    if (command == "centre") {
        return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // A drop-down combo box's window is the closed box, its arrow at the right end; the list
    // opens right below it.
    if (command == "arrow") {
        return Point(r.right - 8, (r.top + r.bottom) / 2);
    }
    if (command == "item" && argc > 3) {
        const int row = std::atoi(ui::win32::Utf8(argv[3]).c_str());
        const int height = static_cast<int>(SendMessageW(control, CB_GETITEMHEIGHT, 0, 0));
        return Point((r.left + r.right) / 2, r.bottom + 1 + row * height + height / 2);
    }
    if (command == "text") {
        // GetWindowText would not ask a window of another process for its text.
        std::wstring text(
            static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        std::printf("%s\n", ui::win32::Utf8(text).c_str());
        return 0;
    }
    return 2;
}
