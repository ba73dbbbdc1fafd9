// The console driven as a user drives it: picks, clicks and the boxes it answers with.

#include "frame/hex_text.h"
#include "relay/relay_frames.h"
#include "tests/qt/console_window.h"

#include <QElapsedTimer>
#include <QMessageBox>

#include <gmock/gmock.h>

#include <functional>

namespace qt_test {
namespace {

using ::testing::StartsWith;

std::string Hex(const frame::Frame& f) {
    return frame::ToHexText(f);
}

// What a message box looked like while it was open.
struct SeenBox {
    bool seen = false;
    QString text;
    QString title;
    bool modal = false;
    bool has_owner = true;
    QMessageBox::Icon icon = QMessageBox::Information;
    int buttons = 0;
    QMessageBox::StandardButtons standard_buttons;
};

// Watches for the modal box a click opens, records it and closes it with its OK button once
// `may_close` holds (or a watchdog runs out).
class BoxCloser {
  public:
    explicit BoxCloser(
        std::function<void(SeenBox&)> on_open = {},
        std::function<bool()> may_close = [] { return true; })
        : on_open_(std::move(on_open)), may_close_(std::move(may_close)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start(5);
        deadline_.start();
    }
    const SeenBox& box() const { return box_; }
    bool closed_by_watchdog() const { return watchdog_; }

  private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (!box_.seen) {
            box_.seen = true;
            box_.text = box->text();
            box_.title = box->windowTitle();
            box_.modal = box->isModal();
            box_.has_owner = box->parentWidget() != nullptr;
            box_.icon = box->icon();
            box_.buttons = static_cast<int>(box->buttons().size());
            box_.standard_buttons = box->standardButtons();
            if (on_open_) {
                on_open_(box_);
            }
        }
        const bool expired = deadline_.elapsed() > kWatchdogMs;
        if (may_close_() || expired) {
            watchdog_ = expired;
            poll_.stop();
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            if (ok != nullptr) {
                ClickCentre(ok);
            } else {
                box->done(0);
            }
        }
    }

    std::function<void(SeenBox&)> on_open_;
    std::function<bool()> may_close_;
    QTimer poll_;
    QElapsedTimer deadline_;
    SeenBox box_;
    bool watchdog_ = false;
};

class UserActions : public ConsoleWindow {
  protected:
    // Picks COM7 from the port list and clicks "start"; the fake library opens anything.
    void OpenCom7() {
        pcomm.open_result = 0;
        PickFromList(Combo("组合框_串口"), 1);
        ASSERT_EQ(Combo("组合框_串口")->currentText(), "COM7");
        Click("按钮_开关端口");
        ASSERT_EQ(console->port().PortOpen, 1);
        ASSERT_EQ(Caption("按钮_开关端口"), "close");
    }
};

TEST_F(UserActions, PickingAnAddressFillsBothPreviews) {
    PickFromList(Combo("组合框_地址"), 1);
    EXPECT_THAT(Text("编辑框_控制"), StartsWith("02 10 00 1F 00 03 06 00 00 00 00 00 C9 "));
    EXPECT_EQ(Text("编辑框_控制"), Hex(relay::BuildControlFrame(2, 0, 0)));
    EXPECT_EQ(Text("编辑框_场景"),
              Hex(relay::BuildSceneFrame(relay::SceneMode::SetScene, 2, 1, 0, 0)));
}

TEST_F(UserActions, SceneModeRadioShowsItsFrameAndNamesTheSendButton) {
    Click("单选框4");
    EXPECT_EQ(Text("编辑框_场景"),
              Hex(relay::BuildSceneFrame(relay::SceneMode::SetModuleId, 1, 1, 0, 0)));
    EXPECT_EQ(Caption("按钮_场景"), "set module-id");
    EXPECT_TRUE(Checked("单选框4"));
    EXPECT_FALSE(Checked("单选框1"));
}

TEST_F(UserActions, LocalisationButtonChangesNothingElse) {
    Click("通道2");
    Click("单选框3");
    auto before = Snapshot();
    const auto masks = console->masks();
    for (int click = 0; click < 2; ++click) {
        Click("汉化");
        auto after = Snapshot();
        EXPECT_EQ(after.at("汉化"), "汉化|checked");
        after.erase("汉化");
        before.erase("汉化");
        EXPECT_EQ(after, before) << "click " << click + 1;
        EXPECT_EQ(console->masks().ChannelStates, masks.ChannelStates);
        EXPECT_EQ(console->masks().ChannelEnables, masks.ChannelEnables);
    }
    // Arrow keys move within a radio button's own group; 汉化 is alone in its group.
    ASSERT_EQ(QApplication::focusWidget(), Find("汉化"));
    Key(Qt::Key_Down);
    auto after = Snapshot();
    EXPECT_EQ(after.at("汉化"), "汉化|checked");
    after.erase("汉化");
    EXPECT_EQ(after, before) << "after the Down key";
    EXPECT_TRUE(pcomm.calls.empty());
}

TEST_F(UserActions, ControlButtonSendsThePreviewedFrameToTheOpenPort) {
    OpenCom7();
    ASSERT_EQ(pcomm.CallsTo("sio_open").size(), 1u);
    EXPECT_EQ(pcomm.CallsTo("sio_open")[0].port, 7);

    Click("通道5");
    EXPECT_EQ(Caption("通道5"), "Channel 5 (on)");
    const frame::Frame expected = relay::BuildControlFrame(1, 0, 0x0010);
    ASSERT_EQ(Text("编辑框_控制"), Hex(expected));

    BoxCloser no_box_expected;
    Click("按钮_控制");
    EXPECT_FALSE(no_box_expected.box().seen) << no_box_expected.box().text.toStdString();
    const auto writes = pcomm.Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].port, 7);
    EXPECT_EQ(writes[0].bytes, expected);
    EXPECT_EQ(expected.size(), 15u);
}

