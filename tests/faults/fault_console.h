#pragma once
// The console as the program starts it, the real Qt window, over a serial library the test
// chooses (normally the real PCOMM.DLL this build made) and the system's port map, used with
// the user's hands: clicks on widgets found by object name, picks from a combo box's open list.
//
// Message boxes: every box the console opens is recorded (messages()) and closed at once, unless
// the test's holdBox() answers true, in which case the box stays open (and the console's timer
// keeps ticking under it) and the question is asked again every 20 ms. A click that opens a box
// returns when the box has closed.
//
// Helpers for the faults around it: running another program and reading what it printed.

#include "serial/pcomm.h"
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
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace faults {

using test_support::kWatchdogMs;
using test_support::Q;

class FaultConsole : public test_support::WindowDriver {
  public:
    explicit FaultConsole(serial::Pcomm& pcomm) {
        console_ = ui::StartConsole(front_, pcomm, serial::SystemPortMap());
        Show();
        boxGuard_.setInterval(20);
        QObject::connect(&boxGuard_, &QTimer::timeout, [this] { WatchBox(); });
        boxGuard_.start();
    }

    QWidget* window() const override { return front_.window(); }
    controls::MessageBox& messageBox() { return front_.Messages(); }

    // Runs the event loop (the poll timer included) until the log shows `hex` received.
    bool WaitForReceived(const std::string& hex) const {
        return QTest::qWaitFor([&] { return ReceivedHex() == hex; }, kWatchdogMs);
    }

    // Picks COM<com> and presses "start"; true when the port opened.
    bool Open(int com) {
        Pick("组合框_串口", "COM" + std::to_string(com));
        Click("按钮_开关端口");
        return Caption("按钮_开关端口") == "close";
    }

    // While this answers true, an open box stays open.
    std::function<bool()> holdBox;
    // Runs once when a box has opened, with its text.
    std::function<void(const std::string&)> onBoxOpened;

    // The texts of the message boxes the console opened, in order.
    const std::vector<std::string>& messages() const { return messages_; }

  private:
    void WatchBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (box != seen_) {
            seen_ = box;
            messages_.push_back(box->text().toStdString());
            if (onBoxOpened) {
                onBoxOpened(messages_.back());
            }
        }
        if (holdBox && holdBox()) {
            return;
        }
        seen_ = nullptr;
        box->done(QMessageBox::Ok);
    }

    ui::qt::QtFront front_;
    std::unique_ptr<ui::Console> console_;
    QTimer boxGuard_;
    QMessageBox* seen_ = nullptr;
    std::vector<std::string> messages_;
};

// The real library this build made, as the console binds it; a failure to bind fails the test.
inline serial::PcommBinding RealLibrary() {
    return serial::PcommBinding(serial::SystemLibraryLoader(), {PCOMM_DLL_PATH},
                                [](const std::string& m) { ADD_FAILURE() << m; });
}

// What another program printed and how it ended.
struct Finished {
    std::string out;
    int exitCode = -1; // -1 when it did not exit normally
};

// Runs a program with the test's environment less the variables named in `unset`, optionally
// as another user (uid and gid, no supplementary groups), and collects its standard output. The
// watchdog kills it if it has not ended after kWatchdogMs.
inline Finished RunProgram(const std::vector<std::string>& args,
                           std::optional<uid_t> as_user = std::nullopt,
                           const std::vector<std::string>& unset = {}) {
    std::vector<std::string> env_strings;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool keep = true;
        for (const auto& name : unset) {
            keep = keep && !entry.starts_with(name + "=");
        }
        if (keep) {
            env_strings.push_back(entry);
        }
    }
    std::vector<char*> env;
    for (auto& e : env_strings) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    std::vector<std::string> arg_strings = args;
    std::vector<char*> argv;
    for (auto& a : arg_strings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        if (as_user &&
            (setgroups(0, nullptr) != 0 || setgid(*as_user) != 0 || setuid(*as_user) != 0)) {
            _exit(126);
        }
        execve(argv[0], argv.data(), env.data());
        _exit(127);
    }
    close(out[1]);
    Finished finished;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWatchdogMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd pfd{out[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
            kill(child, SIGKILL);
            break;
        }
        char chunk[4096];
        const ssize_t n = read(out[0], chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        finished.out.append(chunk, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) {
        finished.exitCode = WEXITSTATUS(status);
    }
    return finished;
}

} // namespace faults
