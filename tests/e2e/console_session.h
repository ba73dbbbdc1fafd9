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
#include "tests/support/window_driver.h"
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

using test_support::kWatchdogMs;
using test_support::Q;

// "01 10 00 1F " for the bytes, as the log shows them.
inline std::string Hex(const frame::Frame& bytes) {
    return frame::ToHexText(bytes);
}

class ConsoleSession : public test_support::WindowDriver {
  public:
    ConsoleSession() {
        console_ = ui::StartConsole(front_, pcomm_, serial::SystemPortMap());
        Show();
        modalGuard_.setInterval(50);
        QObject::connect(&modalGuard_, &QTimer::timeout, [this] { CloseModalBox(); });
        modalGuard_.start();
    }

    QWidget* window() const override { return front_.window(); }

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