TEST_F(UserActions, MessageBoxIsModalPlainAndHasOneOkButton) {
    BoxCloser closer;
    Click("按钮_控制");
    const SeenBox& box = closer.box();
    ASSERT_TRUE(box.seen);
    EXPECT_FALSE(closer.closed_by_watchdog());
    EXPECT_EQ(box.text, "Please open the serial port first");
    EXPECT_EQ(box.title, "信息：");
    EXPECT_TRUE(box.modal);
    EXPECT_FALSE(box.has_owner);
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_EQ(box.standard_buttons, QMessageBox::Ok);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(pcomm.Writes().empty());
}

TEST_F(UserActions, ReceivedBytesReachTheLogWhileAMessageBoxIsOpen) {
    OpenCom7();
    // Bytes arrive only once the box is up; the box stays until they are in the log.
    BoxCloser closer(
        [this](SeenBox&) {
            pcomm.incoming.push_back({0xAA, 0x55, 0x01});
        },
        [this] { return Text("编辑框_显示").find("AA 55 01 \n") != std::string::npos; });
    // The preview is still empty, so the send button has nothing to send and says so.
    Click("按钮_控制");
    ASSERT_TRUE(closer.box().seen);
    EXPECT_EQ(closer.box().text, "Please enter the data to be sent");
    EXPECT_FALSE(closer.closed_by_watchdog()) << "no tick delivered the bytes under the box";
    EXPECT_EQ(front.EditBox("编辑框_显示").text(), "port opened: COM7 9600\r\nAA 55 01 \r\n");
}

frame::Frame Bytes(std::initializer_list<int> values) {
    frame::Frame f;
    for (int v : values) {
        f.push_back(static_cast<frame::Byte>(v));
    }
    return f;
}

// A commissioning session from start to end, every step a click or a pick as a user makes it,
// checked as the exact frames the library is handed.
TEST_F(UserActions, AWholeSessionSendsExactlyTheExpectedFrames) {
    OpenCom7();
    Click("全能");
    Click("通道1");
    Click("通道3");
    Click("按钮_控制");
    PickFromList(Combo("组合框_场景"), 4); // scene "5"
    Click("按钮_场景");                    // "set scene" is checked from the start
    Click("单选框2");
    Click("按钮_场景");
    Click("触发场景");

    ClickTab(1);
    PickFromList(Combo("组合框_开关地址"), 2); // switch "3"
    Click("进入设置");
    PickFromList(Combo("模块地址1"), 2); // module "2"
    PickFromList(Combo("模块通道1"), 3); // channel "3"
    PickFromList(Combo("模块通道8"), 50);
    Click("写入设置");
    Click("退出设置");

    frame::Frame key_map(16, 0x00);
    key_map[0] = 0x02;
    key_map[1] = 0x03;
    key_map[15] = 0x32;
    frame::Frame write_settings = Bytes({0x03, 0xFE, 0xEF, 0x02});
    write_settings.insert(write_settings.end(), key_map.begin(), key_map.end());
    write_settings.insert(write_settings.end(), {0x00, 0xC9, 0x00, 0x00});

    const std::vector<frame::Frame> expected{
        relay::BuildControlFrame(1, 0xFFFF, 0x0005),
        relay::BuildSceneFrame(relay::SceneMode::SetScene, 1, 5, 0xFFFF, 0x0005),
        relay::BuildSceneFrame(relay::SceneMode::DeleteScene, 1, 5, 0, 0),
        Bytes({0x00, 0x10, 0x00, 0x07, 0x00, 0x02, 0x04, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00}),
        Bytes({0x03, 0xFE, 0xEF, 0x06, 0x01, 0x00, 0xC9, 0x00, 0x00}),
        write_settings,
        Bytes({0x03, 0xFE, 0xEF, 0x06, 0x00, 0x00, 0xC9, 0x00, 0x00}),
    };
    const auto writes = pcomm.Writes();
    ASSERT_EQ(writes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        frame::Frame want = expected[i];
        frame::SealFrame(want); // the CRC of the frames written out above
        EXPECT_EQ(writes[i].port, 7) << "frame " << i;
        EXPECT_EQ(Hex(writes[i].bytes), Hex(want)) << "frame " << i;
    }
}

} // namespace
} // namespace qt_test
