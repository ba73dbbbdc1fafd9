// The log keeps to its scrollback maximum on a real QPlainTextEdit: the oldest whole lines make
// room, the newest text always stays and shows, and nothing keeps the cut text alive.

#include "ui/qt/qt_controls.h"
#include "ui/scrollback.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
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

    std::string Shown() const { return box.toPlainText().toStdString(); }
    std::size_t Length() const {
        return static_cast<std::size_t>(box.document()->characterCount() - 1);
    }

    QPlainTextEdit box;
    ui::Scrollback rule{1000, 750};
    ui::qt::QtLogEdit log{&box, rule};
};

TEST_F(LogScrollback, OldestWholeLinesMakeRoomAndTheNewestStayInView) {
    std::string all; // everything appended, as the widget would show it without a maximum
    for (int n = 0; n < 2000; ++n) {
        const std::string line = Line(n);
        log.append(line);
        log.caretToEnd();
        all += line.substr(0, line.size() - 2) + "\n";
        ASSERT_LE(Length(), rule.maximum()) << "after line " << n;
    }
    const std::string shown = Shown();
    // A whole-line tail of the stream, reaching to its newest line.
    ASSERT_TRUE(all.ends_with(shown));
    ASSERT_GT(shown.size(), 0u);
    EXPECT_EQ(all[all.size() - shown.size() - 1], '\n') << "the log starts inside a line";
    EXPECT_GE(Length(), rule.lowWater() - 200) << "cut more than the rule asks";
    // The view follows the end once the stream's held repaint is over, and the caret is there.
    ASSERT_TRUE(QTest::qWaitFor([this] { return box.updatesEnabled(); }, 10000));
    QTest::qWait(3 * ui::qt::QtLogEdit::kRepaintHoldMs);
    EXPECT_EQ(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
    EXPECT_EQ(box.textCursor().position(), box.document()->characterCount() - 1);
    // The cut text is gone for good: no undo history holds it.
    EXPECT_FALSE(box.document()->isUndoAvailable());
    // Reading back still gives CR LF lines.
    EXPECT_TRUE(
        log.text().ends_with("1999:" + std::string(std::size_t{1999 % 37} * 3, 'A') + " \r\n"));
}

TEST_F(LogScrollback, TextLongerThanTheMaximumIsKeptWhole) {
    log.append("old line\r\n");
    const std::string big(1500, 'F');
    log.append(big + "\r\n");
    EXPECT_EQ(Shown(), big + "\n");
    log.append("next\r\n");
    EXPECT_EQ(Shown(), "next\n");
}

TEST_F(LogScrollback, TheUnfinishedLastLineIsNeverCut) {
    log.append(std::string(600, '1') + "\r\n");
    log.append("typed by the user, no line break yet");
    log.append(std::string(600, '2') + "\r\n");
    EXPECT_EQ(Shown(), "typed by the user, no line break yet" + std::string(600, '2') + "\n");
}

// While lines keep coming the box may skip repaints, but it never stays behind: once the stream
// pauses, it paints again with the newest line, and a line that comes alone paints at once.
TEST_F(LogScrollback, AStreamIsShownUpToItsNewestLineWhenItPauses) {
    for (int n = 0; n < 50; ++n) {
        log.append(Line(n));
        log.caretToEnd();
    }
    ASSERT_TRUE(QTest::qWaitFor([this] { return box.updatesEnabled(); }, 10000));
    QTest::qWait(3 * ui::qt::QtLogEdit::kRepaintHoldMs);
    EXPECT_TRUE(box.updatesEnabled());
    EXPECT_EQ(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());

    log.append("AA \r\n");
    EXPECT_TRUE(box.updatesEnabled()) << "a line that comes alone waits for a repaint";
}

TEST_F(LogScrollback, ClearingStartsAfresh) {
    for (int n = 0; n < 200; ++n) {
        log.append(Line(n));
    }
    log.setText("");
    EXPECT_EQ(Shown(), "");
    log.append("AA \r\n");
    EXPECT_EQ(log.text(), "AA \r\n");
}

} // namespace
