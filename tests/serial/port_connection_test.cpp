#include "serial/port_connection.h"

#include "tests/fakes/fake_com_group.h"
#include "tests/fakes/fake_controls.h"
#include "tests/fakes/fake_pcomm.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using fakes::Message;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kInfo = "信息：";

class PortConnection : public ::testing::Test, protected fakes::FakeComGroup {
  protected:
    PortConnection() : FakeComGroup({"COM3", "COM5", "COM12", "COM0"}) {}

    // A successful open of `port` at `baud`, selected as the user would.
    void Open(const std::string& port = "COM3", const std::string& baud = "9600") {
        ASSERT_TRUE(ports.select(port));
        ASSERT_TRUE(bauds.select(baud));
        connection.TogglePort();
        ASSERT_EQ(state.PortOpen, 1);
    }

    fakes::FakePcomm pcomm;
    serial::PortState state;
    serial::PortConnection connection{Controls(), pcomm, state};
};

TEST_F(PortConnection, StartWithAnEmptyPortListOnlySaysSo) {
    ports.clear();
    connection.TogglePort();
    EXPECT_THAT(messages.shown, ElementsAre(Message{"No available serial port", kInfo}));
    EXPECT_THAT(pcomm.calls, IsEmpty());
    EXPECT_EQ(state.PortOpen, 0);
    EXPECT_EQ(state.PortId, -1);
    EXPECT_THAT(toggle.captions_written, IsEmpty());
    EXPECT_EQ(log.text(), "");
    EXPECT_THAT(timer.periods_written, IsEmpty());
}

