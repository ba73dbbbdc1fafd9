#pragma once
// The live preview of the control frame and the scene frame on the relay module page.

#include "controls/controls.h"
#include "relay/channel_masks.h"
#include "relay/relay_frames.h"

#include <array>

namespace relay {

struct PreviewControls {
    controls::ComboBox& 组合框_地址;
    controls::ComboBox& 组合框_场景;
    controls::EditBox& 编辑框_控制;
    controls::EditBox& 编辑框_场景;
    // 单选框1 .. 单选框5, in the order of SceneMode.
    std::array<controls::RadioButton*, 5> 单选框;
    controls::PushButton& 按钮_场景;
};

// Captions of the scene-mode radio buttons, which the scene send button takes on their click.
inline constexpr std::array<const char*, 5> kSceneModeCaptions{
    "set scene", "delete scene", "clear scene", "set module-id", "Power on status"};

class RelayPreview {
  public:
    RelayPreview(PreviewControls controls, const ChannelMasks& masks)
        : c_(controls), masks_(masks) {}

    // Rebuilds both preview boxes from the selections, the checked scene mode and the masks.
    void RefreshPreview();

    // List item selected in 组合框_地址 or 组合框_场景.
    void OnSelectionChanged() { RefreshPreview(); }

    // Click on the scene-mode radio button of `mode`: the preview first, then the caption, so
    // the scene box already matches the new mode when the caption changes.
    void OnSceneModeClicked(SceneMode mode);

  private:
    PreviewControls c_;
    const ChannelMasks& masks_;
};

} // namespace relay
