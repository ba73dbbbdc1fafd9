#pragma once
// The console's control interfaces over Qt widgets.

#include "controls/controls.h"
#include "ui/qt/qt_widgets.h"
#include "ui/scrollback.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace ui::qt {

class QtPushButton final : public controls::PushButton {
  public:
    explicit QtPushButton(QPushButton* w) : w_(w) {}
    std::string caption() const override;
    void setCaption(const std::string& caption) override;

  private:
    QPushButton* w_;
};

class QtCheckBox final : public controls::CheckBox {
  public:
    explicit QtCheckBox(QCheckBox* w) : w_(w) {}
    bool checked() const override { return w_->isChecked(); }
    void setChecked(bool checked) override { w_->setChecked(checked); }

  private:
    QCheckBox* w_;
};

class QtRadioButton final : public controls::RadioButton {
  public:
    explicit QtRadioButton(QRadioButton* w) : w_(w) {}
    bool checked() const override { return w_->isChecked(); }

  private:
    QRadioButton* w_;
};

class QtComboBox final : public controls::ComboBox {
  public:
    explicit QtComboBox(QComboBox* w) : w_(w) {}
    void clear() override;
    void addItem(const std::string& text) override;
    int count() const override { return w_->count(); }
    std::string itemText(int index) const override;
    int selectedIndex() const override { return w_->currentIndex(); }
    void setSelectedIndex(int index) override;
    void setItemToolTip(int index, const std::string& text) override;

  private:
    QComboBox* w_;
};

// The single-line, read-only frame preview.
class QtLineEdit final : public controls::EditBox {
  public:
    explicit QtLineEdit(QLineEdit* w) : w_(w) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void append(const std::string& text) override;
    void caretToEnd() override;

  private:
    QLineEdit* w_;
};

// The log. Its lines end in CR LF: Qt keeps one line break for each, and reading the text
// back gives CR LF again, so handlers see the text they wrote.
//
// A line that arrives alone goes into the box at once. While lines keep coming, the box takes
// them in once per 80 ms hold, all together, rather than on every 10 ms poll: one insert lays
// out only the newest line (the lines above wait until someone scrolls to them) and repaints
// once. A stream costs about half what it did with a 40 ms hold and under half of an insert per
// poll, and 80 ms is still too short to see as a lag. text() includes the held lines, and
// anything the user puts into the box (typed text, a paste, a drop) makes them go in first, so
// it lands after every line that came before it.
//
// It keeps to a scrollback maximum: an insert that would pass it first cuts the oldest whole
// lines down to the low-water mark (ui::Scrollback), so the widget's memory and its int text
// positions stay bounded however long a device streams. The widget keeps no undo history, which
// would hold every cut line.
class QtLogEdit final : public controls::EditBox {
  public:
    // 64 Mi characters: about four minutes of a full 921600-baud line as hex, 128 MiB of text.
    static constexpr std::size_t kScrollbackMaximum = std::size_t{64} << 20;
    static constexpr int kHoldMs = 80;

    explicit QtLogEdit(ConsoleLogBox* w,
                       ui::Scrollback scrollback = ui::Scrollback(kScrollbackMaximum));
    ~QtLogEdit() override;
    std::string text() const override;
    void setText(const std::string& text) override;
    void append(const std::string& text) override;
    void caretToEnd() override;

    // Puts the held lines into the box now.
    void ShowHeld();

  private:
    void Insert(const QString& lines);
    void MakeRoom(qsizetype incoming);

    QPointer<ConsoleLogBox> w_; // the window may go first
    ui::Scrollback scrollback_;
    QTimer hold_;
    QString held_; // lines appended during the hold, in the widget's form
};

class QtTimer final : public controls::Timer {
  public:
    explicit QtTimer(QTimer* t) : t_(t) {}
    int period() const override { return t_->isActive() ? t_->interval() : 0; }
    void setPeriod(int milliseconds) override;

  private:
    QTimer* t_;
};

class QtMessageBox final : public controls::MessageBox {
  public:
    void show(const std::string& text, const std::string& title) override;
};

} // namespace ui::qt