TEST_F(PortConnection, FailedOpenReportsTheCodeAndKeepsThePortNumberTried) {
    const struct {
        const char* what;
        int selected;
        int result;
        int port;
        std::string message;
    } cases[] = {
        {"nothing selected tries port 0", -1, -5, 0, "Failed to open serial port-5"},
        {"COM12", 2, 3, 12, "Failed to open serial port3"},
        {"COM0", 3, -1, 0, "Failed to open serial port-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::FakePcomm lib;
        lib.open_result = c.result;
        fakes::FakeMessageBox shown;
        fakes::FakeEditBox text;
        fakes::FakeTimer tick;
        fakes::FakePushButton button{"start"};
        serial::PortState port_state;
        ports.setSelectedIndex(c.selected);
        serial::PortConnection fresh({ports, bauds, button, tick, text, shown}, lib, port_state);
        fresh.TogglePort();
        EXPECT_THAT(shown.shown, ElementsAre(Message{c.message, kInfo}));
        EXPECT_THAT(lib.Functions(), ElementsAre("sio_open"));
        EXPECT_EQ(lib.calls[0].port, c.port);
        EXPECT_EQ(port_state.PortId, c.port);
        EXPECT_EQ(port_state.PortOpen, 0);
        EXPECT_EQ(button.caption(), "start");
        EXPECT_THAT(button.captions_written, IsEmpty());
        EXPECT_EQ(text.text(), "");
        EXPECT_THAT(tick.periods_written, IsEmpty());
    }
}

TEST_F(PortConnection, OpenSetsTheLineLogsAndStartsThePoll) {
    Open("COM3", "9600");
    ASSERT_THAT(pcomm.Functions(), ElementsAre("sio_open", "sio_ioctl", "sio_SetReadTimeouts"));
    EXPECT_EQ(pcomm.calls[0].port, 3);
    EXPECT_EQ(pcomm.calls[1].port, 3);
    EXPECT_EQ(pcomm.calls[1].first, 12); // code of 9600
    EXPECT_EQ(pcomm.calls[1].second, 3); // 8 data bits, no parity, one stop bit
    EXPECT_EQ(pcomm.calls[2].port, 3);
    EXPECT_EQ(pcomm.calls[2].first, 1000);
    EXPECT_EQ(pcomm.calls[2].second, 0);
    EXPECT_EQ(state.PortId, 3);
    EXPECT_EQ(toggle.caption(), "close");
    EXPECT_EQ(log.text(), "port opened: COM3 9600\r\n");
    EXPECT_EQ(timer.period(), 10);
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(PortConnection, TheStateNotTheCaptionDecidesBetweenOpenAndClose) {
    toggle.setCaption("close");
    Open("COM3", "9600");
    EXPECT_THAT(pcomm.Functions(), ElementsAre("sio_open", "sio_ioctl", "sio_SetReadTimeouts"));
    toggle.setCaption("start");
    connection.TogglePort();
    EXPECT_EQ(pcomm.Functions().back(), "sio_close");
    EXPECT_EQ(state.PortOpen, 0);
}

TEST_F(PortConnection, ErrorsOfTheLineSettingsAreIgnored) {
    pcomm.ioctl_result = -1;
    pcomm.timeouts_result = -1;
    Open("COM5", "115200");
    EXPECT_EQ(toggle.caption(), "close");
    EXPECT_EQ(log.text(), "port opened: COM5 115200\r\n");
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(PortConnection, TheBaudRateIsTheNumberOfTheSelectedItem) {
    const struct {
        std::vector<std::string> items;
        int selected;
        int code;
        std::string line;
    } cases[] = {
        {{"19200"}, 0, 13, "port opened: COM3 19200\r\n"},
        {{"14400"}, 0, 0, "port opened: COM3 14400\r\n"},
        {{"50"}, 0, 0, "port opened: COM3 50\r\n"},
        {{" 09600 baud"}, 0, 12, "port opened: COM3 9600\r\n"},
        {{"9600"}, -1, 0, "port opened: COM3 0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        fakes::FakeComboBox rates(c.items, c.selected);
        fakes::FakePcomm lib;
        fakes::FakeEditBox text;
        serial::PortState port_state;
        ports.setSelectedIndex(0);
        serial::PortConnection fresh({ports, rates, toggle, timer, text, messages}, lib,
                                     port_state);
        fresh.TogglePort();
        ASSERT_EQ(lib.CallsTo("sio_ioctl").size(), 1u);
        EXPECT_EQ(lib.CallsTo("sio_ioctl")[0].first, c.code);
        EXPECT_EQ(text.text(), c.line);
    }
}

TEST_F(PortConnection, CloseLeavesTheTimerRunning) {
    Open("COM3", "9600");
    pcomm.calls.clear();
    connection.TogglePort();
    ASSERT_THAT(pcomm.Functions(), ElementsAre("sio_close"));
    EXPECT_EQ(pcomm.calls[0].port, 3);
    EXPECT_EQ(state.PortOpen, 0);
    EXPECT_EQ(state.PortId, -1);
    EXPECT_EQ(toggle.caption(), "start");
    EXPECT_EQ(log.text(), "port opened: COM3 9600\r\nport close\r\n");
    EXPECT_EQ(timer.period(), 10);
    EXPECT_THAT(timer.periods_written, ElementsAre(10));
}

TEST_F(PortConnection, CloseIgnoresTheLibrarysResult) {
    Open();
    pcomm.close_result = -7;
    connection.TogglePort();
    EXPECT_EQ(state.PortOpen, 0);
    EXPECT_EQ(state.PortId, -1);
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(PortConnection, ReopenUsesTheSelectionOfThatMomentAndLogsBelow) {
    Open("COM3", "9600");
    connection.TogglePort();
    Open("COM12", "57600");
    EXPECT_EQ(pcomm.CallsTo("sio_open").back().port, 12);
    EXPECT_EQ(pcomm.CallsTo("sio_ioctl").back().first, 15);
    EXPECT_EQ(state.PortId, 12);
    EXPECT_EQ(log.text(), "port opened: COM3 9600\r\nport close\r\nport opened: COM12 57600\r\n");
    EXPECT_THAT(timer.periods_written, ElementsAre(10, 10));
    EXPECT_EQ(timer.starts, 1);
}

TEST_F(PortConnection, PollAppendsOneLinePerReadAndShowsTheEnd) {
    Open();
    pcomm.calls.clear();
    pcomm.incoming.push_back({0x01, 0x10});
    connection.PollReceive();
    ASSERT_THAT(pcomm.Functions(), ElementsAre("sio_iqueue", "sio_read"));
    EXPECT_EQ(pcomm.calls[0].port, 3);
    EXPECT_EQ(pcomm.calls[1].port, 3);
    EXPECT_EQ(pcomm.calls[1].first, 2); // exactly what was reported waiting
    EXPECT_EQ(log.text(), "port opened: COM3 9600\r\n01 10 \r\n");
    EXPECT_EQ(log.caret_to_end_calls, 1);
    EXPECT_EQ(log.caret_at, log.text().size());
}

TEST_F(PortConnection, PollShowsOnlyTheBytesTheReadPlaced) {
    Open();
    pcomm.iqueue_result = 5;
    pcomm.incoming.push_back({0xAB, 0x0C});
    connection.PollReceive();
    EXPECT_EQ(pcomm.CallsTo("sio_read").at(0).first, 5);
    EXPECT_EQ(log.appended.back(), "AB 0C \r\n");
}

TEST_F(PortConnection, PollThatFindsOrReadsNothingAddsNoLine) {
    const struct {
        const char* what;
        int waiting;
        std::optional<int> read;
        std::vector<std::string> functions;
    } cases[] = {
        {"nothing waiting", 0, std::nullopt, {"sio_iqueue"}},
        {"queue error", -3, std::nullopt, {"sio_iqueue"}},
        {"read gives nothing", 4, 0, {"sio_iqueue", "sio_read"}},
        {"read error", 4, -2, {"sio_iqueue", "sio_read"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open();
        const std::string before = log.text();
        pcomm.calls.clear();
        pcomm.iqueue_result = c.waiting;
        pcomm.read_result = c.read;
        connection.PollReceive();
        EXPECT_EQ(pcomm.Functions(), c.functions);
        EXPECT_EQ(log.text(), before);
        EXPECT_EQ(log.caret_to_end_calls, 0);
        connection.TogglePort(); // close for the next case
    }
}

TEST_F(PortConnection, PollWhileClosedCallsNothing) {
    pcomm.incoming.push_back({0x01});
    connection.PollReceive(); // never opened
    Open();
    connection.TogglePort();
    pcomm.calls.clear();
    connection.PollReceive(); // closed again, timer still ticking
    EXPECT_THAT(pcomm.calls, IsEmpty());
    EXPECT_EQ(log.text(), "port opened: COM3 9600\r\nport close\r\n");
}

TEST_F(PortConnection, ClearEmptiesTheLogAndTheNextChunkIsTheFirstLine) {
    connection.ClearLog(); // any state
    EXPECT_EQ(log.text(), "");
    Open();
    log.setText(log.text() + "typed by the user");
    connection.ClearLog();
    EXPECT_EQ(log.text(), "");
    pcomm.incoming.push_back({0xFF});
    connection.PollReceive();
    EXPECT_EQ(log.text(), "FF \r\n");
    EXPECT_EQ(state.PortOpen, 1);
}

TEST_F(PortConnection, LinesGoAfterWhatTheUserTyped) {
    log.setText("note");
    Open();
    pcomm.incoming.push_back({0x02});
    connection.PollReceive();
    EXPECT_EQ(log.text(), "noteport opened: COM3 9600\r\n02 \r\n");
}

} // namespace
