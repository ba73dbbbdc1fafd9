#include "relay/preview.h"

#include "frame/hex_text.h"
#include "frame/text_number.h"
#include "relay/relay_frames.h"
#include "tests/relay/relay_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using relay::SceneMode;

class Preview : public ::testing::Test {
  protected:
    static std::string ControlText(frame::Byte address, std::uint32_t enables,
                                   std::uint32_t states) {
        return frame::ToHexText(relay::BuildControlFrame(address, enables, states));
    }

    relay_test::RelayPage page;
};

TEST_F(Preview, RefreshShowsBothFramesAsHexText) {
    page.masks = {0x0005, 0xFFFF};
    page.preview.RefreshPreview();
    EXPECT_EQ(page.编辑框_控制.text(), "01 10 00 1F 00 03 06 FF FF 00 05 00 C9 07 69 ");
    EXPECT_EQ(page.编辑框_场景.text(), "01 10 01 90 00 04 08 01 01 FF FF 00 05 00 C9 76 3A ");
}

TEST_F(Preview, SelectionChangeRebuildsBothBoxes) {
    page.preview.RefreshPreview();
    page.组合框_地址.select("3");
    page.组合框_场景.select("7");
    page.preview.OnSelectionChanged();
    EXPECT_EQ(page.编辑框_控制.text(), ControlText(3, 0, 0));
    EXPECT_EQ(page.编辑框_场景.text(),
              frame::ToHexText(relay::BuildSceneFrame(SceneMode::SetScene, 3, 7, 0, 0)));
}

TEST_F(Preview, AComboBoxWithoutItemsStopsTheRefreshBeforeEitherBoxChanges) {
    for (const bool address_empty : {true, false}) {
        SCOPED_TRACE(address_empty ? "no addresses" : "no scenes");
        relay_test::RelayPage fresh;
        (address_empty ? fresh.组合框_地址 : fresh.组合框_场景).clear();
        fresh.编辑框_控制.setText("old control");
        fresh.编辑框_场景.setText("old scene");
        fresh.preview.RefreshPreview();
        EXPECT_EQ(fresh.编辑框_控制.text(), "old control");
        EXPECT_EQ(fresh.编辑框_场景.text(), "old scene");
        EXPECT_EQ(fresh.编辑框_控制.set_text_calls + fresh.编辑框_场景.set_text_calls, 2);
    }
}

TEST_F(Preview, NoSelectionReadsAsAddressAndSceneZero) {
    page.组合框_地址.setSelectedIndex(-1);
    page.组合框_场景.setSelectedIndex(-1);
    page.preview.RefreshPreview();
    EXPECT_EQ(page.编辑框_控制.text(), ControlText(0, 0, 0));
    EXPECT_EQ(page.编辑框_场景.text(),
              frame::ToHexText(relay::BuildSceneFrame(SceneMode::SetScene, 0, 0, 0, 0)));
    EXPECT_EQ(page.编辑框_场景.text().substr(0, 3 * 9), "00 10 01 90 00 04 08 00 01 ");
}

TEST_F(Preview, WithNoSceneModeCheckedOnlyTheControlBoxIsRebuilt) {
    for (auto* radio : page.radios()) {
        radio->force(false);
    }
    page.编辑框_场景.setText("kept");
    page.masks.ChannelStates = 0x0010;
    page.preview.RefreshPreview();
    EXPECT_EQ(page.编辑框_控制.text(), ControlText(1, 0, 0x0010));
    EXPECT_EQ(page.编辑框_场景.text(), "kept");
}

TEST_F(Preview, SceneModeClickRebuildsBothBoxesBeforeTheCaptionChanges) {
    const struct {
        std::size_t radio;
        const char* address;
        const char* scene;
        std::string scene_text;
        std::string caption;
    } cases[] = {
        {0, "1", "1", "01 10 01 90 00 04 08 01 01 FF FF 00 05 00 C9 76 3A ", "set scene"},
        {1, "1", "2", "01 10 01 90 00 04 08 02 02 00 00 00 00 00 C9 15 35 ", "delete scene"},
        {2, "1", "2", "01 10 01 90 00 04 08 02 03 00 00 00 00 00 C9 05 F5 ", "clear scene"},
        {3, "3", "1", "00 FD DF 01 03 00 C9 AA 94 ", "set module-id"},
        {4, "1", "1", "01 FD DF 02 00 05 00 C9 17 F0 ", "Power on status"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        relay_test::RelayPage fresh;
        fresh.masks = {0x0005, 0xFFFF};
        fresh.组合框_地址.select(c.address);
        fresh.组合框_场景.select(c.scene);
        fresh.编辑框_控制.setText("stale");
        fresh.编辑框_场景.setText("stale");
        std::string control_at_caption = "caption never set";
        std::string scene_at_caption = "caption never set";
        fresh.按钮_场景.on_set_caption = [&](const std::string&) {
            control_at_caption = fresh.编辑框_控制.text();
            scene_at_caption = fresh.编辑框_场景.text();
        };

        fresh.radios()[c.radio]->click();
        fresh.preview.OnSceneModeClicked(static_cast<SceneMode>(c.radio));

        EXPECT_EQ(scene_at_caption, c.scene_text);
        EXPECT_EQ(control_at_caption, ControlText(frame::TextToByte(c.address), 0xFFFF, 0x0005));
        EXPECT_EQ(fresh.按钮_场景.caption(), c.caption);
        EXPECT_EQ(fresh.按钮_场景.captions_written.size(), 1u);
    }
}

} // namespace
