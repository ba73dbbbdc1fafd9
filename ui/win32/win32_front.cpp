#include "ui/win32/win32_front.h"

#include "ui/win32/win32_text.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <stdexcept>

namespace ui::win32 {

namespace {

struct Style {
    const wchar_t* window_class;
    DWORD style;
    DWORD ex_style;
};

Style StyleOf(Kind kind) {
    switch (kind) {
    case Kind::GroupBox:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case Kind::LogBox:
        return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    case Kind::PreviewBox:
        return {L"EDIT", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Label:
        return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
    case Kind::PushButton:
        return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 0};
    case Kind::CheckBox:
        return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case Kind::RadioButton:
        return {L"BUTTON", BS_AUTORADIOBUTTON, 0};
    case Kind::ComboBox:
        return {L"COMBOBOX", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0};
    case Kind::TabControl:
        // The tab strip takes no focus; its pages' controls are its siblings.
        return {WC_TABCONTROLW, WS_CLIPSIBLINGS | TCS_FOCUSNEVER, 0};
    case Kind::Timer:
        break;
    }
    return {nullptr, 0, 0};
}

bool IsPage(Container container) {
    return container == Container::Page0 || container == Container::Page1;
}

// The font the controls' sizes are laid out for: the system's message font, 11 pixels tall.
HFONT DialogFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    }
    font.lfHeight = -11;
    font.lfWidth = 0;
    return CreateFontIndirectW(&font);
}

// The log wants Enter (a new line) but lets Tab move the focus on, like every other box.
LRESULT CALLBACK LogKeys(HWND w, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(w, message, wp, lp);
    if (message == WM_GETDLGCODE && wp == VK_TAB) {
        result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    }
    return result;
}

void RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("cannot register the window class");
    }
}

} // namespace

Win32Front::Win32Front() = default;

Win32Front::~Win32Front() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void Win32Front::BuildWindow(const WindowLayout& definition) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&common);
    RegisterWindowClass(&Win32Front::WindowProc);
    font_ = DialogFont();

    // Fixed border, minimize and close, no maximize; centred in the work area.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - definition.outer_width) / 2;
    const int top = work.top + (work.bottom - work.top - definition.outer_height) / 2;
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Wide(definition.caption).c_str(),
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, left, top,
                              definition.outer_width, definition.outer_height, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) {
        throw std::runtime_error("cannot create the window");
    }

    // Group and page controls are the window's own children, placed from the group box's or
    // the tab control's outer corner, so their events come to the window.
    std::map<Container, POINT> origins{{Container::Window, {0, 0}}};
    HWND group_box = nullptr;
    const ControlDef* previous = nullptr;
    int id = kFirstControlId;
    for (const auto& def : definition.controls) {
        ids_[def.name] = id;
        if (def.kind == Kind::Timer) {
            timers_[def.name] = std::make_unique<Win32Timer>(window_, static_cast<UINT_PTR>(id));
            ++id;
            continue;
        }
        const Style style = StyleOf(def.kind);
        DWORD extra = WS_CHILD | WS_VISIBLE;
        // Radio buttons that follow each other in one container form a group; every other
        // control starts one, so 汉化 stands alone. Tab enters a group at its checked button.
        const bool continues_group = def.kind == Kind::RadioButton && previous != nullptr &&
                                     previous->kind == Kind::RadioButton &&
                                     previous->container == def.container;
        if (!continues_group) {
            extra |= WS_GROUP;
            if (def.kind == Kind::RadioButton) {
                extra |= WS_TABSTOP;
            }
        }
        const POINT origin = origins.at(IsPage(def.container) ? Container::Page0 : def.container);
        // A combo box is created as tall as it is with its list open.
        const int height = def.kind == Kind::ComboBox ? definition.combo_open_height : def.height;
        HWND w = CreateWindowExW(
            style.ex_style, style.window_class, Wide(def.caption).c_str(), style.style | extra,
            origin.x + def.left, origin.y + def.top, def.width, height, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        if (w == nullptr) {
            throw std::runtime_error("cannot create " + def.name);
        }
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

        switch (def.kind) {
        case Kind::GroupBox:
            group_box = w;
            origins[Container::Group] = {def.left, def.top};
            break;
        case Kind::TabControl: {
            tabs_ = w;
            origins[Container::Page0] = {def.left, def.top};
            for (int page = 0; page < 2; ++page) {
                std::wstring title = Wide(definition.page_titles[page]);
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = title.data();
                SendMessageW(w, TCM_INSERTITEMW, static_cast<WPARAM>(page),
                             reinterpret_cast<LPARAM>(&item));
            }
            break;
        }
        case Kind::LogBox:
            SetWindowSubclass(w, &LogKeys, 1, 0);
            edit_boxes_[def.name] = std::make_unique<Win32LogEdit>(w);
            break;
        case Kind::PreviewBox:
            edit_boxes_[def.name] = std::make_unique<Win32LineEdit>(w);
            white_boxes_.insert(w);
            break;
        case Kind::PushButton:
            buttons_[def.name] = std::make_unique<Win32PushButton>(w);
            break;
        case Kind::CheckBox:
            check_boxes_[def.name] = std::make_unique<Win32CheckBox>(w);
            break;
        case Kind::RadioButton:
            // Unchecking would also take the button's tab stop away, as the checked button of a
            // group is its stop: 汉化 must keep its own.
            if (def.checked) {
                SendMessageW(w, BM_SETCHECK, BST_CHECKED, 0);
            }
            radio_buttons_[def.name] = std::make_unique<Win32RadioButton>(w);
            break;
        case Kind::ComboBox:
            combo_boxes_[def.name] = std::make_unique<Win32ComboBox>(w);
            break;
        case Kind::Label:
        case Kind::Timer:
            break;
        }
        windows_[def.name] = w;
        if (IsPage(def.container)) {
            pages_[w] = def.container;
        }
        previous = &def;
        ++id;
    }
    // The group box and the tab control lie under the controls placed over them (汉化 over the
    // tab strip included), for painting and for the pointer; the tab order stays as defined.
    for (HWND under : {group_box, tabs_}) {
        if (under != nullptr) {
            SetWindowPos(under, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    ShowPage(0);
}

void Win32Front::ShowPage(int page) {
    const Container shown = page == 0 ? Container::Page0 : Container::Page1;
    for (const auto& [w, container] : pages_) {
        ShowWindow(w, container == shown ? SW_SHOW : SW_HIDE);
    }
    // The focus leaves a control that went out of sight.
    const HWND focus = GetFocus();
    if (focus != nullptr && !IsWindowVisible(focus)) {
        SetFocus(GetNextDlgTabItem(window_, nullptr, FALSE));
    }
}

void Win32Front::Connect(const ControlDef& control, std::function<void()> handler) {
    routes_[ids_.at(control.name)] = {control.event, std::move(handler)};
}

void Win32Front::Show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(GetNextDlgTabItem(window_, nullptr, FALSE));
}

void Win32Front::Dispatch(MSG& msg) {
    // Tab, Shift+Tab and the arrow keys within a radio group move the focus as in a dialog.
    if (!IsDialogMessageW(window_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int Win32Front::Run() {
    running_ = true;
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        Dispatch(msg);
    }
    running_ = false;
    return static_cast<int>(msg.wParam);
}

void Win32Front::DeliverPending() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        Dispatch(msg);
    }
}

LRESULT CALLBACK Win32Front::WindowProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<Win32Front*>(create->lpCreateParams);
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = w;
    }
    auto* self = reinterpret_cast<Win32Front*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(w, message, wp, lp);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    }
    return self->Handle(w, message, wp, lp);
}

