#include "sim/bus.h"

#include "frame/crc16.h"
#include "sim/decoder.h"
#include "tests/fakes/hex_bytes.h"
#include "tests/sim/console_frames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using fakes::Hex;
using sim::Byte;
using sim::Frame;
using sim_test::HexOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

Frame Control(Byte address, std::uint16_t enables, std::uint16_t states) {
    return sim::Encode(sim::RegisterWrite{address, 0x001F, {enables, states, 0x00C9}});
}
Frame SceneOperation(Byte address, Byte scene, Byte operation, std::uint16_t enables = 0,
                     std::uint16_t states = 0) {
    return sim::Encode(sim::RegisterWrite{
        address,
        0x0190,
        {static_cast<std::uint16_t>(scene << 8 | operation), enables, states, 0x00C9}});
}
Frame Trigger(std::uint16_t scene) {
    return sim::Encode(sim::RegisterWrite{0, 0x0007, {scene, 1}});
}
Frame RelayCommand(Byte address, Byte code, std::vector<Byte> payload) {
    return frame::CommandFrame(address, frame::kRelayHead, code, payload);
}
Frame SwitchCommand(Byte address, Byte code, std::vector<Byte> payload) {
    return frame::CommandFrame(address, frame::kSwitchHead, code, payload);
}
Frame Sealed(std::vector<Byte> bytes) {
    bytes.resize(bytes.size() + 2);
    frame::SealFrame(bytes);
    return bytes;
}
// The Modbus response to a write: address, 10, first register, count, then the CRC.
Frame WriteResponse(std::vector<Byte> head) {
    const std::uint16_t crc = frame::Crc16(head, head.size());
    head.push_back(static_cast<Byte>(crc & 0xFF));
    head.push_back(static_cast<Byte>(crc >> 8));
    return head;
}

// The modules and the switch, fed through the decoder as the line would feed them.
class BusTest : public ::testing::Test {
  protected:
    void Start(std::vector<Byte> modules, Byte switchAddress = 1) {
        bus_ = std::make_unique<sim::Bus>(modules, switchAddress);
    }

    // All lines and answers for `bytes`, a quiet gap included.
    sim::Reply Send(const Frame& bytes) {
        sim::Reply all;
        auto events = decoder_.Feed(bytes);
        for (auto& event : decoder_.Flush()) {
            events.push_back(std::move(event));
        }
        for (const auto& event : events) {
            sim::Reply reply = bus_->Handle(event);
            all.lines.insert(all.lines.end(), reply.lines.begin(), reply.lines.end());
            all.answer.insert(all.answer.end(), reply.answer.begin(), reply.answer.end());
        }
        return all;
    }

    const sim::RelayModule& Module(Byte address) {
        const sim::RelayModule* m = bus_->FindModule(address);
        if (m == nullptr) {
            throw std::out_of_range("no module " + std::to_string(address));
        }
        return *m;
    }

    sim::Decoder decoder_;
    std::unique_ptr<sim::Bus> bus_ = std::make_unique<sim::Bus>(std::vector<Byte>{1}, 1);
};

TEST_F(BusTest, ControlFrameSetsOnlyItsModule) {
    Start({1, 3});
    const auto reply = Send(Control(3, 0x0001, 0x8010));
    EXPECT_THAT(reply.lines, ElementsAre("module 3: on 5 16, enabled 1"));
    EXPECT_EQ(Module(3).states, 0x8010);
    EXPECT_EQ(Module(3).enables, 0x0001);
    EXPECT_EQ(Module(1).states, 0);
    EXPECT_EQ(Module(1).enables, 0);
}

TEST_F(BusTest, WriteToOneModuleIsAnsweredWithTheModbusWriteResponse) {
    Start({1, 7});
    struct Case {
        Frame request;
        std::vector<Byte> head; // address, 10, first register, count
    };
    const Case cases[] = {
        {Control(7, 0xFFFF, 0x0005), {0x07, 0x10, 0x00, 0x1F, 0x00, 0x03}},
        {SceneOperation(1, 2, 1, 0x0005, 0x0001), {0x01, 0x10, 0x01, 0x90, 0x00, 0x04}},
        {SceneOperation(7, 50, 2), {0x07, 0x10, 0x01, 0x90, 0x00, 0x04}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Send(c.request).answer, WriteResponse(c.head));
    }
}

