// The window against its definition: every control once, of its kind and style, in its place,
// with its caption; the frame; the start state; one page shown at a time.

#include "tests/win32/console_window.h"

#include <gmock/gmock.h>

namespace win32_test {
namespace {

using ui::Container;
using ui::Kind;

struct Expected {
    const char* window_class;
    LONG_PTR type; // the low style bits that make the kind
    LONG_PTR type_mask;
};

Expected ExpectedOf(Kind kind) {
    switch (kind) {
    case Kind::GroupBox:
        return {"Button", BS_GROUPBOX, BS_TYPEMASK};
    case Kind::LogBox:
        return {"Edit", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_READONLY};
    case Kind::PreviewBox:
        return {"Edit", ES_READONLY | ES_AUTOHSCROLL, ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL};
    case Kind::Label:
        return {"Static", 0, 0};
    case Kind::PushButton:
        return {"Button", BS_PUSHBUTTON | BS_MULTILINE, BS_TYPEMASK | BS_MULTILINE};
    case Kind::CheckBox:
        return {"Button", BS_AUTOCHECKBOX, BS_TYPEMASK};
    case Kind::RadioButton:
        return {"Button", BS_AUTORADIOBUTTON, BS_TYPEMASK};
    case Kind::ComboBox:
        return {"ComboBox", CBS_DROPDOWN, 0x3};
    case Kind::TabControl:
        return {"SysTabControl32", 0, 0};
    case Kind::Timer:
        break;
    }
    return {"", 0, 0};
}

using WindowLayout = ConsoleWindow;

TEST_F(WindowLayout, EveryControlHasItsClassStylePlaceAndCaption) {
    std::map<Container, POINT> origin{{Container::Window, {0, 0}}};
    for (const auto& def : ui::WindowDefinition().controls) {
        if (def.kind == Kind::GroupBox) {
            origin[Container::Group] = {def.left, def.top};
        } else if (def.kind == Kind::TabControl) {
            origin[Container::Page0] = origin[Container::Page1] = {def.left, def.top};
        }
    }
    for (const auto& def : ui::WindowDefinition().controls) {
        SCOPED_TRACE(def.name);
        if (def.kind == Kind::Timer) {
            EXPECT_THROW(front.control(def.name), std::out_of_range);
            continue;
        }
        const HWND w = Find(def.name);
        EXPECT_EQ(GetParent(w), window());
        const Expected expected = ExpectedOf(def.kind);
        EXPECT_EQ(ClassOf(w), expected.window_class);
        EXPECT_EQ(StyleOf(w) & expected.type_mask, expected.type);

        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(HWND_DESKTOP, window(), reinterpret_cast<POINT*>(&r), 2);
        const POINT o = origin.at(def.container);
        EXPECT_EQ(r.left, o.x + def.left);
        EXPECT_EQ(r.top, o.y + def.top);
        EXPECT_EQ(r.right - r.left, def.width);
        if (def.kind == Kind::ComboBox) {
            // Created as tall as the box with its list open; shown closed.
            const COMBOBOXINFO info = ComboInfo(w);
            EXPECT_LT(r.bottom - r.top, ui::WindowDefinition().combo_open_height);
            EXPECT_NE(info.hwndList, nullptr);
        } else {
            EXPECT_EQ(r.bottom - r.top, def.height);
        }
        if (def.kind != Kind::TabControl && def.kind != Kind::ComboBox) {
            EXPECT_EQ(Text(def.name), def.caption);
        }
        // Tab stops: what the user can operate, and a radio group once, at its first button.
        const bool first_radio = def.name == "汉化" || def.name == "单选框1";
        const bool stop = def.kind == Kind::PushButton || def.kind == Kind::CheckBox ||
                          def.kind == Kind::ComboBox || def.kind == Kind::LogBox ||
                          def.kind == Kind::PreviewBox || first_radio;
        EXPECT_EQ((StyleOf(w) & WS_TABSTOP) != 0, stop);
        if (def.kind == Kind::RadioButton) {
            EXPECT_EQ((StyleOf(w) & WS_GROUP) != 0, first_radio);
        }
    }
    const HWND tabs = Find("选择夹1");
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    for (int page = 0; page < 2; ++page) {
        wchar_t title[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(page),
                     reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(ui::win32::Utf8(title), ui::WindowDefinition().page_titles[page]);
    }
}

TEST_F(WindowLayout, FixedFrameWithoutCaptionOrMaximizeCentredAtItsOuterSize) {
    const LONG_PTR style = StyleOf(window());
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(ui::win32::WindowText(window()), "");

    RECT outer{};
    GetWindowRect(window(), &outer);
    EXPECT_EQ(outer.right - outer.left, 620);
    EXPECT_EQ(outer.bottom - outer.top, 480);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((outer.left + outer.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((outer.top + outer.bottom) - (work.top + work.bottom)), 1);
}

// The topmost shown control at a control's centre is that control: nothing lies over it.
TEST_F(WindowLayout, NothingCoversAShownControlOnEitherPage) {
    for (int page : {0, 1}) {
        ClickTab(page);
        ASSERT_EQ(Page(), page);
        for (const auto& def : ui::WindowDefinition().controls) {
            if (def.kind == Kind::Timer || def.kind == Kind::TabControl ||
                def.kind == Kind::GroupBox || (def.container == Container::Page0 && page != 0) ||
                (def.container == Container::Page1 && page != 1)) {
                continue;
            }
            SCOPED_TRACE(def.name + " on page " + std::to_string(page));
            const HWND w = Find(def.name);
            RECT r{};
            GetWindowRect(w, &r);
            POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ScreenToClient(window(), &centre);
            const HWND hit = ChildWindowFromPointEx(window(), centre, CWP_SKIPINVISIBLE);
            EXPECT_TRUE(hit == w || IsChild(w, hit)) << "covered by " << ClassOf(hit);
        }
    }
}

TEST_F(WindowLayout, ShowsOnePageAtATimeAndKeepsEveryStateAcrossPages) {
    const auto expect_page_shown = [this](int page) {
        EXPECT_EQ(Page(), page);
        for (const auto& def : ui::WindowDefinition().controls) {
            if (def.container == Container::Page0 || def.container == Container::Page1) {
                const bool on_shown =
                    def.container == (page == 0 ? Container::Page0 : Container::Page1);
                EXPECT_EQ(IsWindowVisible(Find(def.name)) != 0, on_shown) << def.name;
            }
        }
        EXPECT_TRUE(IsWindowVisible(Find("汉化")));
    };
    expect_page_shown(0);
    Click("通道3");
    Click("使能2");
    Click("单选框2");
    PickFromList("组合框_场景", 4);
    ClickTab(1);
    expect_page_shown(1);
    PickFromList("模块通道3", 7);
    const auto before = Snapshot();
    ASSERT_EQ(front.ComboBox("模块通道3").selectedIndex(), 7);
    ClickTab(0);
    expect_page_shown(0);
    EXPECT_EQ(Snapshot(), before);
}

using StartState = ConsoleWindow;

TEST_F(StartState, ListsFilledFirstItemsSelectedPortsUnselectedPreviewsEmpty) {
    for (const char* name : {"组合框_波特率", "组合框_地址", "模块地址1", "模块通道8"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Selected(name), 0);
        EXPECT_EQ(Text(name), front.ComboBox(name).itemText(0));
    }
    EXPECT_EQ(Text("组合框_波特率"), "9600");
    EXPECT_EQ(front.ComboBox("组合框_地址").count(), 50);
    EXPECT_EQ(Text("模块地址1"), "scene");

    EXPECT_EQ(front.ComboBox("组合框_串口").count(), 2);
    EXPECT_EQ(front.ComboBox("组合框_串口").itemText(1), "COM7");
    EXPECT_EQ(Selected("组合框_串口"), -1);
    EXPECT_EQ(Text("组合框_串口"), "");

    EXPECT_TRUE(Checked("单选框1"));
    EXPECT_FALSE(Checked("汉化"));
    EXPECT_EQ(Caption("按钮_场景"), "set");
    EXPECT_EQ(Text("编辑框_控制"), "");
    EXPECT_EQ(Text("编辑框_显示"), "");
    EXPECT_EQ(front.Timer("时钟_接收数据").period(), 0);
    EXPECT_EQ(Page(), 0);
}

} // namespace
} // namespace win32_test
