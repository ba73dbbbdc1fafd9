#pragma once
// The console's real Win32 window, built and filled as the program builds it, with a recording
// serial library and a fixed port map behind it; plus the user's hands: real mouse clicks and
// key presses through SendInput, and picks from a combo box's list.

#include "tests/fakes/fake_pcomm.h"
#include "tests/fakes/fake_port_map.h"
#include "ui/console.h"
#include "ui/front.h"
#include "ui/win32/win32_controls.h"
#include "ui/win32/win32_front.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/windows_api.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace win32_test {

// Generous bound for anything the message loop should do at once; only guards against a hang.
inline constexpr DWORD kWatchdogMs = 10000;

inline std::string ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return ui::win32::Utf8(name);
}

inline LONG_PTR StyleOf(HWND w) {
    return GetWindowLongPtrW(w, GWL_STYLE);
}

class ConsoleWindow : public ::testing::Test {
  protected:
    fakes::FakePcomm pcomm;
    fakes::FakePortMap port_map =
        fakes::FakePortMap({{"\\Device\\Serial0", std::string("COM3") + '\0', "\\Device\\Serial0"},
                            {"\\Device\\VSerial7", std::string("COM7") + '\0', "/dev/pts/4"}});
    ui::win32::Win32Front front;
    std::unique_ptr<ui::Console> console;

    void SetUp() override {
        console = ui::StartConsole(front, pcomm, port_map);
        front.Show();
        SetForegroundWindow(window());
        Settle();
    }

    HWND window() const { return front.window(); }
    HWND Find(const std::string& name) const { return front.control(name); }

    // Delivers what is waiting, input included, until the queue stays empty.
    void Settle() {
        for (int round = 0; round < 3; ++round) {
            front.DeliverPending();
            Sleep(1);
        }
        front.DeliverPending();
    }

    // Waits (delivering messages) until `done` holds; false when the watchdog ran out.
    template <typename Done> bool WaitFor(Done done) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > kWatchdogMs) {
                return false;
            }
            front.DeliverPending();
            Sleep(1);
        }
        return true;
    }

    std::string Text(const std::string& name) const { return ui::win32::WindowText(Find(name)); }
    std::string Caption(const std::string& name) const { return Text(name); }
    bool Checked(const std::string& name) const {
        return SendMessageW(Find(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    int Selected(const std::string& combo) const {
        return static_cast<int>(SendMessageW(Find(combo), CB_GETCURSEL, 0, 0));
    }
    int Page() const {
        return static_cast<int>(SendMessageW(Find("选择夹1"), TCM_GETCURSEL, 0, 0));
    }

    // A left click at a point of the screen, as the mouse makes it.
    void ClickAt(POINT screen) {
        SetCursorPos(screen.x, screen.y);
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        Settle();
    }
    // A click at a point of a window, in its client coordinates; its centre by default.
    void ClickIn(HWND w, POINT client) {
        ClientToScreen(w, &client);
        ClickAt(client);
    }
    void Click(HWND w) {
        RECT r{};
        GetClientRect(w, &r);
        ClickIn(w, {(r.right - r.left) / 2, (r.bottom - r.top) / 2});
    }
    void Click(const std::string& name) { Click(Find(name)); }

    void ClickTab(int page) {
        RECT r{};
        SendMessageW(Find("选择夹1"), TCM_GETITEMRECT, static_cast<WPARAM>(page),
                     reinterpret_cast<LPARAM>(&r));
        ClickIn(Find("选择夹1"), {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    void Key(WORD key, bool shift = false) {
        INPUT input[4] = {};
        int n = 0;
        const auto add = [&](WORD vk, DWORD flags) {
            input[n].type = INPUT_KEYBOARD;
            input[n].ki.wVk = vk;
            input[n].ki.dwFlags = flags;
            ++n;
        };
        if (shift) {
            add(VK_SHIFT, 0);
        }
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
        if (shift) {
            add(VK_SHIFT, KEYEVENTF_KEYUP);
        }
        SendInput(static_cast<UINT>(n), input, sizeof(INPUT));
        Settle();
    }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) {
            INPUT input[2] = {};
            input[0].type = input[1].type = INPUT_KEYBOARD;
            input[0].ki.wScan = input[1].ki.wScan = c;
            input[0].ki.dwFlags = KEYEVENTF_UNICODE;
            input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
            SendInput(2, input, sizeof(INPUT));
            Settle();
        }
    }

    static COMBOBOXINFO ComboInfo(HWND box) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(box, &info);
        return info;
    }
    static bool ListOpen(HWND box) { return SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0) != 0; }

    // Opens the list with a click on the box's arrow, as a user does.
    void OpenList(HWND box) {
        const COMBOBOXINFO info = ComboInfo(box);
        ClickIn(box, {(info.rcButton.left + info.rcButton.right) / 2,
                      (info.rcButton.top + info.rcButton.bottom) / 2});
        if (!WaitFor([box] { return ListOpen(box); })) {
            throw std::runtime_error("the list did not open");
        }
    }

    // Opens the list and clicks the item in row `row`.
    void PickFromList(HWND box, int row) {
        OpenList(box);
        const HWND list = ComboInfo(box).hwndList;
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        ClickIn(list, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        if (!WaitFor([box] { return !ListOpen(box); })) {
            throw std::runtime_error("the list did not close after a pick");
        }
    }
    void PickFromList(const std::string& combo, int row) { PickFromList(Find(combo), row); }

    // Everything the user can see a control hold, control by control.
    std::map<std::string, std::string> Snapshot() {
        std::map<std::string, std::string> out;
        for (const auto& def : ui::WindowDefinition().controls) {
            if (def.kind == ui::Kind::Timer) {
                continue;
            }
            const HWND w = Find(def.name);
            std::string state = ui::win32::WindowText(w);
            if (def.kind == ui::Kind::ComboBox) {
                auto& box = front.ComboBox(def.name);
                state += "|" + std::to_string(box.selectedIndex());
                for (int i = 0; i < box.count(); ++i) {
                    state += "|" + box.itemText(i);
                }
            } else if (def.kind == ui::Kind::CheckBox || def.kind == ui::Kind::RadioButton) {
                state += Checked(def.name) ? "|checked" : "";
            }
            out[def.name] = state;
        }
        return out;
    }
};

} // namespace win32_test