TEST_F(BusTest, TriggeredSceneIsAppliedByEveryModuleThatHasIt) {
    Start({1, 2, 3});
    Send(SceneOperation(1, 5, 1, 0x0005, 0x0001));
    Send(SceneOperation(2, 5, 1, 0xFFFF, 0x8000));
    Send(Control(3, 0x0003, 0x0002));

    const auto reply = Send(Trigger(5));

    EXPECT_THAT(reply.lines, ElementsAre("all modules: trigger scene 5",
                                         "module 1: scene 5 applied, on 1, enabled 1 3",
                                         "module 2: scene 5 applied, on 16, enabled 1-16",
                                         "module 3: no scene 5, unchanged"));
    EXPECT_THAT(reply.answer, IsEmpty());
    EXPECT_EQ(Module(1).states, 0x0001);
    EXPECT_EQ(Module(1).enables, 0x0005);
    EXPECT_EQ(Module(2).states, 0x8000);
    EXPECT_EQ(Module(2).enables, 0xFFFF);
    EXPECT_EQ(Module(3).states, 0x0002);
    EXPECT_EQ(Module(3).enables, 0x0003);
}

TEST_F(BusTest, DeletedSceneLeavesTheModuleAloneAndAClearedOneSwitchesAllOff) {
    Send(SceneOperation(1, 4, 1, 0xFFFF, 0xFFFF));
    Send(SceneOperation(1, 4, 2));
    Send(Control(1, 0x0001, 0x0001));
    EXPECT_THAT(Send(Trigger(4)).lines,
                ElementsAre("all modules: trigger scene 4", "module 1: no scene 4, unchanged"));
    EXPECT_EQ(Module(1).states, 0x0001);

    Send(SceneOperation(1, 4, 1, 0xFFFF, 0xFFFF));
    Send(SceneOperation(1, 4, 3));
    Send(Trigger(4));
    EXPECT_EQ(Module(1).states, 0);
    EXPECT_EQ(Module(1).enables, 0);
}

TEST_F(BusTest, SetModuleIdRenamesTheOnlyModule) {
    const auto reply = Send(Hex("00 FD DF 01 03 00 C9 AA 94"));
    EXPECT_THAT(reply.lines, ElementsAre("module 1: module-id set to 3"));
    EXPECT_THAT(reply.answer, IsEmpty());
    EXPECT_EQ(bus_->FindModule(1), nullptr);
    EXPECT_THAT(Send(Control(3, 1, 1)).answer, ::testing::Not(IsEmpty()));
    EXPECT_THAT(Send(Control(1, 1, 1)).lines, ElementsAre("no device at address 1"));
}

TEST_F(BusTest, SetModuleIdIsIgnoredWithTwoModules) {
    Start({1, 2});
    const auto reply = Send(Hex("00 FD DF 01 03 00 C9 AA 94"));
    EXPECT_THAT(reply.lines, ElementsAre("set module-id 3 ignored (2 modules on the line)"));
    EXPECT_NE(bus_->FindModule(1), nullptr);
    EXPECT_NE(bus_->FindModule(2), nullptr);
    EXPECT_EQ(bus_->FindModule(3), nullptr);
}

