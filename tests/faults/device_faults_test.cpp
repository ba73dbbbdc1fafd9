// Faults of the device and the line, in the real window over the real library: a device that
// vanishes and comes back, a far end that stops reading, a storm of bytes under an open message
// box, a port another program holds, a device the user may not open.

#include "frame/frame.h"
#include "frame/hex_text.h"
#include "tests/faults/fault_console.h"
#include "tests/support/pty_link.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <random>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using faults::FaultConsole;
using faults::kWatchdogMs;

constexpr int kCom = 230;
const std::string kPort = "COM" + std::to_string(kCom);

// What 按钮_设置波特率 sends with the window's first choices: module 1, 9600 baud.
frame::Frame SetBaudFrame() {
    const std::array<frame::Byte, 1> baud{0};
    return frame::CommandFrame(1, frame::kRelayHead, 3, baud);
}

std::string Text(const frame::Frame& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Reads whatever the console has sent until the line has been quiet for a moment.
std::string Drain(test_support::PtyPort& device) {
    std::string all;
    for (std::string got; !(got = device.ReadMaster(1 << 16, 200ms)).empty();) {
        all += got;
    }
    return all;
}

// Where two long hex texts first differ, for a failure message that does not print them whole.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return static_cast<std::size_t>(ia - a.begin());
}

class WindowOnPty : public ::testing::Test {
  protected:
    // The library stays loaded for the whole program: leave the port closed for the next test.
    void TearDown() override {
        if (console.Caption("按钮_开关端口") == "close") {
            console.Click("按钮_开关端口");
        }
    }

    test_support::PtyLink link{kCom};
    serial::PcommBinding pcomm = faults::RealLibrary();
    FaultConsole console{pcomm};
};

TEST_F(WindowOnPty, ADeviceThatVanishesIsClosedQuietlyAndOpensAgainWhenItIsBack) {
    ASSERT_TRUE(console.Open(kCom)) << console.Log();
    ASSERT_EQ(link.WriteMaster("\x01\x02"), 2u);
    ASSERT_TRUE(console.WaitForReceived("01 02 ")) << console.Log();
    const std::string before = console.Log();

    // Unplugged: the far end hangs up and its link goes.
    link.CloseMaster();
    fs::remove(link.linkPath());
    QTest::qWait(500); // some fifty poll ticks on a dead port
    console.Click("按钮_设置波特率");
    QTest::qWait(100);
    EXPECT_EQ(console.Log(), before);
    EXPECT_TRUE(console.messages().empty()) << console.messages().front();
    EXPECT_EQ(console.Caption("按钮_开关端口"), "close");

    console.Click("按钮_开关端口");
    EXPECT_EQ(console.Caption("按钮_开关端口"), "start");
    EXPECT_EQ(console.Log(), before + "port close\n");

    // "start" while it is still away says so.
    console.Click("按钮_开关端口");
    EXPECT_EQ(console.messages(), std::vector<std::string>{"Failed to open serial port-2"});
    EXPECT_EQ(console.Caption("按钮_开关端口"), "start");

    // Plugged in again, behind a new pseudo-terminal.
    test_support::PtyPort back(kCom, link.linksDir());
    ASSERT_TRUE(console.Open(kCom)) << console.Log();
    EXPECT_TRUE(console.Log().ends_with("port opened: " + kPort + " 9600\n")) << console.Log();
    console.Click("按钮_设置波特率");
    EXPECT_EQ(back.ReadMaster(SetBaudFrame().size()), Text(SetBaudFrame()));
    ASSERT_EQ(back.WriteMaster("\x03\x04"), 2u);
    EXPECT_TRUE(console.WaitForReceived("01 02 03 04 ")) << console.Log();
    EXPECT_EQ(console.messages().size(), 1u);
}

TEST_F(WindowOnPty, AFarEndThatStopsReadingNeverHoldsTheWindow) {
    ASSERT_TRUE(console.Open(kCom)) << console.Log();
    console.Click("按钮_设置波特率");
    ASSERT_EQ(link.ReadMaster(SetBaudFrame().size()), Text(SetBaudFrame()));

    // The device stops reading and the line backs up until the driver takes nothing more: in
    // pieces down to single bytes (it still takes a small write where a large one no longer
    // fits), and again after a pause (it moves bytes between its own buffers for a while).
    const int writer = open(link.slavePath().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    const std::string filler(4096, '\x55');
    std::size_t backlog = 0;
    for (int quiet = 0, round = 0; quiet < 3 && round < 200; ++round) {
        std::size_t taken = 0;
        for (const std::size_t size : {std::size_t{4096}, std::size_t{9}, std::size_t{1}}) {
            for (ssize_t n; (n = write(writer, filler.data(), size)) > 0;) {
                taken += static_cast<std::size_t>(n);
            }
        }
        backlog += taken;
        quiet = taken == 0 ? quiet + 1 : 0;
        QTest::qWait(50);
    }
    close(writer);

    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        console.Click("按钮_设置波特率");
        const auto held = std::chrono::steady_clock::now() - start;
        ASSERT_LT(held, std::chrono::milliseconds(kWatchdogMs / 2)) << "click " << i;
    }
    // The window still receives what the device sends.
    ASSERT_EQ(link.WriteMaster("\xAB\xCD"), 2u);
    EXPECT_TRUE(console.WaitForReceived("AB CD ")) << console.Log();

    // Once the device reads again, what the console sends arrives whole.
    EXPECT_GE(Drain(link.port()).size(), backlog);
    console.Click("按钮_设置波特率");
    EXPECT_EQ(link.ReadMaster(SetBaudFrame().size()), Text(SetBaudFrame()));
    EXPECT_TRUE(console.messages().empty()) << console.messages().front();
}