LRESULT Win32Front::Handle(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
    case WM_COMMAND: {
        const auto route = routes_.find(LOWORD(wp));
        if (route == routes_.end()) {
            break;
        }
        const WORD code = HIWORD(wp);
        const Event event = route->second.event;
        // "List will pop up" comes before the list opens, so its handler can refill it;
        // CB_SETCURSEL from a handler raises no CBN_SELCHANGE.
        if ((event == Event::Clicked && code == BN_CLICKED) ||
            (event == Event::ListItemSelected && code == CBN_SELCHANGE) ||
            (event == Event::ListWillPopUp && code == CBN_DROPDOWN)) {
            route->second.handler();
        }
        return 0;
    }
    case WM_TIMER: {
        const auto route = routes_.find(static_cast<int>(wp));
        if (route != routes_.end() && route->second.event == Event::Periodic) {
            route->second.handler();
        }
        return 0;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
            ShowPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        // Read-only edits would be painted grey: the previews are white like the other boxes.
        const auto box = reinterpret_cast<HWND>(lp);
        if (white_boxes_.contains(box)) {
            const auto dc = reinterpret_cast<HDC>(wp);
            SetBkColor(dc, RGB(255, 255, 255));
            SetTextColor(dc, RGB(0, 0, 0));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        // Labels, check boxes and radio buttons over a themed tab page take its white body.
        if (pages_.contains(box) && IsAppThemed()) {
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        break;
    }
    case WM_ACTIVATE:
        // A plain window forgets its focused control when it is deactivated; give it back.
        if (LOWORD(wp) == WA_INACTIVE) {
            focus_ = GetFocus();
        } else if (focus_ != nullptr && IsWindow(focus_) && IsWindowVisible(focus_)) {
            SetFocus(focus_);
            return 0;
        }
        break;
    case WM_DESTROY:
        window_ = nullptr;
        if (running_) {
            PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(w, message, wp, lp);
}

controls::PushButton& Win32Front::PushButton(const std::string& name) {
    return *buttons_.at(name);
}
controls::CheckBox& Win32Front::CheckBox(const std::string& name) {
    return *check_boxes_.at(name);
}
controls::RadioButton& Win32Front::RadioButton(const std::string& name) {
    return *radio_buttons_.at(name);
}
controls::ComboBox& Win32Front::ComboBox(const std::string& name) {
    return *combo_boxes_.at(name);
}
controls::EditBox& Win32Front::EditBox(const std::string& name) {
    return *edit_boxes_.at(name);
}
controls::Timer& Win32Front::Timer(const std::string& name) {
    return *timers_.at(name);
}

} // namespace ui::win32
