#include "sim/bus.h"

#include "sim/monitor_text.h"

#include <algorithm>

namespace sim {
namespace {

constexpr std::uint16_t kControlRegister = 0x001F;
constexpr std::uint16_t kSceneRegister = 0x0190;
constexpr std::uint16_t kTriggerRegister = 0x0007;

constexpr Byte kSceneSet = 1;
constexpr Byte kSceneDelete = 2;
constexpr Byte kSceneClear = 3;

bool IsControl(const RegisterWrite& w) {
    return w.first == kControlRegister && w.values.size() == 3 &&
           w.values[2] == frame::kTrailerWord;
}
bool IsSceneOperation(const RegisterWrite& w) {
    return w.first == kSceneRegister && w.values.size() == 4 && w.values[3] == frame::kTrailerWord;
}
bool IsTrigger(const RegisterWrite& w) {
    return w.first == kTriggerRegister && w.values.size() == 2 && w.values[1] == 1;
}

Frame WriteResponse(const RegisterWrite& w) {
    Frame f(8, 0);
    f[0] = w.address;
    f[1] = kWriteRegisters;
    frame::PutWord(f, 2, w.first);
    frame::PutWord(f, 4, static_cast<std::uint32_t>(w.values.size()));
    frame::SealFrame(f);
    return f;
}

std::string ModuleName(Byte address) {
    return "module " + std::to_string(address);
}
std::string SwitchName(Byte address) {
    return "switch " + std::to_string(address);
}
std::string NoDevice(Byte address) {
    return "no device at address " + std::to_string(address);
}

bool IsAddress(Byte b) {
    return b >= 1 && b <= kMaxAddress;
}

std::string KeyLine(std::size_t key, Byte module, Byte channel) {
    std::string text = "key " + std::to_string(key) + " -> ";
    text += module == 0 ? "scene" : "module " + std::to_string(module);
    text += channel == 0 ? " channel disabled" : " channel " + std::to_string(channel);
    return text;
}

// "baud 115200", or "baud index 9 unknown, ignored" when the index names nothing.
std::string SettingText(const std::string& what, const std::optional<std::string>& name,
                        Byte index) {
    return what + " " + (name ? *name : "index " + std::to_string(index) + " unknown, ignored");
}

std::uint16_t PayloadWord(const Command& c) {
    return static_cast<std::uint16_t>((c.payload[0] << 8) | c.payload[1]);
}

} // namespace

Bus::Bus(std::span<const Byte> moduleAddresses, Byte switchAddress) {
    for (const Byte address : moduleAddresses) {
        modules_.push_back(RelayModule{.address = address});
    }
    switch_.address = switchAddress;
}

const RelayModule* Bus::FindModule(Byte address) const {
    const auto it = std::find_if(modules_.begin(), modules_.end(),
                                 [&](const RelayModule& m) { return m.address == address; });
    return it == modules_.end() ? nullptr : &*it;
}

std::optional<Bus::Addressed> Bus::Address(Byte address) {
    Addressed addressed;
    if (address == 0) {
        addressed.who = "all modules";
        for (RelayModule& m : modules_) {
            addressed.modules.push_back(&m);
        }
        return addressed;
    }
    for (RelayModule& m : modules_) {
        if (m.address == address) {
            return Addressed{{&m}, ModuleName(address)};
        }
    }
    return std::nullopt;
}

Reply Bus::Handle(const DecoderEvent& event) {
    if (const auto* dropped = std::get_if<Dropped>(&event)) {
        const char* what = dropped->fault == Fault::BadCrc       ? "bad CRC: "
                           : dropped->fault == Fault::Incomplete ? "incomplete frame: "
                                                                 : "unknown bytes: ";
        return {{what + BytesText(dropped->bytes) + " (dropped)"}, {}};
    }
    const auto& decoded = std::get<Decoded>(event);
    if (const auto* write = std::get_if<RegisterWrite>(&decoded.message)) {
        return HandleWrite(*write, decoded.bytes);
    }
    const auto& command = std::get<Command>(decoded.message);
    if (PayloadLength(command.head, command.code) != command.payload.size()) {
        return {{"unknown frame: " + BytesText(decoded.bytes) + " (ignored)"}, {}};
    }
    return command.head == Head::Relay ? HandleRelayCommand(command, decoded.bytes)
                                       : HandleSwitchCommand(command, decoded.bytes);
}

Reply Bus::HandleWrite(const RegisterWrite& w, const Frame& bytes) {
    Reply reply;
    if (!IsControl(w) && !IsSceneOperation(w) && !IsTrigger(w)) {
        reply.lines.push_back("unknown frame: " + BytesText(bytes) + " (ignored)");
        return reply;
    }
    const auto addressed = Address(w.address);
    if (!addressed) {
        reply.lines.push_back(NoDevice(w.address));
        return reply;
    }
    const auto& [targets, who] = *addressed;

    bool accepted = true;
    if (IsControl(w)) {
        for (RelayModule* m : targets) {
            m->enables = w.values[0];
            m->states = w.values[1];
        }
        reply.lines.push_back(who + ": " + ChannelSummary(w.values[1], w.values[0]));
    } else if (IsSceneOperation(w)) {
        const int scene = frame::HighByte(w.values[0]);
        const Byte operation = frame::LowByte(w.values[0]);
        const std::string sceneText = "scene " + std::to_string(scene);
        const Scene stored{w.values[1], w.values[2]};
        if (scene < 1 || scene > kSceneCount) {
            accepted = false;
            reply.lines.push_back(who + ": " + sceneText + " out of range 1-50, ignored");
        } else if (operation == kSceneSet || operation == kSceneClear) {
            for (RelayModule* m : targets) {
                m->scenes[scene - 1] = operation == kSceneSet ? stored : Scene{};
            }
            reply.lines.push_back(
                who + ": " + sceneText +
                (operation == kSceneSet
                     ? " set (" + ChannelSummary(stored.states, stored.enables) + ")"
                     : " cleared"));
        } else if (operation == kSceneDelete) {
            for (RelayModule* m : targets) {
                m->scenes[scene - 1].reset();
            }
            reply.lines.push_back(who + ": " + sceneText + " deleted");
        } else {
            accepted = false;
            reply.lines.push_back(who + ": " + sceneText + " operation " +
                                  std::to_string(operation) + " unknown, ignored");
        }
    } else {
        const int scene = w.values[0];
        const std::string sceneText = "scene " + std::to_string(scene);
        if (scene < 1 || scene > kSceneCount) {
            accepted = false;
            reply.lines.push_back(who + ": trigger " + sceneText + " out of range 1-50, ignored");
        } else {
            reply.lines.push_back(who + ": trigger " + sceneText);
            for (RelayModule* m : targets) {
                const auto& stored = m->scenes[scene - 1];
                if (stored) {
                    m->enables = stored->enables;
                    m->states = stored->states;
                    reply.lines.push_back(ModuleName(m->address) + ": " + sceneText + " applied, " +
                                          ChannelSummary(m->states, m->enables));
                } else {
                    reply.lines.push_back(ModuleName(m->address) + ": no " + sceneText +
                                          ", unchanged");
                }
            }
        }
    }
    if (accepted && w.address != 0) {
        reply.answer = WriteResponse(w);
    }
    return reply;
}

Reply Bus::HandleRelayCommand(const Command& c, const Frame& bytes) {
    Reply reply;
    if (c.code == relay_code::kSetModuleId) {
        const Byte id = c.payload[0];
        const std::string what = "set module-id " + std::to_string(id);
        if (c.address != 0) {
            reply.lines.push_back(what + " at address " + std::to_string(c.address) +
                                  " ignored (taken at address 0 only)");
        } else if (!IsAddress(id)) {
            reply.lines.push_back(what + " ignored (not an address)");
        } else if (modules_.size() != 1) {
            reply.lines.push_back(what + " ignored (" + std::to_string(modules_.size()) +
                                  " modules on the line)");
        } else {
            reply.lines.push_back(ModuleName(modules_[0].address) + ": module-id set to " +
                                  std::to_string(id));
            modules_[0].address = id;
        }
        return reply;
    }

    const auto addressed = Address(c.address);
    if (!addressed) {
        reply.lines.push_back(NoDevice(c.address));
        return reply;
    }
    const auto& [targets, who] = *addressed;

    bool accepted = true;
    if (c.code == relay_code::kPowerOnStatus) {
        const std::uint16_t states = PayloadWord(c);
        for (RelayModule* m : targets) {
            m->powerOnStates = states;
        }
        reply.lines.push_back(who + ": power-on status on " + ChannelList(states));
    } else if (c.code == relay_code::kSetBaud) {
        const Byte index = c.payload[0];
        accepted = BaudName(index).has_value();
        for (RelayModule* m : targets) {
            m->baudIndex = accepted ? index : m->baudIndex;
        }
        reply.lines.push_back(who + ": " + SettingText("baud", BaudName(index), index));
    } else if (c.code == relay_code::kSetInput) {
        const Byte index = c.payload[0];
        accepted = InputName(index).has_value();
        for (RelayModule* m : targets) {
            m->inputIndex = accepted ? index : m->inputIndex;
        }
        reply.lines.push_back(who + ": " + SettingText("input", InputName(index), index));
    }
    if (accepted && c.address != 0) {
        reply.answer = bytes;
    }
    return reply;
}

Reply Bus::HandleSwitchCommand(const Command& c, const Frame& bytes) {
    Reply reply;
    WallSwitch& s = switch_;
    if (c.code == switch_code::kSetId) {
        const Byte id = c.payload[0];
        const std::string what = "set ID " + std::to_string(id);
        if (c.address != 0) {
            reply.lines.push_back(what + " at address " + std::to_string(c.address) +
                                  " ignored (taken at address 0 only)");
        } else if (!IsAddress(id)) {
            reply.lines.push_back(what + " ignored (not an address)");
        } else {
            reply.lines.push_back(SwitchName(s.address) + ": ID set to " + std::to_string(id));
            s.address = id;
        }
        return reply;
    }
    if (c.address != 0 && c.address != s.address) {
        reply.lines.push_back(NoDevice(c.address));
        return reply;
    }
    const std::string who = c.address == 0 ? "all switches" : SwitchName(s.address);

    bool accepted = true;
    switch (c.code) {
    case switch_code::kWriteSettings:
        std::copy(c.payload.begin(), c.payload.end(), s.keyMap.begin());
        for (std::size_t key = 1; key <= kKeyMapSize / 2; ++key) {
            const Byte module = s.keyMap[2 * key - 2];
            const Byte channel = s.keyMap[2 * key - 1];
            if (module != 0 || channel != 0) {
                reply.lines.push_back(who + ": " + KeyLine(key, module, channel));
            }
        }
        if (reply.lines.empty()) {
            reply.lines.push_back(who + ": key map cleared");
        }
        break;
    case switch_code::kSetBaud: {
        const Byte index = c.payload[0];
        accepted = BaudName(index).has_value();
        if (accepted) {
            s.baudIndex = index;
        }
        reply.lines.push_back(who + ": " + SettingText("baud", BaudName(index), index));
        break;
    }
    case switch_code::kClear:
        s.keyMap.fill(0);
        reply.lines.push_back(who + ": settings cleared");
        break;
    case switch_code::kReadSettings:
        reply.lines.push_back(who + ": read settings");
        if (c.address != 0) {
            reply.answer = frame::CommandFrame(c.address, frame::kSwitchHead,
                                               switch_code::kReadSettings, s.keyMap);
        }
        return reply;
    case switch_code::kSetupMode:
        accepted = c.payload[0] <= 1;
        if (accepted) {
            s.setupMode = c.payload[0] == 1;
        }
        reply.lines.push_back(who + ": setup mode " +
                              (accepted ? (s.setupMode ? "on" : "off")
                                        : std::to_string(c.payload[0]) + " unknown, ignored"));
        break;
    default:
        break;
    }
    if (accepted && c.address != 0) {
        reply.answer = bytes;
    }
    return reply;
}

} // namespace sim
