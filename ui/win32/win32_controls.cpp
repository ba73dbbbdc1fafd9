#include "ui/win32/win32_controls.h"

#include "ui/win32/win32_text.h"

#include <algorithm>

namespace ui::win32 {

namespace {

std::wstring WideText(HWND w) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::size_t Length(HWND w) {
    return static_cast<std::size_t>(GetWindowTextLengthW(w));
}

// Selects nothing and puts the caret after the last character.
void SelectEnd(HWND w) {
    const auto end = static_cast<WPARAM>(Length(w));
    SendMessageW(w, EM_SETSEL, end, static_cast<LPARAM>(end));
}

// Writes text at the caret, which is at the end, and scrolls to it.
void ReplaceSelection(HWND w, const std::wstring& text) {
    SendMessageW(w, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(w, EM_SCROLLCARET, 0, 0);
}

} // namespace

std::string WindowText(HWND w) {
    return Utf8(WideText(w));
}

void Win32PushButton::setCaption(const std::string& caption) {
    SetWindowTextW(w_, Wide(caption).c_str());
}

bool Win32CheckBox::checked() const {
    return SendMessageW(w_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Win32CheckBox::setChecked(bool checked) {
    SendMessageW(w_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32RadioButton::checked() const {
    return SendMessageW(w_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32ComboBox::clear() {
    SendMessageW(w_, CB_RESETCONTENT, 0, 0);
    SetWindowTextW(w_, L"");
}

void Win32ComboBox::addItem(const std::string& text) {
    const std::wstring item = Wide(text);
    SendMessageW(w_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int Win32ComboBox::count() const {
    return static_cast<int>(SendMessageW(w_, CB_GETCOUNT, 0, 0));
}

std::string Win32ComboBox::itemText(int index) const {
    if (index < 0 || index >= count()) {
        return "";
    }
    const auto i = static_cast<WPARAM>(index);
    const LRESULT length = SendMessageW(w_, CB_GETLBTEXTLEN, i, 0);
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT copied = SendMessageW(w_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    return Utf8(text);
}

int Win32ComboBox::selectedIndex() const {
    const LRESULT index = SendMessageW(w_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32ComboBox::setSelectedIndex(int index) {
    // CB_SETCURSEL past the end would clear the selection: the last item is meant.
    const int last = count() - 1;
    const int chosen = index < 0 ? -1 : std::min(index, last);
    SendMessageW(w_, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    if (chosen < 0) {
        SetWindowTextW(w_, L"");
    }
}

void Win32LineEdit::setText(const std::string& text) {
    SetWindowTextW(w_, Wide(text).c_str());
}

void Win32LineEdit::append(const std::string& text) {
    SelectEnd(w_);
    ReplaceSelection(w_, Wide(text));
}

void Win32LineEdit::caretToEnd() {
    SelectEnd(w_);
    SendMessageW(w_, EM_SCROLLCARET, 0, 0);
}

Win32LogEdit::Win32LogEdit(HWND w, std::size_t maximum) : w_(w), scrollback_(maximum) {
    // Room above the maximum for the longest append, so the control never refuses text.
    SendMessageW(w_, EM_SETLIMITTEXT, static_cast<WPARAM>(2 * maximum), 0);
}

void Win32LogEdit::setText(const std::string& text) {
    SetWindowTextW(w_, Wide(text).c_str());
}

void Win32LogEdit::append(const std::string& text) {
    const std::wstring incoming = Wide(text);
    const std::size_t length = Length(w_);
    if (scrollback_.MustCut(length, incoming.size())) {
        // Line lengths come from the text itself: the control's own lines are wrapped ones.
        const std::wstring held = WideText(w_);
        std::size_t next = 0;
        bool last_given = false;
        const Scrollback::Cut cut =
            scrollback_.Plan(length, incoming.size(), [&]() -> std::optional<std::size_t> {
                if (last_given) {
                    return std::nullopt;
                }
                const std::size_t start = next;
                const std::size_t lf = held.find(L'\n', start);
                if (lf == std::wstring::npos) {
                    last_given = true; // the unfinished line new text continues
                    return held.size() - start;
                }
                next = lf + 1;
                return next - start;
            });
        if (cut.characters > 0) {
            SendMessageW(w_, EM_SETSEL, 0, static_cast<LPARAM>(cut.characters));
            SendMessageW(w_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
    }
    SelectEnd(w_);
    ReplaceSelection(w_, incoming);
}

void Win32LogEdit::caretToEnd() {
    SelectEnd(w_);
    SendMessageW(w_, EM_SCROLLCARET, 0, 0);
}

void Win32Timer::setPeriod(int milliseconds) {
    if (milliseconds <= 0) {
        KillTimer(owner_, id_);
        period_ = 0;
    } else if (milliseconds != period_) {
        // The same id replaces a running timer; the period it already has keeps its interval.
        SetTimer(owner_, id_, static_cast<UINT>(milliseconds), nullptr);
        period_ = milliseconds;
    }
}

void Win32MessageBox::show(const std::string& text, const std::string& title) {
    // No owner, yet modal to every window of the program.
    MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_TASKMODAL);
}

} // namespace ui::win32
