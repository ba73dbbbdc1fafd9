#include "frame/frame.h"
#include "serial/pcomm_binding.h"
#include "serial/port_connection.h"
#include "serial/port_list.h"
#include "tests/fakes/fake_com_group.h"
#include "tests/fakes/fake_controls.h"
#include "tests/support/pty_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int kCom = 201;

// The "COM" group of one console, over the real library and the real port map.
struct Console : fakes::FakeComGroup {
    serial::PcommBinding pcomm{serial::SystemLibraryLoader(),
                               {PCOMM_DLL_PATH},
                               [](const std::string& m) { ADD_FAILURE() << m; }};
    serial::PortState state;
    serial::PortConnection connection{Controls(), pcomm, state};
    serial::PortWriter writer{pcomm, state};

    // The library is loaded once per process: leave the port free for the next test.
    ~Console() {
        if (state.PortOpen != 0) {
            connection.TogglePort();
        }
    }

    void Open(const std::string& port) {
        serial::FillPortList(ports, serial::SystemPortMap());
        ASSERT_TRUE(ports.select(port)) << port << " is not listed";
        connection.TogglePort();
    }

    // Polls as the timer would until the log grows, for at most a few seconds.
    bool PollUntilLogged() {
        const auto before = log.text().size();
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < deadline) {
            connection.PollReceive();
            if (log.text().size() > before) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
};

TEST(SerialLink, ListsTheLinkedPortWithItsDeviceAsHint) {
    test_support::PtyLink link(kCom);
    fakes::FakeComboBox ports;
    serial::FillPortList(ports, serial::SystemPortMap());
    ASSERT_TRUE(ports.select("COM201"));
    EXPECT_EQ(ports.toolTip(ports.selectedIndex()), link.slavePath());
}

TEST(SerialLink, OpensSendsAndLogsWhatTheDeviceAnswers) {
    test_support::PtyLink link(kCom);
    Console console;
    console.Open("COM201");
    ASSERT_TRUE(console.messages.shown.empty()) << console.messages.shown.front();
    EXPECT_EQ(console.log.text(), "port opened: COM201 9600\r\n");
    EXPECT_EQ(console.toggle.caption(), "close");

    const frame::Frame control{0x01, 0x10, 0x00, 0x1F, 0x00, 0x03, 0x06, 0x00,
                               0x00, 0x00, 0x00, 0x00, 0xC9, 0x17, 0x73};
    console.writer.Write(control);
    EXPECT_EQ(link.ReadMaster(control.size()), std::string(control.begin(), control.end()));

    link.WriteMaster("\x01\x10");
    ASSERT_TRUE(console.PollUntilLogged());
    EXPECT_EQ(console.log.text(), "port opened: COM201 9600\r\n01 10 \r\n");

    console.connection.TogglePort();
    EXPECT_EQ(console.log.appended.back(), "port close\r\n");
    EXPECT_EQ(console.state.PortId, -1);
}

TEST(SerialLink, ASecondConsoleOnTheSamePortIsToldItIsBusy) {
    test_support::PtyLink link(kCom);
    Console first;
    first.Open("COM201");
    Console second;
    second.Open("COM201");
    ASSERT_EQ(second.messages.shown.size(), 1u);
    EXPECT_EQ(second.messages.shown[0].text, "Failed to open serial port-3");
    EXPECT_EQ(second.state.PortOpen, 0);
    EXPECT_EQ(second.state.PortId, kCom);
}

TEST(SerialLink, ADeviceThatStopsReadingNeverHoldsAClick) {
    test_support::PtyLink link(kCom);
    Console console;
    console.Open("COM201");
    // Nobody reads the far end: the pseudo-terminal's buffer fills within the first writes.
    const frame::Frame chunk(4096, 0x55);
    auto clicks = std::async(std::launch::async, [&] {
        for (int i = 0; i < 30; ++i) {
            console.writer.Write(chunk);
        }
    });
    ASSERT_EQ(clicks.wait_for(60s), std::future_status::ready) << "a write hung";
}

TEST(SerialLink, ADeviceThatVanishesLeavesPollsQuietAndCloseWorking) {
    test_support::PtyLink link(kCom);
    Console console;
    console.Open("COM201");
    link.CloseMaster();
    for (int i = 0; i < 20; ++i) {
        console.connection.PollReceive();
    }
    EXPECT_EQ(console.log.text(), "port opened: COM201 9600\r\n");
    console.connection.TogglePort();
    EXPECT_EQ(console.log.appended.back(), "port close\r\n");
    EXPECT_EQ(console.toggle.caption(), "start");
}

} // namespace
