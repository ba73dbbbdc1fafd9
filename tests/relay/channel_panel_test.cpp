#include "relay/channel_panel.h"

#include "frame/hex_text.h"
#include "relay/relay_frames.h"
#include "tests/fakes/hex_bytes.h"
#include "tests/relay/relay_page.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using fakes::Hex;
using relay::SceneMode;

class ChannelPanel : public ::testing::Test {
  protected:
    fakes::FakePushButton& Button(int channel) {
        return page.通道[static_cast<std::size_t>(channel - 1)];
    }
    fakes::FakeCheckBox& Enable(int channel) {
        return page.使能[static_cast<std::size_t>(channel - 1)];
    }
    // A user's click on an enable box: the box toggles itself, then its handler runs.
    void ClickEnable(int channel) {
        Enable(channel).click();
        page.panel.OnEnableClicked(channel);
    }
    std::vector<std::uint8_t> ControlBytes() const { return Hex(page.编辑框_控制.text()); }
    std::vector<std::uint8_t> SceneBytes() const { return Hex(page.编辑框_场景.text()); }
    std::string ExpectedControlText() const {
        return frame::ToHexText(
            relay::BuildControlFrame(1, page.masks.ChannelEnables, page.masks.ChannelStates));
    }

    // Every caption and check mark is the copy of its mask bit.
    void ExpectControlsMatchMasks() {
        for (int n = 1; n <= relay::kChannelCount; ++n) {
            const std::uint32_t bit = 1u << (n - 1);
            EXPECT_EQ(Button(n).caption(), (page.masks.ChannelStates & bit) != 0
                                               ? relay::OnCaption(n)
                                               : relay::OffCaption(n))
                << "channel " << n;
            EXPECT_EQ(Enable(n).checked(), (page.masks.ChannelEnables & bit) != 0)
                << "channel " << n;
        }
    }

    relay_test::RelayPage page;
};

TEST_F(ChannelPanel, Channel5SwitchesOnThenOff) {
    page.panel.OnChannelClicked(5);
    EXPECT_EQ(page.masks.ChannelStates, 0x0010u);
    EXPECT_EQ(Button(5).caption(), "Channel 5 (on)");
    ASSERT_EQ(ControlBytes().size(), 15u);
    EXPECT_EQ(ControlBytes()[9], 0x00);
    EXPECT_EQ(ControlBytes()[10], 0x10);
    EXPECT_EQ(page.编辑框_控制.text(), ExpectedControlText());

    page.panel.OnChannelClicked(5);
    EXPECT_EQ(page.masks.ChannelStates, 0x0000u);
    EXPECT_EQ(Button(5).caption(), "Channel 5 (off)");
    EXPECT_EQ(page.编辑框_控制.text(), "01 10 00 1F 00 03 06 00 00 00 00 00 C9 17 73 ");
}

TEST_F(ChannelPanel, Channel16IsTheTopBit) {
    page.panel.OnChannelClicked(16);
    EXPECT_EQ(page.masks.ChannelStates, 0x8000u);
    EXPECT_EQ(Button(16).caption(), "Channel 16 (on)");
    EXPECT_EQ(ControlBytes()[9], 0x80);
    EXPECT_EQ(ControlBytes()[10], 0x00);
}

TEST_F(ChannelPanel, AllOnThenChannel3SwitchesOnlyChannel3Off) {
    page.panel.AllOn();
    page.panel.OnChannelClicked(3);
    EXPECT_EQ(page.masks.ChannelStates, 0xFFFBu);
    EXPECT_EQ(Button(3).caption(), "Channel 3 (off)");
    ExpectControlsMatchMasks();
    EXPECT_EQ(page.编辑框_控制.text(), ExpectedControlText());
}

TEST_F(ChannelPanel, AllEnabledThenUncheckingEnable16) {
    page.panel.AllEnabled();
    ClickEnable(16);
    EXPECT_EQ(page.masks.ChannelEnables, 0x7FFFu);
    EXPECT_FALSE(Enable(16).checked());
    ExpectControlsMatchMasks();
    EXPECT_EQ(ControlBytes()[7], 0x7F);
    EXPECT_EQ(ControlBytes()[8], 0xFF);
}

TEST_F(ChannelPanel, Enable1EntersTheControlAndSetSceneFrames) {
    ClickEnable(1);
    EXPECT_EQ(page.masks.ChannelEnables, 0x0001u);
    EXPECT_TRUE(Enable(1).checked());
    EXPECT_EQ(ControlBytes()[7], 0x00);
    EXPECT_EQ(ControlBytes()[8], 0x01);
    ASSERT_EQ(SceneBytes().size(), 17u);
    EXPECT_EQ(SceneBytes()[9], 0x00);
    EXPECT_EQ(SceneBytes()[10], 0x01);
    EXPECT_EQ(page.编辑框_场景.text(),
              frame::ToHexText(relay::BuildSceneFrame(SceneMode::SetScene, 1, 1, 0x0001, 0)));
}

