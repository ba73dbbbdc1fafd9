// Log append cost in the real log box: the console's window built by the Qt front, its 451x110
// log filled with a given number of lines, then lines appended as the receive poll appends them
// (append, caret to end), the window's events processed after each as between two ticks, and
// the held lines put into the box every eight lines, as a stream polled every 10 ms brings them
// to the box's 80 ms hold.
//
// Long lines are 920 bytes as hex (what one 10 ms tick brings at 921600 baud), short lines a
// 15-byte frame. Cost is the GUI thread's CPU time per line, with the ratio to the same lines on
// a log of 10^3 lines.

#include "bench/table.h"
#include "frame/hex_text.h"
#include "serial/port_connection.h"
#include "ui/qt/qt_controls.h"
#include "ui/qt/qt_front.h"
#include "ui/window_definition.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <random>
#include <string>

namespace {

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class Lines {
  public:
    explicit Lines(std::size_t bytes) : bytes_(bytes) {}
    std::string Next() {
        std::vector<std::uint8_t> b(bytes_);
        for (auto& x : b) {
            x = static_cast<std::uint8_t>(random_());
        }
        return frame::ToHexText(b) + "\r\n";
    }

  private:
    std::size_t bytes_;
    std::mt19937 random_{11};
};

constexpr int kLinesPerHold = ui::qt::QtLogEdit::kHoldMs / serial::kPollPeriodMs;

struct Cost {
    double cpu_us = 0;     // mean GUI-thread CPU per line
    double longest_ms = 0; // the longest single append, wall clock
};

class LogBench {
  public:
    LogBench() {
        front_.BuildWindow(ui::WindowDefinition());
        front_.window()->show();
        (void)QTest::qWaitForWindowExposed(front_.window(), 10000);
        box_ = front_.window()->findChild<QPlainTextEdit*>("编辑框_显示");
    }

    // Fills the log with `count` lines (or up to `characters`), then appends `appends` lines.
    Cost Measure(std::size_t line_bytes, std::size_t count, std::size_t characters, int appends) {
        Lines lines(line_bytes);
        std::string text;
        const std::size_t line_length = line_bytes * 3 + 1; // as the widget holds it
        if (characters > 0) {
            count = characters / line_length;
        }
        text.reserve(count * (line_length + 1));
        const std::string sample = lines.Next();
        for (std::size_t i = 0; i < count; ++i) {
            text += sample; // one line repeated: the widget does not care what the digits are
        }
        log().setText("");
        log().setText(text);
        text = std::string();
        log().caretToEnd();
        QApplication::processEvents();

        Cost cost;
        const double start = ThreadCpuSeconds();
        for (int i = 0; i < appends; ++i) {
            const std::string line = lines.Next();
            const auto begin = std::chrono::steady_clock::now();
            log().append(line);
            log().caretToEnd();
            if ((i + 1) % kLinesPerHold == 0 || i + 1 == appends) {
                log().ShowHeld();
            }
            QApplication::processEvents();
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - begin;
            cost.longest_ms = std::max(cost.longest_ms, took.count());
        }
        cost.cpu_us = (ThreadCpuSeconds() - start) * 1e6 / appends;
        return cost;
    }

  private:
    ui::qt::QtLogEdit& log() {
        return dynamic_cast<ui::qt::QtLogEdit&>(front_.EditBox("编辑框_显示"));
    }

    ui::qt::QtFront front_;
    QPlainTextEdit* box_ = nullptr;
};

std::string Us(double us) {
    return bench::Fixed(us, 0) + " us";
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    LogBench bench;
    constexpr std::size_t kLong = 920;
    constexpr std::size_t kShort = 15;
    const std::size_t maximum = ui::qt::QtLogEdit::kScrollbackMaximum;

    const Cost long3 = bench.Measure(kLong, 1000, 0, 1000);
    bench::Row("log append, 920-byte line, 10^3 lines in the log", Us(long3.cpu_us), "baseline");
    const Cost long4 = bench.Measure(kLong, 10000, 0, 1000);
    bench::Row("log append, 920-byte line, 10^4 lines in the log", Us(long4.cpu_us),
               bench::Fixed(long4.cpu_us / long3.cpu_us, 2) + "x baseline (target <= 2)");
    // Starting just under the maximum, enough lines to pass it and trim at least once.
    const int past = static_cast<int>(maximum / 4 / (kLong * 3 + 1)) + 1000;
    const Cost trim = bench.Measure(kLong, 0, maximum - 4 * (kLong * 3 + 1), past);
    bench::Row("log append, 920-byte line, at the maximum while trimming (" + std::to_string(past) +
                   " lines, amortised)",
               Us(trim.cpu_us),
               bench::Fixed(trim.cpu_us / long3.cpu_us, 2) +
                   "x baseline (target <= 2); longest append " + bench::Fixed(trim.longest_ms, 0) +
                   " ms");
    const Cost short3 = bench.Measure(kShort, 1000, 0, 5000);
    bench::Row("log append, 15-byte line, 10^3 lines in the log", Us(short3.cpu_us), "baseline");
    const Cost short6 = bench.Measure(kShort, 1000000, 0, 5000);
    bench::Row("log append, 15-byte line, 10^6 lines in the log", Us(short6.cpu_us),
               bench::Fixed(short6.cpu_us / short3.cpu_us, 2) + "x baseline (target <= 2)");
    return 0;
}
