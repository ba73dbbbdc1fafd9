#pragma once
// Every kind of frame the console sends, as it appears on the line (worked examples from the
// README's "What each button sends"), with the fields the simulator should read from it.

#include "sim/message.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace sim_test {

// "01 FD DF": two upper-case digits a byte, single spaces between.
inline std::string HexOf(const std::vector<sim::Byte>& bytes) {
    std::string text;
    for (const sim::Byte b : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", b);
        text += digits;
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

struct ConsoleFrame {
    const char* name;
    std::string hex;
    sim::Message message;
};

// Test names show the frame's name, not its bytes.
inline void PrintTo(const ConsoleFrame& f, std::ostream* os) {
    *os << f.name;
}

inline std::vector<ConsoleFrame> ConsoleFrames() {
    using sim::Command;
    using sim::Head;
    using sim::RegisterWrite;
    const std::string zeros14 = "00 00 00 00 00 00 00 00 00 00 00 00 00 00 ";
    return {
        {"ControlAllOff", "01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73",
         RegisterWrite{1, 0x001F, {0x0000, 0x0000, 0x00C9}}},
        {"ControlChannel16On", "03 10 00 1F 00 03 06 00 01 80 00 00 C9 04 31",
         RegisterWrite{3, 0x001F, {0x0001, 0x8000, 0x00C9}}},
        {"SetScene", "01 10 01 90 00 04 08 01 01 FF FF 00 05 00 C9 76 3A",
         RegisterWrite{1, 0x0190, {0x0101, 0xFFFF, 0x0005, 0x00C9}}},
        {"DeleteScene", "01 10 01 90 00 04 08 02 02 00 00 00 00 00 C9 15 35",
         RegisterWrite{1, 0x0190, {0x0202, 0, 0, 0x00C9}}},
        {"ClearScene", "01 10 01 90 00 04 08 02 03 00 00 00 00 00 C9 05 F5",
         RegisterWrite{1, 0x0190, {0x0203, 0, 0, 0x00C9}}},
        {"TriggerScene1", "00 10 00 07 00 02 04 00 01 00 01 26 B5",
         RegisterWrite{0, 0x0007, {1, 1}}},
        {"TriggerScene50", "00 10 00 07 00 02 04 00 32 00 01 D6 BA",
         RegisterWrite{0, 0x0007, {50, 1}}},
        {"SetModuleId", "00 FD DF 01 03 00 C9 AA 94", Command{0, Head::Relay, 0x01, {3}}},
        {"PowerOnStatus", "01 FD DF 02 00 05 00 C9 17 F0", Command{1, Head::Relay, 0x02, {0, 5}}},
        {"RelaySetBaud", "01 FD DF 03 00 00 C9 4B EC", Command{1, Head::Relay, 0x03, {0}}},
        {"RelaySetInput", "01 FD DF 04 01 00 C9 1B 58", Command{1, Head::Relay, 0x04, {1}}},
        {"EnterSettings", "01 FE EF 06 01 00 C9 5A D7", Command{1, Head::Switch, 0x06, {1}}},
        {"ReadSettings", "01 FE EF 05 01 00 C9 5A 93", Command{1, Head::Switch, 0x05, {1}}},
        {"ClearSettings", "01 FE EF 04 00 00 C9 0A AF", Command{1, Head::Switch, 0x04, {0}}},
        {"SetId", "00 FE EF 01 05 00 C9 0A A2", Command{0, Head::Switch, 0x01, {5}}},
        {"SwitchSetBaud", "01 FE EF 03 00 00 C9 0B DB", Command{1, Head::Switch, 0x03, {0}}},
        {"WriteSettingsEmpty", "01 FE EF 02 00 00 " + zeros14 + "00 C9 FB 70",
         Command{1, Head::Switch, 0x02, std::vector<sim::Byte>(16, 0)}},
        {"WriteSettingsKey1", "01 FE EF 02 02 03 " + zeros14 + "00 C9 AA 38",
         Command{1, Head::Switch, 0x02, {2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
        {"ExitSetup", "01 FE EF 06 00 00 C9 0B 17", Command{1, Head::Switch, 0x06, {0}}},
    };
}

} // namespace sim_test
