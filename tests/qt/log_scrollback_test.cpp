// The log on a real QPlainTextEdit: it keeps to its scrollback maximum (the oldest whole lines
// make room, the newest text always stays and shows, nothing keeps the cut text alive), and a
// stream's held lines reach the box each hold, before anything the user does.

#include "ui/qt/qt_controls.h"
#include "ui/qt/qt_widgets.h"
#include "ui/scrollback.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <string>

namespace {

class LogScrollback : public ::testing::Test {
  protected:
    LogScrollback() {
        box.resize(451, 110);
        box.show();
    }

    // Line n of a stream: hex-like text of a length that varies from line to line.
    static std::string Line(int n) {
        std::string line = std::to_string(n) + ":";
        line.append(static_cast<std::size_t>(n % 37) * 3, 'A');
        return line + " \r\n";
    }

    // Appends as a poll does, then puts what is held into the box.
    void Put(const std::string& line) {
        log.append(line);
        log.ShowHeld();
    }

    std::string Shown() const { return box.toPlainText().toStdString(); }
    std::size_t Length() const {
        return static_cast<std::size_t>(box.document()->characterCount() - 1);
    }

    ui::qt::ConsoleLogBox box;
    ui::Scrollback rule{1000, 750};
    ui::qt::QtLogEdit log{&box, rule};
};

TEST_F(LogScrollback, OldestWholeLinesMakeRoomAndTheNewestStayInView) {
    std::string all; // everything appended, as the widget would show it without a maximum
    for (int n = 0; n < 2000; ++n) {
        const std::string line = Line(n);
        log.append(line);
        log.caretToEnd();
        if (n % 4 == 3) {
            log.ShowHeld(); // a hold ends: four lines go in together
        }
        all += line.substr(0, line.size() - 2) + "\n";
        ASSERT_LE(Length(), rule.maximum()) << "after line " << n;
    }
    const std::string shown = Shown();
    // A whole-line tail of the stream, reaching to its newest line.
    ASSERT_TRUE(all.ends_with(shown));
    ASSERT_GT(shown.size(), 0u);
    EXPECT_EQ(all[all.size() - shown.size() - 1], '\n') << "the log starts inside a line";
    EXPECT_GE(Length(), rule.lowWater() - 200) << "cut more than the rule asks";
    // The view follows the end, and the caret is there.
    QTest::qWait(2 * ui::qt::QtLogEdit::kHoldMs);
    EXPECT_EQ(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
    EXPECT_EQ(box.textCursor().position(), box.document()->characterCount() - 1);
    // The cut text is gone for good: no undo history holds it.
    EXPECT_FALSE(box.document()->isUndoAvailable());
    // Reading back still gives CR LF lines.
    EXPECT_TRUE(
        log.text().ends_with("1999:" + std::string(std::size_t{1999 % 37} * 3, 'A') + " \r\n"));
}

TEST_F(LogScrollback, TextLongerThanTheMaximumIsKeptWhole) {
    Put("old line\r\n");
    const std::string big(1500, 'F');
    Put(big + "\r\n");
    EXPECT_EQ(Shown(), big + "\n");
    Put("next\r\n");
    EXPECT_EQ(Shown(), "next\n");
}

TEST_F(LogScrollback, TheUnfinishedLastLineIsNeverCut) {
    Put(std::string(600, '1') + "\r\n");
    Put("typed by the user, no line break yet");
    Put(std::string(600, '2') + "\r\n");
    EXPECT_EQ(Shown(), "typed by the user, no line break yet" + std::string(600, '2') + "\n");
}

// A stream goes into the box once per hold, but never stays behind it: lines held count as the
// log's text at once, reach the box when the hold ends, and a line that comes alone shows at once.
TEST_F(LogScrollback, AStreamIsShownUpToItsNewestLineEachHold) {
    log.append("first \r\n");
    EXPECT_EQ(Shown(), "first \n") << "a line that comes alone waits";
    std::string stream = "first \r\n";
    for (int n = 0; n < 10; ++n) { // under the maximum: nothing is cut
        log.append(Line(n));
        log.caretToEnd();
        stream += Line(n);
    }
    EXPECT_EQ(log.text(), stream);
    std::string widget_lines = stream;
    std::erase(widget_lines, '\r');
    ASSERT_TRUE(QTest::qWaitFor([&] { return Shown() == widget_lines; }, 10000));
    EXPECT_EQ(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
    EXPECT_EQ(box.textCursor().position(), box.document()->characterCount() - 1);

    QTest::qWait(3 * ui::qt::QtLogEdit::kHoldMs); // the stream pauses
    log.append("AA \r\n");
    EXPECT_TRUE(Shown().ends_with("\nAA \n")) << "a line that comes alone waits";
}

// Whatever the user puts into the box, however it comes, lands after every line that arrived
// before it, and where the caret or the drop put it.
TEST_F(LogScrollback, UserInputLandsAfterTheHeldLines) {
    const auto hold = [this](const std::string& shown, const std::string& held) {
        log.setText("");
        QTest::qWait(2 * ui::qt::QtLogEdit::kHoldMs); // no hold running
        log.append(shown);
        log.append(held);
        ASSERT_EQ(Shown(), shown.substr(0, shown.size() - 2) + "\n");
    };

    hold("one \r\n", "two \r\n");
    box.setFocus();
    QTest::keyClicks(&box, "x");
    EXPECT_EQ(Shown(), "one \ntwo \nx");

    hold("one \r\n", "two \r\n");
    QInputMethodEvent compose;
    compose.setCommitString("y");
    QApplication::sendEvent(&box, &compose);
    EXPECT_EQ(Shown(), "one \ntwo \ny");

    // A drop below the text goes after the held lines; a drop on the first line stays there.
    QMimeData dropped;
    dropped.setText("z");
    const auto drop = [&](QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(box.viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(box.viewport(), &move);
        QDropEvent release(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(box.viewport(), &release);
    };
    hold("one \r\n", "two \r\n");
    drop(QPoint(5, box.viewport()->height() - 5));
    EXPECT_EQ(Shown(), "one \ntwo \nz");

    hold("one \r\n", "two \r\n");
    const QRect first_line = box.cursorRect(QTextCursor(box.document()));
    drop(QPoint(first_line.left(), first_line.center().y()));
    EXPECT_EQ(Shown(), "zone \ntwo \n");
}

TEST_F(LogScrollback, ClearingStartsAfreshAndDropsHeldLines) {
    for (int n = 0; n < 200; ++n) {
        log.append(Line(n));
    }
    log.setText("");
    EXPECT_EQ(log.text(), "");
    log.append("AA \r\n");
    EXPECT_EQ(log.text(), "AA \r\n");
    QTest::qWait(3 * ui::qt::QtLogEdit::kHoldMs);
    EXPECT_EQ(Shown(), "AA \n");
}

} // namespace
