#include "relay/preview.h"

#include "frame/hex_text.h"
#include "frame/text_number.h"

namespace relay {

void RelayPreview::RefreshPreview() {
    if (c_.组合框_地址.count() == 0) {
        return;
    }
    const frame::Byte address = frame::TextToByte(controls::SelectedText(c_.组合框_地址));
    if (c_.组合框_场景.count() == 0) {
        return;
    }
    const frame::Byte scene = frame::TextToByte(controls::SelectedText(c_.组合框_场景));

    c_.编辑框_控制.setText(
        frame::ToHexText(BuildControlFrame(address, masks_.ChannelEnables, masks_.ChannelStates)));

    for (std::size_t k = 0; k < c_.单选框.size(); ++k) {
        if (c_.单选框[k]->checked()) {
            const auto mode = static_cast<SceneMode>(k);
            c_.编辑框_场景.setText(frame::ToHexText(BuildSceneFrame(
                mode, address, scene, masks_.ChannelEnables, masks_.ChannelStates)));
            return;
        }
    }
}

void RelayPreview::OnSceneModeClicked(SceneMode mode) {
    RefreshPreview();
    c_.按钮_场景.setCaption(kSceneModeCaptions[static_cast<std::size_t>(mode)]);
}

} // namespace relay