TEST_F(ChannelPanel, BulkButtonsRewriteAllSixteenControlsAndRefreshOnce) {
    const struct {
        const char* what;
        void (relay::ChannelPanel::*click)();
        std::uint32_t states;
        std::uint32_t enables;
    } cases[] = {
        {"ALL ON", &relay::ChannelPanel::AllOn, 0xFFFF, 0x0000},
        {"ALL OFF when already off", &relay::ChannelPanel::AllOff, 0x0000, 0x0000},
        {"ALL Enabled", &relay::ChannelPanel::AllEnabled, 0x0000, 0xFFFF},
        {"ALL Disabled when already disabled", &relay::ChannelPanel::AllDisabled, 0x0000, 0x0000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        relay_test::RelayPage fresh;
        (fresh.panel.*c.click)();
        EXPECT_EQ(fresh.masks.ChannelStates, c.states);
        EXPECT_EQ(fresh.masks.ChannelEnables, c.enables);
        EXPECT_EQ(fresh.编辑框_控制.set_text_calls, 1);
        EXPECT_EQ(fresh.编辑框_控制.text(),
                  frame::ToHexText(relay::BuildControlFrame(1, c.enables, c.states)));
        const bool states_button =
            c.click == &relay::ChannelPanel::AllOn || c.click == &relay::ChannelPanel::AllOff;
        for (int n = 1; n <= relay::kChannelCount; ++n) {
            const auto i = static_cast<std::size_t>(n - 1);
            if (states_button) {
                EXPECT_EQ(fresh.通道[i].captions_written.size(), 1u) << n;
                EXPECT_EQ(fresh.通道[i].caption(),
                          c.states != 0 ? relay::OnCaption(n) : relay::OffCaption(n));
            } else {
                EXPECT_EQ(fresh.使能[i].set_checked_calls, 1) << n;
                EXPECT_EQ(fresh.使能[i].checked(), c.enables != 0) << n;
            }
        }
    }
}

TEST_F(ChannelPanel, BulkButtonsAssignTheWholeMaskAndLeaveTheOtherAlone) {
    page.panel.OnChannelClicked(2);
    ClickEnable(9);
    page.panel.AllOff();
    EXPECT_EQ(page.masks.ChannelStates, 0x0000u);
    EXPECT_EQ(page.masks.ChannelEnables, 0x0100u);
    page.panel.AllDisabled();
    page.panel.AllOn();
    EXPECT_EQ(page.masks.ChannelStates, 0xFFFFu);
    EXPECT_EQ(page.masks.ChannelEnables, 0x0000u);
    ExpectControlsMatchMasks();
}

TEST_F(ChannelPanel, TheCaptionDecidesTheDirection) {
    // The on caption switches off; any other caption, even a strange one, switches on.
    const struct {
        std::string caption;
        std::uint32_t states_before;
        std::uint32_t states_after;
        std::string caption_after;
    } cases[] = {
        {"Channel 7 (on)", 0x0000, 0x0000, "Channel 7 (off)"},
        {"Channel 7 (off)", 0x0040, 0x0040, "Channel 7 (on)"},
        {"channel 7 (on)", 0x0040, 0x0040, "Channel 7 (on)"},
        {"", 0x0000, 0x0040, "Channel 7 (on)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        relay_test::RelayPage fresh;
        fresh.masks.ChannelStates = c.states_before;
        fresh.通道[6].setCaption(c.caption);
        fresh.panel.OnChannelClicked(7);
        EXPECT_EQ(fresh.masks.ChannelStates, c.states_after);
        EXPECT_EQ(fresh.通道[6].caption(), c.caption_after);
    }
}

TEST_F(ChannelPanel, FramesWithoutMasksAreRebuiltWithTheSameBytes) {
    const struct {
        fakes::FakeRadioButton* radio;
        SceneMode mode;
    } cases[] = {
        {&page.单选框2, SceneMode::DeleteScene},
        {&page.单选框3, SceneMode::ClearScene},
        {&page.单选框4, SceneMode::SetModuleId},
        {&page.单选框5, SceneMode::PowerOnStatus}, // carries the states, not the enables
    };
    for (const auto& c : cases) {
        c.radio->click();
        page.preview.OnSceneModeClicked(c.mode);
        const std::string before = page.编辑框_场景.text();
        page.panel.AllEnabled();
        ClickEnable(4);
        page.panel.AllDisabled();
        EXPECT_EQ(page.编辑框_场景.text(), before);
    }
}

TEST_F(ChannelPanel, RandomClicksKeepControlsMasksAndPreviewInStep) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> action(0, 5);
    std::uniform_int_distribution<int> channel(1, relay::kChannelCount);
    std::uint32_t states = 0; // what the user expects, kept apart from the panel
    std::uint32_t enables = 0;
    for (int step = 0; step < 400; ++step) {
        const int n = channel(rng);
        const std::uint32_t bit = 1u << (n - 1);
        switch (action(rng)) {
        case 0:
        case 1:
            page.panel.OnChannelClicked(n);
            states ^= bit;
            break;
        case 2:
        case 3:
            ClickEnable(n);
            enables ^= bit;
            break;
        case 4:
            if (n % 2 == 0) {
                page.panel.AllOn();
                states = 0xFFFF;
            } else {
                page.panel.AllOff();
                states = 0;
            }
            break;
        default:
            if (n % 2 == 0) {
                page.panel.AllEnabled();
                enables = 0xFFFF;
            } else {
                page.panel.AllDisabled();
                enables = 0;
            }
            break;
        }
        ASSERT_EQ(page.masks.ChannelStates, states) << "step " << step;
        ASSERT_EQ(page.masks.ChannelEnables, enables) << "step " << step;
        ExpectControlsMatchMasks();
        ASSERT_EQ(page.编辑框_控制.text(), ExpectedControlText()) << "step " << step;
        ASSERT_EQ(page.编辑框_场景.text(), frame::ToHexText(relay::BuildSceneFrame(
                                               SceneMode::SetScene, 1, 1, enables, states)))
            << "step " << step;
        if (HasFailure()) {
            FAIL() << "step " << step;
        }
    }
}

} // namespace
