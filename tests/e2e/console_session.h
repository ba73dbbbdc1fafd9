#pragma once
// The console as the program starts it: the real Qt window over the real PCOMM.DLL (the one this
// build made) and the system's port map. A test points XDG_RUNTIME_DIR at its own links folder
// before opening the port list, puts a device behind a COM link, and then uses the window with
// the user's hands: clicks on widgets found by object name and picks from a combo box's open list.
//
// A message box the console opens is modal and would block the test until its timeout; the
// session closes any such box at once and keeps its text, so the test fails with that text
// instead (see messages()).

#include "frame/frame.h"
#include "frame/hex_text.h"
#include "serial/pcomm_binding.h"
#include "serial/port_map_source.h"
#include "ui/console.h"
#include "ui/front.h"
#include "ui/qt/qt_front.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

// Generous bound for anything that should happen soon; only guards against a hang.
inline constexpr int kWatchdogMs = 10000;

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// "01 10 00 1F " for the bytes, as the log shows them.
inline std::string Hex(const frame::Frame& bytes) {
    return frame::ToHexText(bytes);
}

class ConsoleSession {
  public:
    ConsoleSession() {
        console_ = ui::StartConsole(front_, pcomm_, serial::SystemPortMap());
        window()->show();
        QApplication::setActiveWindow(window());
        if (!QTest::qWaitForWindowExposed(window()) || !QTest::qWaitForWindowActive(window())) {
            throw std::runtime_error("the console window was not shown");
        }
        modalGuard_.setInterval(50);
        QObject::connect(&modalGuard_, &QTimer::timeout, [this] { CloseModalBox(); });
        modalGuard_.start();
    }

    QWidget* window() const { return front_.window(); }

    template <typename T = QWidget> T* Find(const std::string& name) const {
        T* found = window()->findChild<T*>(Q(name));
        if (found == nullptr) {
            throw std::runtime_error("the window has no " +
                                     std::string(T::staticMetaObject.className()) + " named " +
                                     name);
        }
        return found;
    }

    // A left click in the middle of the widget.
    void Click(const std::string& name) const {
        QWidget* widget = Find(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

    void ClickTab(int page) const {
        QTabBar* bar = Find<QTabWidget>("选择夹1")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    // Opens the box's list with a click on its arrow (the list is filled afresh as it opens,
    // for the port list) and clicks the item reading `text`.
    void Pick(const std::string& box_name, const std::string& text) const {
        auto* box = Find<QComboBox>(box_name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        if (!QTest::qWaitFor([box] { return box->view()->isVisible(); }, kWatchdogMs)) {
            throw std::runtime_error("the list of " + box_name + " did not open");
        }
        // The list ignores a release too close to its opening; a user's click comes later.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const int row = box->findText(Q(text), Qt::MatchExactly);
        if (row < 0) {
            box->hidePopup();
            throw std::runtime_error(box_name + " does not list " + text);
        }
        QAbstractItemView* view = box->view();
        const QModelIndex item = view->model()->index(row, 0);
        view->scrollTo(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
        if (!QTest::qWaitFor([box] { return !box->view()->isVisible(); }, kWatchdogMs)) {
            throw std::runtime_error("the list of " + box_name + " did not close after a pick");
        }
    }

    std::string Log() const {
        return Find<QPlainTextEdit>("编辑框_显示")->toPlainText().toStdString();
    }

    // Every byte received so far, as "01 10 00 1F " text: the log's hex lines joined, without
    // the port's own lines. The log's line breaks only show where a poll ended.
    std::string ReceivedHex() const {
        std::istringstream lines(Log());
        std::string digits;
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("port ")) {
                continue;
            }
            for (char c : line) {
                if (std::isxdigit(static_cast<unsigned char>(c))) {
                    digits += c;
                }
            }
        }
        std::string spaced;
        for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
            spaced += digits.substr(i, 2) + " ";
        }
        return spaced;
    }

    // Clicks the button, lets the poll timer read until `answer_size` more bytes have been
    // received (or the watchdog ends the wait) and returns what was received after the click.
    std::string ClickAndReceive(const std::string& button, std::size_t answer_size) const {
        const std::string before = ReceivedHex();
        Click(button);
        const std::size_t want = before.size() + 3 * answer_size;
        (void)QTest::qWaitFor([&] { return ReceivedHex().size() >= want; }, kWatchdogMs);
        return ReceivedHex().substr(before.size());
    }

    // The texts of the message boxes the console opened (and the session closed).
    const std::vector<std::string>& messages() const { return messages_; }

  private:
    void CloseModalBox() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages_.push_back(box->text().toStdString());
            box->done(QMessageBox::Ok);
        }
    }

    ui::qt::QtFront front_;
    serial::PcommBinding pcomm_{serial::SystemLibraryLoader(),
                                {PCOMM_DLL_PATH},
                                [](const std::string& m) { ADD_FAILURE() << m; }};
    std::unique_ptr<ui::Console> console_;
    QTimer modalGuard_;
    std::vector<std::string> messages_;
};

// The frame the devices answer a function 16 write with: address, 10, first register, count.
inline frame::Frame WriteResponse(frame::Byte address, std::uint16_t first, std::uint16_t count) {
    frame::Frame f(8, 0);
    f[0] = address;
    f[1] = 0x10;
    frame::PutWord(f, 2, first);
    frame::PutWord(f, 4, count);
    frame::SealFrame(f);
    return f;
}

} // namespace e2e
