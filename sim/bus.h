#pragma once
// The devices on the simulated line: relay modules and one wall switch. Each decoded frame
// changes their state, yields the monitor's lines and, where a device answers, the answer.
//
// Who answers what:
// - Function 16 to one module: the Modbus write response, addr 10 first(hi lo) count(hi lo) crc.
// - Any other accepted command to one device: the frame itself, byte for byte; except Read
//   Settings, answered with addr FE EF 05 <16 key-map bytes> 00 C9 crc.
// - Address 0 (every device of the frame's kind): never answered.
// - Set module-id and Set ID are taken only at address 0, and only while exactly one device of
//   that kind is on the line.
// - Bad CRC, unknown layout, no device at the address, a value out of range: reported, not
//   answered, nothing changes.
//
// Scenes: "set" stores the frame's enables and states, "clear" stores an empty scene (nothing on,
// nothing enabled), "delete" removes it. Triggering a scene copies a stored scene into the
// module's enables and states; a module without that scene stays as it is.

#include "sim/decoder.h"
#include "sim/message.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sim {

constexpr int kSceneCount = 50;
constexpr Byte kMaxAddress = 247;

struct Scene {
    std::uint16_t enables = 0;
    std::uint16_t states = 0;
    bool operator==(const Scene&) const = default;
};

struct RelayModule {
    Byte address = 1;
    std::uint16_t states = 0;
    std::uint16_t enables = 0;
    std::array<std::optional<Scene>, kSceneCount> scenes{}; // scene n at n - 1
    std::uint16_t powerOnStates = 0;
    Byte baudIndex = 0;
    Byte inputIndex = 0;
};

constexpr std::size_t kKeyMapSize = 16; // module and channel of keys 1..8

struct WallSwitch {
    Byte address = 1;
    bool setupMode = false;
    Byte baudIndex = 0;
    std::array<Byte, kKeyMapSize> keyMap{};
};

struct Reply {
    std::vector<std::string> lines; // for the monitor
    Frame answer;                   // empty: no answer
};

class Bus {
  public:
    // Modules at the given addresses (ascending, no repeats), and the switch.
    Bus(std::span<const Byte> moduleAddresses, Byte switchAddress);

    Reply Handle(const DecoderEvent& event);

    const std::vector<RelayModule>& modules() const { return modules_; }
    const RelayModule* FindModule(Byte address) const;
    const WallSwitch& wallSwitch() const { return switch_; }

  private:
    Reply HandleWrite(const RegisterWrite& write, const Frame& bytes);
    Reply HandleRelayCommand(const Command& command, const Frame& bytes);
    Reply HandleSwitchCommand(const Command& command, const Frame& bytes);
    // The modules a frame to `address` reaches (every one at address 0) and how the monitor
    // names them; nullopt when no module has that address.
    struct Addressed {
        std::vector<RelayModule*> modules;
        std::string who;
    };
    std::optional<Addressed> Address(Byte address);

    std::vector<RelayModule> modules_;
    WallSwitch switch_;
};

} // namespace sim