TEST_F(WindowOnPty, AStormOfBytesUnderAnOpenMessageBoxAllReachesTheLogInOrder) {
    ASSERT_TRUE(console.Open(kCom)) << console.Log();

    std::string storm(200 * 1024, '\0');
    std::mt19937 random(8);
    for (char& c : storm) {
        c = static_cast<char>(random() & 0xFF);
    }
    const std::string expected =
        frame::ToHexText({reinterpret_cast<const std::uint8_t*>(storm.data()), storm.size()});

    // The device writes the storm in pieces of any size while the box is open.
    std::atomic<bool> boxOpen = false;
    std::atomic<bool> written = false;
    std::size_t sent = 0;
    std::thread device([&] {
        while (!boxOpen) {
            std::this_thread::sleep_for(5ms);
        }
        std::mt19937 sizes(9);
        while (sent < storm.size()) {
            const std::size_t piece =
                std::min<std::size_t>(1 + sizes() % 3000, storm.size() - sent);
            const std::size_t n = link.WriteMaster(std::string_view(storm).substr(sent, piece));
            sent += n;
            if (n < piece) {
                break; // the console stopped reading for seconds: the check below says so
            }
        }
        written = true;
    });

    // The box stays open until the storm is over and the log has stopped growing.
    const auto logSize = [&] {
        return console.Find<QPlainTextEdit>("编辑框_显示")->document()->characterCount();
    };
    int lastSize = -1;
    int quietTicks = 0;
    const auto openedAt = std::chrono::steady_clock::now();
    console.onBoxOpened = [&](const std::string&) { boxOpen = true; };
    console.holdBox = [&] {
        const int size = logSize();
        quietTicks = size == lastSize ? quietTicks + 1 : 0;
        lastSize = size;
        const bool watchdog = std::chrono::steady_clock::now() - openedAt > 60s;
        return !watchdog && !(written && quietTicks >= 25);
    };
    console.Click("按钮_场景"); // no scene chosen yet: "Please enter the data to be sent"
    boxOpen = true;             // lets the device end if the box never opened
    device.join();

    EXPECT_EQ(console.messages(), std::vector<std::string>{"Please enter the data to be sent"});
    EXPECT_EQ(sent, storm.size());
    const std::string received = console.ReceivedHex();
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected) << "the log differs from what the device sent from byte "
                                      << FirstDifference(received, expected) / 3;
}

// The second console runs in a process of its own, with its own copy of the library.
TEST_F(WindowOnPty, ASecondConsoleOnTheSamePortIsToldItIsBusy) {
    ASSERT_TRUE(console.Open(kCom)) << console.Log();
    const auto second = faults::RunProgram({SECOND_CONSOLE_PATH, PCOMM_DLL_PATH, kPort});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.out, "message: Failed to open serial port-3\n");

    // Closed here, it is free for the other program.
    console.Click("按钮_开关端口");
    const auto after = faults::RunProgram({SECOND_CONSOLE_PATH, PCOMM_DLL_PATH, kPort});
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_EQ(after.out, "log: port opened: " + kPort + " 9600\n");
}

// Root may open any device, so the user without access is played by "nobody".
TEST(DeviceWithoutAccess, TheUserIsToldPermissionIsDenied) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a program as another user";
    }
    constexpr uid_t kNobody = 65534;
    test_support::PtyLink link(kCom);
    // The links folder and the programs are open to every user; the device only to root.
    fs::permissions(link.runtimeDir(), fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
    ASSERT_EQ(chmod(link.slavePath().c_str(), 0600), 0);
    const fs::path programs = link.runtimeDir() / "programs";
    fs::create_directories(programs / "DLL");
    fs::copy_file(SECOND_CONSOLE_PATH, programs / "second_console");
    fs::copy_file(PCOMM_DLL_PATH, programs / "DLL/PCOMM.DLL");
    const std::vector<std::string> args{(programs / "second_console").string(),
                                        (programs / "DLL/PCOMM.DLL").string(), kPort};
    // The suppression file of a sanitizer build may lie where that user cannot read it; the
    // program loads no library that would need it.
    const std::vector<std::string> unset{"LSAN_OPTIONS"};

    const auto denied = faults::RunProgram(args, kNobody, unset);
    EXPECT_EQ(denied.exitCode, 0);
    EXPECT_EQ(denied.out, "message: Failed to open serial port-4\n");

    // The same program as root opens it: the refusal was the permission.
    const auto root = faults::RunProgram(args, std::nullopt, unset);
    EXPECT_EQ(root.exitCode, 0);
    EXPECT_EQ(root.out, "log: port opened: " + kPort + " 9600\n");
}

} // namespace
