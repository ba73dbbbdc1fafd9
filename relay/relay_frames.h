#pragma once
// The frames the relay module page previews and sends.

#include "frame/frame.h"

#include <cstdint>

namespace relay {

// The kind of frame shown in the scene preview, chosen by the scene-mode radio buttons.
enum class SceneMode { SetScene, DeleteScene, ClearScene, SetModuleId, PowerOnStatus };

// Function 16 writing registers 0x001F..0x0021: enables, states, 0x00C9. 15 bytes.
frame::Frame BuildControlFrame(frame::Byte address, std::uint32_t enables, std::uint32_t states);

// The frame of one scene mode. Inputs a mode does not carry are ignored.
frame::Frame BuildSceneFrame(SceneMode mode, frame::Byte address, frame::Byte scene,
                             std::uint32_t enables, std::uint32_t states);

// Relay command codes under the head FD DF.
enum RelayCommand : frame::Byte {
    kSetModuleId = 0x01,
    kPowerOnStatus = 0x02,
    kSetBaud = 0x03,
    kSetInput = 0x04,
};

// Function 16 to the broadcast address writing register 7 = scene and register 8 = 1: every
// module applies that scene. 13 bytes.
frame::Frame BuildTriggerSceneFrame(frame::Byte scene);

} // namespace relay
