#pragma once
// The console's control interfaces over Win32 common controls.

#include "controls/controls.h"
#include "ui/scrollback.h"

#include "ui/win32/windows_api.h"

#include <string>

namespace ui::win32 {

// The text of a window, in UTF-8.
std::string WindowText(HWND w);

class Win32PushButton final : public controls::PushButton {
  public:
    explicit Win32PushButton(HWND w) : w_(w) {}
    std::string caption() const override { return WindowText(w_); }
    void setCaption(const std::string& caption) override;

  private:
    HWND w_;
};

class Win32CheckBox final : public controls::CheckBox {
  public:
    explicit Win32CheckBox(HWND w) : w_(w) {}
    bool checked() const override;
    void setChecked(bool checked) override;

  private:
    HWND w_;
};

class Win32RadioButton final : public controls::RadioButton {
  public:
    explicit Win32RadioButton(HWND w) : w_(w) {}
    bool checked() const override;

  private:
    HWND w_;
};

class Win32ComboBox final : public controls::ComboBox {
  public:
    explicit Win32ComboBox(HWND w) : w_(w) {}
    void clear() override;
    void addItem(const std::string& text) override;
    int count() const override;
    std::string itemText(int index) const override;
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    // A drop-down list shows no hints; on Windows the port names come from the registry.
    void setItemToolTip(int, const std::string&) override {}

  private:
    HWND w_;
};

// The single-line, read-only frame preview.
class Win32LineEdit final : public controls::EditBox {
  public:
    explicit Win32LineEdit(HWND w) : w_(w) {}
    std::string text() const override { return WindowText(w_); }
    void setText(const std::string& text) override;
    void append(const std::string& text) override;
    void caretToEnd() override;

  private:
    HWND w_;
};

// The log. The edit control keeps lines in CR LF, as handlers write them. Its text is held
// under a maximum: the oldest lines make room for new ones, so new lines never stop at the
// control's own limit.
class Win32LogEdit final : public controls::EditBox {
  public:
    // Characters (UTF-16 units) the log keeps at most; the control's own limit lies above it.
    static constexpr std::size_t kMaximum = 1 << 20;

    Win32LogEdit(HWND w, std::size_t maximum = kMaximum);
    std::string text() const override { return WindowText(w_); }
    void setText(const std::string& text) override;
    void append(const std::string& text) override;
    void caretToEnd() override;

  private:
    HWND w_;
    Scrollback scrollback_;
};

// A window timer of the main window, by its own id.
class Win32Timer final : public controls::Timer {
  public:
    Win32Timer(HWND owner, UINT_PTR id) : owner_(owner), id_(id) {}
    int period() const override { return period_; }
    void setPeriod(int milliseconds) override;

  private:
    HWND owner_;
    UINT_PTR id_;
    int period_ = 0;
};

class Win32MessageBox final : public controls::MessageBox {
  public:
    void show(const std::string& text, const std::string& title) override;
};

} // namespace ui::win32
