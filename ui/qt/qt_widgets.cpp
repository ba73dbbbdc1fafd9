#include "ui/qt/qt_widgets.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace ui::qt {

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

ConsoleComboBox::ConsoleComboBox(int open_height, QWidget* parent)
    : QComboBox(parent), open_height_(open_height) {
    // Giving the box its field makes it editable, as setEditable(true) does, without building
    // the list's popup at once (Qt 6.4 builds it when the list first opens): window start-up
    // takes about a fifth less time.
    setLineEdit(new QLineEdit(this));
    setInsertPolicy(QComboBox::NoInsert);
    // Qt picks the item matching the typed text when the user presses Enter or leaves the
    // field, and reports it as a pick from the list; typing must run no handler.
    QObject::disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
}

void ConsoleComboBox::showPopup() {
    if (beforePopup) {
        beforePopup();
    }
    // The box with its open list is open_height_ pixels tall.
    const int row = std::max(1, view()->sizeHintForRow(0));
    setMaxVisibleItems(std::max(1, (open_height_ - height()) / row));
    QComboBox::showPopup();
}

void ConsoleLogBox::keyPressEvent(QKeyEvent* event) {
    BeforeInput();
    QPlainTextEdit::keyPressEvent(event);
}

void ConsoleLogBox::inputMethodEvent(QInputMethodEvent* event) {
    BeforeInput();
    QPlainTextEdit::inputMethodEvent(event);
}

void ConsoleLogBox::insertFromMimeData(const QMimeData* source) {
    BeforeInput();
    QPlainTextEdit::insertFromMimeData(source);
}

void ConsoleLogBox::BeforeInput() {
    if (beforeInput) {
        // Text added at the end leaves a caret before it where it was, and carries a caret at
        // the end along to the new end.
        const QTextCursor caret = textCursor();
        beforeInput();
        setTextCursor(caret);
    }
}

} // namespace ui::qt
