#include "ui/qt/qt_controls.h"

#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <optional>
#include <utility>

namespace ui::qt {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

// Qt breaks a line at "\n"; a CR before it would show as a stray character.
QString ToWidgetLines(const std::string& text) {
    QString s = FromUtf8(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

} // namespace

std::string QtPushButton::caption() const {
    return ToUtf8(w_->text());
}
void QtPushButton::setCaption(const std::string& caption) {
    w_->setText(FromUtf8(caption));
}

void QtComboBox::clear() {
    w_->clear();
    w_->clearEditText();
}

void QtComboBox::addItem(const std::string& text) {
    // Qt selects the first item added to an empty box; the console selects nothing.
    const int before = w_->currentIndex();
    w_->addItem(FromUtf8(text));
    if (before < 0 && w_->currentIndex() >= 0) {
        w_->setCurrentIndex(-1);
    }
}

std::string QtComboBox::itemText(int index) const {
    return ToUtf8(w_->itemText(index));
}

void QtComboBox::setSelectedIndex(int index) {
    // An index past the end selects the last item (Qt would select nothing).
    w_->setCurrentIndex(index < 0 ? -1 : std::min(index, w_->count() - 1));
    if (QLineEdit* field = w_->lineEdit()) {
        field->home(false); // show the start of a long item, as a closed list does
    }
}

void QtComboBox::setItemToolTip(int index, const std::string& text) {
    w_->setItemData(index, FromUtf8(text), Qt::ToolTipRole);
}

std::string QtLineEdit::text() const {
    return ToUtf8(w_->text());
}
void QtLineEdit::setText(const std::string& text) {
    w_->setText(FromUtf8(text));
}

void QtLineEdit::append(const std::string& text) {
    w_->setText(w_->text() + FromUtf8(text));
    caretToEnd();
}

void QtLineEdit::caretToEnd() {
    w_->deselect();
    w_->end(false);
}

QtLogEdit::QtLogEdit(ConsoleLogBox* w, ui::Scrollback scrollback) : w_(w), scrollback_(scrollback) {
    w_->setUndoRedoEnabled(false);
    w_->beforeInput = [this] { ShowHeld(); };
    hold_.setSingleShot(true);
    hold_.setInterval(kHoldMs);
    QObject::connect(&hold_, &QTimer::timeout, [this] {
        if (!held_.isEmpty()) {
            // Shows what came during the hold, and holds again in case more is coming.
            ShowHeld();
            hold_.start();
        }
    });
}

QtLogEdit::~QtLogEdit() {
    if (w_) {
        w_->beforeInput = nullptr;
    }
}

std::string QtLogEdit::text() const {
    QString s = w_->toPlainText() + held_;
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return ToUtf8(s);
}

void QtLogEdit::setText(const std::string& text) {
    held_.clear();
    w_->setPlainText(ToWidgetLines(text));
}

void QtLogEdit::append(const std::string& text) {
    if (hold_.isActive()) {
        held_ += ToWidgetLines(text);
        return;
    }
    Insert(ToWidgetLines(text));
    hold_.start(); // this line shows at once; the next ones within the hold wait for it
}

void QtLogEdit::ShowHeld() {
    if (!held_.isEmpty() && w_) {
        const QString lines = std::exchange(held_, QString());
        Insert(lines);
    }
}

void QtLogEdit::Insert(const QString& lines) {
    MakeRoom(lines.size());
    QTextCursor cursor(w_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(lines);
    caretToEnd();
}

void QtLogEdit::MakeRoom(qsizetype incoming) {
    QTextDocument* document = w_->document();
    // characterCount() counts the end of the document too.
    const auto length = static_cast<std::size_t>(document->characterCount() - 1);
    const auto adding = static_cast<std::size_t>(incoming);
    if (!scrollback_.MustCut(length, adding)) {
        return;
    }
    QTextBlock block = document->firstBlock();
    const ui::Scrollback::Cut cut =
        scrollback_.Plan(length, adding, [&block]() -> std::optional<std::size_t> {
            if (!block.isValid()) {
                return std::nullopt;
            }
            const auto line = static_cast<std::size_t>(block.length());
            block = block.next();
            return line;
        });
    if (cut.lines == 0) {
        return;
    }
    QTextCursor cursor(document);
    cursor.setPosition(static_cast<int>(cut.characters), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void QtLogEdit::caretToEnd() {
    if (!held_.isEmpty()) {
        return; // the held lines' insert puts the caret at the end
    }
    QTextCursor cursor = w_->textCursor();
    // A caret already at the end stays there as text is added: moving it again would only
    // repeat the widget's caret bookkeeping.
    if (cursor.hasSelection() || !cursor.atEnd()) {
        cursor.movePosition(QTextCursor::End);
        w_->setTextCursor(cursor);
    }
    w_->ensureCursorVisible();
}

void QtTimer::setPeriod(int milliseconds) {
    if (milliseconds <= 0) {
        t_->stop();
    } else if (!t_->isActive() || t_->interval() != milliseconds) {
        t_->start(milliseconds);
    }
}

void QtMessageBox::show(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, FromUtf8(title), FromUtf8(text), QMessageBox::Ok);
    box.exec();
}

} // namespace ui::qt
