#include "relay/relay_frames.h"

#include "tests/fakes/hex_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using fakes::Hex;
using relay::SceneMode;

TEST(BuildControlFrame, WorkedFrames) {
    const struct {
        frame::Byte address;
        std::uint32_t enables;
        std::uint32_t states;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {1, 0x0000, 0x0000, Hex("01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73")},
        {1, 0xFFFF, 0x0005, Hex("01 10 00 1F 00 03 06 FF FF 00 05 00 C9 07 69")},
        {3, 0x0001, 0x8000, Hex("03 10 00 1F 00 03 06 00 01 80 00 00 C9 04 31")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "address " << int(c.address) << " enables " << c.enables
                                        << " states " << c.states);
        EXPECT_EQ(relay::BuildControlFrame(c.address, c.enables, c.states), c.bytes);
    }
}

TEST(BuildSceneFrame, WorkedFramesAndTheInputsEachModeIgnores) {
    const struct {
        const char* what;
        SceneMode mode;
        frame::Byte address;
        frame::Byte scene;
        std::uint32_t enables;
        std::uint32_t states;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"set scene", SceneMode::SetScene, 1, 1, 0xFFFF, 0x0005,
         Hex("01 10 01 90 00 04 08 01 01 FF FF 00 05 00 C9 76 3A")},
        {"delete scene", SceneMode::DeleteScene, 1, 2, 0xFFFF, 0x0005,
         Hex("01 10 01 90 00 04 08 02 02 00 00 00 00 00 C9 15 35")},
        {"delete scene, other masks", SceneMode::DeleteScene, 1, 2, 0x1234, 0x8001,
         Hex("01 10 01 90 00 04 08 02 02 00 00 00 00 00 C9 15 35")},
        {"clear scene", SceneMode::ClearScene, 1, 2, 0x0000, 0x0000,
         Hex("01 10 01 90 00 04 08 02 03 00 00 00 00 00 C9 05 F5")},
        {"clear scene, other masks", SceneMode::ClearScene, 1, 2, 0xFFFF, 0xFFFF,
         Hex("01 10 01 90 00 04 08 02 03 00 00 00 00 00 C9 05 F5")},
        {"set module-id", SceneMode::SetModuleId, 3, 1, 0x0000, 0x0000,
         Hex("00 FD DF 01 03 00 C9 AA 94")},
        {"set module-id, other scene and masks", SceneMode::SetModuleId, 3, 50, 0xFFFF, 0x0005,
         Hex("00 FD DF 01 03 00 C9 AA 94")},
        {"power on status", SceneMode::PowerOnStatus, 1, 1, 0x0000, 0x0005,
         Hex("01 FD DF 02 00 05 00 C9 17 F0")},
        {"power on status, enables and scene ignored", SceneMode::PowerOnStatus, 1, 9, 0xFFFF,
         0x0005, Hex("01 FD DF 02 00 05 00 C9 17 F0")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(relay::BuildSceneFrame(c.mode, c.address, c.scene, c.enables, c.states), c.bytes);
    }
}

TEST(BuildTriggerSceneFrame, WorkedFrames) {
    EXPECT_EQ(relay::BuildTriggerSceneFrame(1), Hex("00 10 00 07 00 02 04 00 01 00 01 26 B5"));
    EXPECT_EQ(relay::BuildTriggerSceneFrame(50), Hex("00 10 00 07 00 02 04 00 32 00 01 D6 BA"));
}

} // namespace
