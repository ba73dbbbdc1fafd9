#pragma once
// Qt widgets that behave as the console's controls must, where plain Qt differs.

#include <QComboBox>
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

} // namespace ui::qt
