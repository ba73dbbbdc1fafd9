// The window against its definition: every control once, of its kind, in its place, with its
// caption; the tab control showing one page at a time.

#include "tests/qt/console_window.h"

namespace qt_test {
namespace {

using ui::Container;
using ui::Kind;

const char* QtClassOf(Kind kind) {
    switch (kind) {
    case Kind::GroupBox:
        return "QGroupBox";
    case Kind::LogBox:
        return "QPlainTextEdit";
    case Kind::PreviewBox:
        return "QLineEdit";
    case Kind::Label:
        return "QLabel";
    case Kind::PushButton:
        return "QPushButton";
    case Kind::CheckBox:
        return "QCheckBox";
    case Kind::RadioButton:
        return "QRadioButton";
    case Kind::ComboBox:
        return "QComboBox";
    case Kind::TabControl:
        return "QTabWidget";
    case Kind::Timer:
        return "QTimer";
    }
    return "";
}

bool OnPage(const ui::ControlDef& def) {
    return def.container == Container::Page0 || def.container == Container::Page1;
}

using WindowLayout = ConsoleWindow;

TEST_F(WindowLayout, EveryControlExistsOnceWithItsKindPlaceAndCaption) {
    QGroupBox* group = Find<QGroupBox>("分组框1");
    QTabWidget* tabs = Tabs();
    for (const auto& def : ui::WindowDefinition().controls) {
        SCOPED_TRACE(def.name);
        const auto named = window()->findChildren<QObject*>(Q(def.name));
        ASSERT_EQ(named.size(), 1);
        QObject* object = named.front();
        EXPECT_TRUE(object->inherits(QtClassOf(def.kind))) << object->metaObject()->className();
        if (def.kind == Kind::Timer) {
            continue;
        }
        auto* widget = qobject_cast<QWidget*>(object);
        ASSERT_NE(widget, nullptr);

        const QRect expected(def.left, def.top, def.width, def.height);
        switch (def.container) {
        case Container::Window:
            EXPECT_EQ(widget->parentWidget(), window());
            EXPECT_EQ(widget->geometry(), expected);
            break;
        case Container::Group:
            EXPECT_EQ(widget->parentWidget(), group);
            EXPECT_EQ(widget->geometry(), expected);
            break;
        case Container::Page0:
        case Container::Page1:
            ASSERT_TRUE(tabs->isAncestorOf(widget));
            EXPECT_EQ(QRect(widget->mapTo(tabs, QPoint(0, 0)), widget->size()), expected);
            break;
        }

        const QString caption = Q(def.caption);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), caption);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), caption);
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            EXPECT_EQ(box->title(), caption);
        } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_EQ(line->text(), caption);
        } else if (auto* log = qobject_cast<QPlainTextEdit*>(widget)) {
            EXPECT_EQ(log->toPlainText(), caption);
        }
    }
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), Q(ui::WindowDefinition().page_titles[0]));
    EXPECT_EQ(tabs->tabText(1), Q(ui::WindowDefinition().page_titles[1]));
}

// Placed right is not enough: the user must be able to reach each shown control, so nothing
// (a page of the tab control, another control) may lie over it.
TEST_F(WindowLayout, NothingCoversAShownControl) {
    for (int page = 0; page < 2; ++page) {
        ClickTab(page);
        for (const auto& def : ui::WindowDefinition().controls) {
            if (def.kind == Kind::Timer || def.kind == Kind::TabControl ||
                (def.container == Container::Page0 && page != 0) ||
                (def.container == Container::Page1 && page != 1)) {
                continue;
            }
            SCOPED_TRACE(def.name + " on page " + std::to_string(page));
            QWidget* widget = Find(def.name);
            const QPoint centre = widget->mapTo(window(), widget->rect().center());
            QWidget* hit = window()->childAt(centre);
            ASSERT_NE(hit, nullptr);
            EXPECT_TRUE(hit == widget || widget->isAncestorOf(hit))
                << "covered by " << hit->metaObject()->className() << " "
                << hit->objectName().toStdString();
        }
    }
}

TEST_F(WindowLayout, LocalisationButtonSitsOverTheTabStripOnEveryPage) {
    QWidget* button = Find("汉化");
    QTabBar* bar = Tabs()->tabBar();
    const QRect strip(bar->mapTo(window(), QPoint(0, 0)), QSize(Tabs()->width(), bar->height()));
    EXPECT_TRUE(strip.intersects(button->geometry()))
        << "strip " << strip.top() << ".." << strip.bottom() << ", button at "
        << button->geometry().top();
    for (int page : {1, 0}) {
        ClickTab(page);
        EXPECT_TRUE(button->isVisible()) << "page " << page;
        EXPECT_EQ(window()->childAt(button->geometry().center()), button) << "page " << page;
    }
}

TEST_F(WindowLayout, ShowsOnePageAtATimeStartingWithTheRelayPage) {
    const auto expect_page_shown = [this](int page) {
        EXPECT_EQ(Tabs()->currentIndex(), page);
        for (const auto& def : ui::WindowDefinition().controls) {
            if (OnPage(def)) {
                const bool on_shown_page =
                    def.container == (page == 0 ? Container::Page0 : Container::Page1);
                EXPECT_EQ(Find(def.name)->isVisible(), on_shown_page)
                    << def.name << " with page " << page << " shown";
            }
        }
    };
    expect_page_shown(0);
    ClickTab(1);
    expect_page_shown(1);
    ClickTab(0);
    expect_page_shown(0);
}

TEST_F(WindowLayout, ChangingPageKeepsEveryCaptionCheckSelectionAndText) {
    // Leave marks the user can see on both pages and on the window.
    Click("通道3");
    Click("使能2");
    Click("单选框2");
    PickFromList(Combo("组合框_场景"), 4);
    Click(Find<QPlainTextEdit>("编辑框_显示"));
    Type("typed by hand");
    ClickTab(1);
    PickFromList(Combo("模块通道3"), 7);
    PickFromList(Combo("组合框_开关波特率"), 2);
    const auto before = Snapshot();
    ASSERT_EQ(before.at("模块通道3").substr(0, 2), "7|");

    ClickTab(0);
    EXPECT_EQ(Snapshot(), before);
    ClickTab(1);
    EXPECT_EQ(Snapshot(), before);
}

} // namespace
} // namespace qt_test