TEST_F(BusTest, ReadSettingsAnswersTheKeyMapLastWritten) {
    std::vector<Byte> keys(16, 0);
    keys[0] = 2;   // key 1: module 2
    keys[1] = 3;   //        channel 3
    keys[14] = 50; // key 8: module 50
    keys[15] = 16; //        channel 16
    const auto written = Send(SwitchCommand(1, 0x02, keys));
    EXPECT_THAT(written.lines, ElementsAre("switch 1: key 1 -> module 2 channel 3",
                                           "switch 1: key 8 -> module 50 channel 16"));

    std::vector<Byte> expected = {0x01, 0xFE, 0xEF, 0x05};
    expected.insert(expected.end(), keys.begin(), keys.end());
    expected.insert(expected.end(), {0x00, 0xC9});
    EXPECT_EQ(Send(Hex("01 FE EF 05 01 00 C9 5A 93")).answer, Sealed(expected));

    Send(Hex("01 FE EF 04 00 00 C9 0A AF")); // Clear Settings
    EXPECT_EQ(Send(Hex("01 FE EF 05 01 00 C9 5A 93")).answer,
              frame::CommandFrame(1, frame::kSwitchHead, 0x05, std::vector<Byte>(16, 0)));
}

// Accepted commands to one device come back byte for byte.
TEST_F(BusTest, CommandsToOneDeviceAreEchoed) {
    struct Case {
        const char* name;
        Frame request;
        const char* line;
        std::function<bool(const sim::Bus&)> applied;
    };
    const Case cases[] = {
        {"power-on status", Hex("01 FD DF 02 00 05 00 C9 17 F0"),
         "module 1: power-on status on 1 3",
         [](const sim::Bus& b) { return b.FindModule(1)->powerOnStates == 0x0005; }},
        {"module baud", RelayCommand(1, 0x03, {4}), "module 1: baud 115200",
         [](const sim::Bus& b) { return b.FindModule(1)->baudIndex == 4; }},
        {"input", Hex("01 FD DF 04 01 00 C9 1B 58"), "module 1: input rocker switch",
         [](const sim::Bus& b) { return b.FindModule(1)->inputIndex == 1; }},
        {"enter setup", Hex("01 FE EF 06 01 00 C9 5A D7"), "switch 1: setup mode on",
         [](const sim::Bus& b) { return b.wallSwitch().setupMode; }},
        {"switch baud", SwitchCommand(1, 0x03, {2}), "switch 1: baud 38400",
         [](const sim::Bus& b) { return b.wallSwitch().baudIndex == 2; }},
        {"empty key map", SwitchCommand(1, 0x02, std::vector<Byte>(16, 0)),
         "switch 1: key map cleared", [](const sim::Bus&) { return true; }},
        {"exit setup", Hex("01 FE EF 06 00 00 C9 0B 17"), "switch 1: setup mode off",
         [](const sim::Bus& b) { return !b.wallSwitch().setupMode; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = Send(c.request);
        EXPECT_THAT(reply.lines, ElementsAre(c.line));
        EXPECT_EQ(reply.answer, c.request);
        EXPECT_TRUE(c.applied(*bus_));
    }
}

TEST_F(BusTest, NothingSentToAddressZeroIsAnswered) {
    Start({1, 2});
    for (const auto& f : sim_test::ConsoleFrames()) {
        if (f.hex.starts_with("00")) {
            SCOPED_TRACE(f.name);
            EXPECT_THAT(Send(Hex(f.hex)).answer, IsEmpty());
        }
    }
    const Frame broadcasts[] = {Control(0, 0x00FF, 0x000F), RelayCommand(0, 0x03, {1}),
                                SwitchCommand(0, 0x05, {1}), SwitchCommand(0, 0x06, {1})};
    for (const Frame& f : broadcasts) {
        EXPECT_THAT(Send(f).answer, IsEmpty());
    }
    // ...but every module acted on them.
    for (const Byte address : {Byte{1}, Byte{2}}) {
        EXPECT_EQ(Module(address).states, 0x000F);
        EXPECT_EQ(Module(address).baudIndex, 1);
    }
    EXPECT_TRUE(bus_->wallSwitch().setupMode);
}

TEST_F(BusTest, FramesNotTakenAreReportedUnansweredAndChangeNothing) {
    struct Case {
        Frame request;
        std::string line;
    };
    const Frame unknownRegister = Sealed({0x01, 0x10, 0x00, 0x05, 0x00, 0x01, 0x02, 0xFF, 0xFF});
    const Frame wrongTrailer =
        Sealed({0x01, 0x10, 0x00, 0x1F, 0x00, 0x03, 0x06, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xCA});
    const Case cases[] = {
        {Hex("01 10 00 1F 00 03 06 FF FF FF FF 00 C9 17 73"),
         "bad CRC: 01 10 00 1F 00 03 06 FF FF FF FF 00 C9 17 73 (dropped)"},
        {unknownRegister, "unknown frame: " + HexOf(unknownRegister) + " (ignored)"},
        {wrongTrailer, "unknown frame: " + HexOf(wrongTrailer) + " (ignored)"},
        {Control(9, 0xFFFF, 0xFFFF), "no device at address 9"},
        {SwitchCommand(2, 0x06, {1}), "no device at address 2"},
        {SceneOperation(1, 51, 1, 0xFFFF, 0xFFFF), "module 1: scene 51 out of range 1-50, ignored"},
        {SceneOperation(1, 3, 4, 0xFFFF, 0xFFFF), "module 1: scene 3 operation 4 unknown, ignored"},
        {Trigger(0), "all modules: trigger scene 0 out of range 1-50, ignored"},
        {RelayCommand(1, 0x03, {5}), "module 1: baud index 5 unknown, ignored"},
        {RelayCommand(1, 0x04, {3}), "module 1: input index 3 unknown, ignored"},
        {SwitchCommand(1, 0x06, {2}), "switch 1: setup mode 2 unknown, ignored"},
        {RelayCommand(1, 0x01, {4}),
         "set module-id 4 at address 1 ignored (taken at address 0 only)"},
        {RelayCommand(0, 0x01, {0}), "set module-id 0 ignored (not an address)"},
        {SwitchCommand(0, 0x01, {248}), "set ID 248 ignored (not an address)"},
    };
    for (const Case& c : cases) {
        const auto reply = Send(c.request);
        EXPECT_THAT(reply.lines, ElementsAre(c.line));
        EXPECT_THAT(reply.answer, IsEmpty()) << c.line;
    }
    const sim::RelayModule& m = Module(1);
    EXPECT_EQ(m.states, 0);
    EXPECT_EQ(m.enables, 0);
    EXPECT_EQ(m.baudIndex, 0);
    EXPECT_EQ(m.inputIndex, 0);
    EXPECT_FALSE(m.scenes[2].has_value());
    EXPECT_FALSE(m.scenes[50 - 1].has_value());
    EXPECT_FALSE(bus_->wallSwitch().setupMode);
    EXPECT_EQ(bus_->wallSwitch().address, 1);
}

// Noise made of random bytes and pieces of real frames: whatever it holds, the simulator
// survives it, and once the line has been quiet a good frame is answered again.
TEST_F(BusTest, RandomByteSoupNeverStopsTheNextFrameBeingAnswered) {
    Start({1, 2, 3});
    std::vector<Frame> pieces;
    for (const auto& f : sim_test::ConsoleFrames()) {
        pieces.push_back(Hex(f.hex));
    }
    std::mt19937 rng(7);
    const Frame probe = Control(2, 0x0001, 0x0001);
    for (int round = 0; round < 300; ++round) {
        Frame soup;
        const int parts = std::uniform_int_distribution<int>(0, 12)(rng);
        for (int i = 0; i < parts; ++i) {
            if (rng() % 2 == 0) {
                const Frame& piece = pieces[rng() % pieces.size()];
                const std::size_t from = rng() % piece.size();
                const std::size_t to = from + rng() % (piece.size() - from + 1);
                soup.insert(soup.end(), piece.begin() + from, piece.begin() + to);
            } else {
                for (int n = std::uniform_int_distribution<int>(1, 20)(rng); n > 0; --n) {
                    soup.push_back(static_cast<Byte>(rng()));
                }
            }
        }
        Send(soup);
        EXPECT_EQ(Send(probe).answer, WriteResponse({0x02, 0x10, 0x00, 0x1F, 0x00, 0x03}))
            << "round " << round;
    }
}

} // namespace
