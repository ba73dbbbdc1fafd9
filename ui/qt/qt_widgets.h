#pragma once
// Qt widgets that behave as the console's controls must, where plain Qt differs.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace ui::qt {

// A push button whose caption wraps onto further lines when it is wider than the button.
// The caption itself is never changed, so what handlers read back is what they wrote.
class WrappingButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// An editable drop-down combo box: typed text never becomes an item and never runs a
// handler; `beforePopup` runs before the list opens, so it can refill the list.
class ConsoleComboBox : public QComboBox {
  public:
    ConsoleComboBox(int open_height, QWidget* parent);
    std::function<void()> beforePopup;

    void showPopup() override;

  private:
    int open_height_;
};

// The log's text box: `beforeInput` runs before anything the user puts into the box (typed
// keys, input-method text, a paste or a drop, whichever way it comes), so lines the log still
// holds back go in first. Whatever the user does then goes where the caret was.
class ConsoleLogBox : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;
    std::function<void()> beforeInput;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    void BeforeInput();
};

} // namespace ui::qt
