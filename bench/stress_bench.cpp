// The receive path end to end: the console's real window over the real PCOMM.DLL, in this
// process, with COM90 linked to a pseudo-terminal. A streamer thread writes random bytes into the
// pty's master side, paced at a given rate (or as fast as the pty takes them), and every line the
// console appends to its log is checked byte for byte against the stream as it is appended, by a
// recording decorator around the log's control, so lines the scrollback maximum later cuts count
// too. The console's CPU time is the process's minus the streamer's own thread and the checker's
// own time.
//
//   stress_bench [seconds = 60] [bytes per second = 92160; 0: as fast as the pty takes them]

#include "bench/table.h"
#include "serial/pcomm_binding.h"
#include "serial/port_map_source.h"
#include "tests/support/pty_link.h"
#include "ui/console.h"
#include "ui/front.h"
#include "ui/qt/qt_controls.h"
#include "ui/qt/qt_front.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCom = 90;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double RssBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The stream: the same pseudo-random bytes for the streamer and for the checker.
class Stream {
  public:
    std::uint8_t Next() {
        if (left_ == 0) {
            state_ += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = state_;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word_ = z ^ (z >> 31);
            left_ = 8;
        }
        --left_;
        const auto b = static_cast<std::uint8_t>(word_);
        word_ >>= 8;
        return b;
    }

  private:
    std::uint64_t state_ = 2024;
    std::uint64_t word_ = 0;
    int left_ = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Checks hex text ("0A FF \r\n" lines) against the stream, in order.
class Checker {
  public:
    void Line(const std::string& text) {
        if (text.starts_with("port ")) {
            return;
        }
        for (std::size_t i = 0; i + 1 < text.size(); i += 3) {
            const int high = HexDigit(text[i]);
            const int low = HexDigit(text[i + 1]);
            if (high < 0 || low < 0) {
                break;
            }
            ++seen_;
            if (matched_ + 1 == seen_ && static_cast<int>(stream_.Next()) == high * 16 + low) {
                ++matched_;
            }
        }
    }
    // Bytes seen in the text, and how many of them, from the first on, equal the stream.
    std::uint64_t seen() const { return seen_; }
    std::uint64_t matched() const { return matched_; }

  private:
    Stream stream_;
    std::uint64_t seen_ = 0;
    std::uint64_t matched_ = 0;
};

// The log's control, recorded: every appended line goes through the checker first.
class RecordingLog final : public controls::EditBox {
  public:
    explicit RecordingLog(controls::EditBox& inner) : inner_(inner) {}
    std::string text() const override { return inner_.text(); }
    void setText(const std::string& text) override { inner_.setText(text); }
    void append(const std::string& text) override {
        const double begin = ThreadCpuSeconds();
        checker.Line(text);
        ++lines;
        checking_seconds += ThreadCpuSeconds() - begin;
        inner_.append(text);
    }
    void caretToEnd() override { inner_.caretToEnd(); }

    Checker checker;
    std::uint64_t lines = 0;
    double checking_seconds = 0; // the checker's own CPU time, not the console's

  private:
    controls::EditBox& inner_;
};

// The Qt front with the log's control handed out recorded.
class RecordingFront final : public ui::Front, public ui::ControlLookup {
  public:
    explicit RecordingFront(ui::qt::QtFront& front) : front_(front) {}
    void BuildWindow(const ui::WindowLayout& definition) override {
        front_.BuildWindow(definition);
        log = std::make_unique<RecordingLog>(front_.EditBox(kLog));
    }
    ControlLookup& Controls() override { return *this; }
    controls::MessageBox& Messages() override { return front_.Messages(); }
    void Connect(const ui::ControlDef& control, std::function<void()> handler) override {
        front_.Connect(control, std::move(handler));
    }
    void Show() override { front_.Show(); }
    int Run() override { return front_.Run(); }

    controls::PushButton& PushButton(const std::string& n) override { return front_.PushButton(n); }
    controls::CheckBox& CheckBox(const std::string& n) override { return front_.CheckBox(n); }
    controls::RadioButton& RadioButton(const std::string& n) override {
        return front_.RadioButton(n);
    }
    controls::ComboBox& ComboBox(const std::string& n) override { return front_.ComboBox(n); }
    controls::EditBox& EditBox(const std::string& n) override {
        return n == kLog ? *log : front_.EditBox(n);
    }
    controls::Timer& Timer(const std::string& n) override { return front_.Timer(n); }

    static constexpr const char* kLog = "编辑框_显示";
    std::unique_ptr<RecordingLog> log;

