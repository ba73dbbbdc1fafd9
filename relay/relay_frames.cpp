#include "relay/relay_frames.h"

#include <array>

namespace relay {

namespace {

constexpr frame::Byte kWriteMultipleRegisters = 0x10;

// The Modbus request head: address, function 16, first register, register count, byte count.
frame::Frame WriteRegistersFrame(frame::Byte address, std::uint16_t first, std::uint16_t count) {
    frame::Frame f(7 + 2 * count + 2, 0);
    f[0] = address;
    f[1] = kWriteMultipleRegisters;
    frame::PutWord(f, 2, first);
    frame::PutWord(f, 4, count);
    f[6] = static_cast<frame::Byte>(2 * count);
    return f;
}

constexpr std::uint16_t kControlRegister = 0x001F;
constexpr std::uint16_t kSceneRegister = 0x0190;
constexpr std::uint16_t kTriggerSceneRegister = 0x0007;

frame::Byte SceneOperation(SceneMode mode) {
    switch (mode) {
    case SceneMode::DeleteScene:
        return 0x02;
    case SceneMode::ClearScene:
        return 0x03;
    default:
        return 0x01;
    }
}

} // namespace

frame::Frame BuildControlFrame(frame::Byte address, std::uint32_t enables, std::uint32_t states) {
    frame::Frame f = WriteRegistersFrame(address, kControlRegister, 3);
    frame::PutWord(f, 7, enables);
    frame::PutWord(f, 9, states);
    frame::PutWord(f, 11, frame::kTrailerWord);
    frame::SealFrame(f);
    return f;
}

frame::Frame BuildSceneFrame(SceneMode mode, frame::Byte address, frame::Byte scene,
                             std::uint32_t enables, std::uint32_t states) {
    switch (mode) {
    case SceneMode::SetModuleId: {
        const std::array<frame::Byte, 1> payload{address};
        return frame::CommandFrame(0x00, frame::kRelayHead, kSetModuleId, payload);
    }
    case SceneMode::PowerOnStatus: {
        const std::array<frame::Byte, 2> payload{frame::HighByte(states), frame::LowByte(states)};
        return frame::CommandFrame(address, frame::kRelayHead, kPowerOnStatus, payload);
    }
    case SceneMode::SetScene:
    case SceneMode::DeleteScene:
    case SceneMode::ClearScene:
        break;
    }
    frame::Frame f = WriteRegistersFrame(address, kSceneRegister, 4);
    f[7] = scene;
    f[8] = SceneOperation(mode);
    if (mode == SceneMode::SetScene) {
        frame::PutWord(f, 9, enables);
        frame::PutWord(f, 11, states);
    }
    frame::PutWord(f, 13, frame::kTrailerWord);
    frame::SealFrame(f);
    return f;
}

frame::Frame BuildTriggerSceneFrame(frame::Byte scene) {
    frame::Frame f = WriteRegistersFrame(0x00, kTriggerSceneRegister, 2);
    frame::PutWord(f, 7, scene);
    frame::PutWord(f, 9, 1);
    frame::SealFrame(f);
    return f;
}

} // namespace relay
