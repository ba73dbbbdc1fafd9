// A device that streams without pause: every byte it sends reaches the log, in order, while the
// console keeps up with a full 921600-baud line. The figures for long runs come from
// bench/stress_bench; this short run only checks that nothing is lost.

#include "tests/e2e/console_session.h"
#include "tests/support/pty_link.h"

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace e2e {
namespace {

TEST(Stream, EveryByteOfAFullLineReachesTheLogInOrder) {
    constexpr int kRate = 92160; // bytes per second: 921600 baud, 8N1
    constexpr int kSeconds = 3;
    constexpr int kTotal = kRate * kSeconds;

    test_support::PtyLink link(92);
    ConsoleSession console;
    console.Pick("组合框_串口", "COM92");
    console.Click("按钮_开关端口");
    ASSERT_TRUE(console.Log().starts_with("port opened: COM92")) << console.Log();

    std::string sent(kTotal, '\0');
    std::mt19937 random(92);
    for (char& c : sent) {
        c = static_cast<char>(random());
    }
    // The device writes its bytes a millisecond's worth at a time, paced by the clock; a pty
    // that is full makes it wait, never drop.
    std::atomic<std::size_t> written{0};
    std::thread device([&] {
        const auto start = std::chrono::steady_clock::now();
        while (written < sent.size()) {
            const auto elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
            const auto due =
                std::min(sent.size(), static_cast<std::size_t>(elapsed.count() * kRate));
            if (due > written) {
                const std::size_t n =
                    link.WriteMaster(std::string_view(sent).substr(written, due - written),
                                     std::chrono::seconds(30));
                if (n == 0) {
                    return; // the console stopped reading: the comparison below shows it
                }
                written += n;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // Waits for the device to finish and the log to catch up, with a generous watchdog.
    const auto watchdog = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    const std::string expected =
        frame::ToHexText({reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size()});
    std::string received;
    while (std::chrono::steady_clock::now() < watchdog) {
        QTest::qWait(250);
        if (written == sent.size()) {
            received = console.ReceivedHex();
            if (received.size() >= expected.size()) {
                break;
            }
        }
    }
    device.join();
    ASSERT_EQ(written, sent.size()) << "the pty stayed full: the console stopped reading";
    ASSERT_EQ(received.size(), expected.size()) << "bytes lost or extra";
    EXPECT_TRUE(received == expected) << "the log differs from what the device sent";
    EXPECT_TRUE(console.messages().empty());
}

} // namespace
} // namespace e2e