  private:
    ui::qt::QtFront& front_;
};

struct StreamerResult {
    std::uint64_t sent = 0;
    double seconds = 0;     // from the first write to the last byte taken
    double cpu_seconds = 0; // the streamer thread's own CPU
};

// Writes the stream into the pty master: paced by the clock (a writer that fell behind
// catches up at once), or as fast as the pty takes bytes when `rate` is 0.
StreamerResult RunStreamer(int fd, double seconds, double rate, const std::atomic<bool>& stop) {
    StreamerResult r;
    Stream stream;
    const auto total = static_cast<std::uint64_t>(rate * seconds);
    const auto start = Clock::now();
    const auto end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    char chunk[4096];
    std::size_t pending = 0; // bytes of chunk not yet taken
    std::size_t offset = 0;
    while (!stop) {
        const auto now = Clock::now();
        std::uint64_t due = 0;
        if (rate > 0) {
            if (r.sent >= total) {
                break;
            }
            due = std::min<std::uint64_t>(total,
                                          static_cast<std::uint64_t>(rate * Seconds(now - start))) -
                  std::min<std::uint64_t>(r.sent, total);
            due = std::min<std::uint64_t>(due, total - r.sent);
        } else {
            if (now >= end) {
                break;
            }
            due = sizeof chunk;
        }
        if (pending == 0 && due > 0) {
            pending = static_cast<std::size_t>(std::min<std::uint64_t>(due, sizeof chunk));
            for (std::size_t i = 0; i < pending; ++i) {
                chunk[i] = static_cast<char>(stream.Next());
            }
            offset = 0;
        }
        if (pending > 0) {
            const ssize_t n = write(fd, chunk + offset, pending);
            if (n > 0) {
                pending -= static_cast<std::size_t>(n);
                offset += static_cast<std::size_t>(n);
                r.sent += static_cast<std::uint64_t>(n);
                continue;
            }
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 100); // the pty is full: the console has not read yet
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    r.seconds = Seconds(Clock::now() - start);
    r.cpu_seconds = ThreadCpuSeconds();
    return r;
}

std::string Mib(double bytes) {
    return bench::Fixed(bytes / (1 << 20), 1) + " MiB";
}

std::string CutList(const std::vector<double>& rss) {
    std::string list;
    for (double r : rss) {
        list += (list.empty() ? "" : ", ") + bench::Fixed(r / (1 << 20), 0);
    }
    return list + " MiB";
}

int Run(int argc, char* argv[]) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const double rate = argc > 2 ? std::atof(argv[2]) : 92160;
    int qt_argc = 1;
    QApplication app(qt_argc, argv);

    test_support::PtyLink link(kCom);
    ui::qt::QtFront qt_front;
    RecordingFront front(qt_front);
    serial::PcommBinding pcomm(serial::SystemLibraryLoader(), {PCOMM_DLL_PATH},
                               [](const std::string& message) {
                                   std::fprintf(stderr, "%s\n", message.c_str());
                                   std::exit(EXIT_FAILURE);
                               });
    const auto console = ui::StartConsole(front, pcomm, serial::SystemPortMap());
    QWidget* window = qt_front.window();
    window->show();
    if (!QTest::qWaitForWindowExposed(window, 10000)) {
        std::fprintf(stderr, "the console window was not shown\n");
        return EXIT_FAILURE;
    }

    // Pick COM90 and press start, as a user would.
    auto* ports = window->findChild<QComboBox*>("组合框_串口");
    ports->showPopup(); // the list is filled as it opens
    ports->hidePopup();
    ports->setCurrentIndex(ports->findText("COM" + QString::number(kCom)));
    window->findChild<QAbstractButton*>("按钮_开关端口")->click();
    if (ports->currentIndex() < 0 ||
        window->findChild<QAbstractButton*>("按钮_开关端口")->text() != "close") {
        std::fprintf(stderr, "the console did not open COM%d\n", kCom);
        return EXIT_FAILURE;
    }
    auto* box = window->findChild<QPlainTextEdit*>("编辑框_显示");

    // The longest time between two ticks of the receive poll.
    auto* poll_timer = window->findChild<QTimer*>("时钟_接收数据");
    Clock::time_point last_tick{};
    double longest_gap = 0;
    QObject::connect(poll_timer, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        if (last_tick != Clock::time_point{}) {
            longest_gap = std::max(longest_gap, Seconds(now - last_tick));
        }
        last_tick = now;
    });
    // Memory until the log first reaches its maximum, and after.
    double rss_at_cut = 0;
    double bytes_at_cut = 0;
    std::vector<double> rss_at_cuts; // sampled just after each cut
    int previous_length = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const int length = box->document()->characterCount();
        if (length < previous_length) {
            rss_at_cuts.push_back(RssBytes());
            if (rss_at_cut == 0) {
                rss_at_cut = rss_at_cuts.back();
                bytes_at_cut = static_cast<double>(front.log->checker.seen());
            }
        }
        previous_length = length;
    });
    sampler.start(200);

    const double rss_start = RssBytes();
    const double cpu_start = ProcessCpuSeconds();
    const auto start = Clock::now();
    std::atomic<bool> stop{false};
    StreamerResult streamed;
    std::atomic<bool> streamer_done{false};
    std::thread streamer([&] {
        streamed = RunStreamer(link.masterFd(), seconds, rate, stop);
        streamer_done = true;
    });

    // Run the window until the streamer is done and the console has shown every byte sent
    // (or, after the streamer ends, ten seconds pass: bytes lost for good).
    std::optional<Clock::time_point> streamer_end;
    const auto watchdog = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(seconds * 4 + 60));
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (streamer_done && !streamer_end) {
            streamer_end = Clock::now();
        }
        if (streamer_end && (front.log->checker.seen() >= streamed.sent ||
                             Clock::now() - *streamer_end > std::chrono::seconds(10))) {
            loop.quit();
        }
        if (Clock::now() > watchdog) {
            stop = true;
        }
    });
    check.start(50);
    loop.exec();
    streamer.join();
    const double wall = Seconds(Clock::now() - start);
    const double cpu =
        ProcessCpuSeconds() - cpu_start - streamed.cpu_seconds - front.log->checking_seconds;
    const double rss_end = RssBytes();

    const Checker& checker = front.log->checker;
    const double received = static_cast<double>(checker.seen());
    const double mib = received / (1 << 20);
    const std::string label = rate > 0 ? bench::Fixed(rate, 0) + " B/s" : "unpaced";
    const std::string run = "stress " + label + ", " + bench::Fixed(seconds, 0) + " s: ";

    // The log's own text, when nothing was cut from it.
    std::string log_check = "log text not compared (the scrollback maximum cut it)";
    if (rss_at_cut == 0) {
        Checker text_checker;
        QTest::qWait(3 * ui::qt::QtLogEdit::kHoldMs); // the box takes in the last held lines
        const std::string text = box->toPlainText().toStdString();
        std::size_t begin = 0;
        while (begin < text.size()) {
            const std::size_t end = std::min(text.find('\n', begin), text.size());
            text_checker.Line(text.substr(begin, end - begin));
            begin = end + 1;
        }
        log_check = "log text: " + std::to_string(text_checker.matched()) + " of " +
                    std::to_string(streamed.sent) + " bytes equal";
    }

    const double paced = rate > 0 ? rate : 0;
    const double achieved = static_cast<double>(streamed.sent) / streamed.seconds;
    bench::Row(run + "paced / achieved rate",
               (rate > 0 ? bench::Fixed(paced, 0) : std::string("-")) + " / " +
                   bench::Fixed(achieved, 0) + " B/s",
               rate > 0 ? bench::Fixed(achieved / paced, 4) + " (target 1)" : "the pty's limit");
    bench::Row(run + "bytes sent / appended / lost",
               std::to_string(streamed.sent) + " / " + std::to_string(checker.seen()) + " / " +
                   std::to_string(streamed.sent - checker.matched()),
               std::to_string(front.log->lines) + " lines; " + log_check);
    bench::Row(run + "console CPU", bench::Fixed(cpu / mib, 3) + " s/MiB",
               bench::Fixed(100 * cpu / wall, 1) + "% of one core");
    if (rss_at_cut > 0) {
        bench::Row(run + "RSS growth",
                   bench::Fixed((rss_at_cut - rss_start) / bytes_at_cut, 1) +
                       " B per received byte until the maximum",
                   "after it: " + Mib(rss_end - rss_at_cut) + " over " +
                       Mib(received - bytes_at_cut) +
                       " received; RSS after each cut: " + CutList(rss_at_cuts));
    } else {
        bench::Row(run + "RSS growth",
                   bench::Fixed((rss_end - rss_start) / received, 1) + " B per received byte",
                   Mib(rss_end - rss_start) + " over " + Mib(received));
    }
    bench::Row(run + "longest gap between two ticks", bench::Fixed(longest_gap * 1000, 0) + " ms",
               "poll period 10 ms");
    return streamed.sent == checker.matched() ? EXIT_SUCCESS : EXIT_FAILURE;
}

} // namespace

int main(int argc, char* argv[]) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "stress_bench: %s\n", e.what());
        return EXIT_FAILURE;
    }
}
