#pragma once
// The console's real Qt window, built and filled as the program builds it, with a recording
// serial library and a fixed port map behind it; plus the user's hands: clicks, keys and picks
// from a combo box's list.

#include "tests/fakes/fake_pcomm.h"
#include "tests/fakes/fake_port_map.h"
#include "tests/support/window_driver.h"
#include "ui/console.h"
#include "ui/front.h"
#include "ui/qt/qt_front.h"
#include "ui/window_definition.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace qt_test {

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Generous bound for anything the event loop should do at once; only guards against a hang.
inline constexpr int kWatchdogMs = 10000;

// A left click in the middle of the widget.
inline void ClickCentre(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

class ConsoleWindow : public ::testing::Test {
  protected:
    fakes::FakePcomm pcomm;
    fakes::FakePortMap port_map =
        fakes::FakePortMap({{"\\Device\\Serial0", std::string("COM3") + '\0', "/dev/ttyS0"},
                            {"\\Device\\VSerial7", std::string("COM7") + '\0', "/dev/pts/4"}});
    ui::qt::QtFront front;
    std::unique_ptr<ui::Console> console;

    void SetUp() override {
        console = ui::StartConsole(front, pcomm, port_map);
        // Shown as the front shows it, less the X11 title work, which has no place off screen
        // (the start-state tests show it through the front).
        window()->show();
        QApplication::setActiveWindow(window());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    }

    QWidget* window() const { return front.window(); }

    template <typename T = QWidget> T* Find(const std::string& name) const {
        return test_support::FindChild<T>(window(), name);
    }
    QTabWidget* Tabs() const { return Find<QTabWidget>("选择夹1"); }
    QComboBox* Combo(const std::string& name) const { return Find<QComboBox>(name); }
    std::string Text(const std::string& edit_box) const {
        if (auto* log = window()->findChild<QPlainTextEdit*>(Q(edit_box))) {
            return log->toPlainText().toStdString();
        }
        return Find<QLineEdit>(edit_box)->text().toStdString();
    }
    std::string Caption(const std::string& button) const {
        return Find<QAbstractButton>(button)->text().toStdString();
    }
    bool Checked(const std::string& button) const {
        return Find<QAbstractButton>(button)->isChecked();
    }

    static void Click(QWidget* widget) { ClickCentre(widget); }
    void Click(const std::string& name) const { Click(Find(name)); }

    void ClickTab(int page) const {
        QTabBar* bar = Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    // A key press goes where the user's keyboard goes: to the focused widget.
    static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) {
            throw std::runtime_error("no widget has the keyboard focus");
        }
        QTest::keyClick(target, key, modifiers);
    }
    static void Type(const QString& text) {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) {
            throw std::runtime_error("no widget has the keyboard focus");
        }
        QTest::keyClicks(target, text);
    }

    // Opens the list with a click on the box's arrow, as a user does.
    static void OpenList(QComboBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        if (!QTest::qWaitFor([box] { return box->view()->isVisible(); }, kWatchdogMs)) {
            throw std::runtime_error("the list of " + box->objectName().toStdString() +
                                     " did not open");
        }
    }

    // Opens the list and clicks the item in row `row`.
    static void PickFromList(QComboBox* box, int row) {
        OpenList(box);
        QAbstractItemView* view = box->view();
        // The list ignores a release that follows its opening too closely (a press-drag-release
        // pick); a user's separate click comes later than that.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const QModelIndex item = view->model()->index(row, 0);
        view->scrollTo(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
        if (!QTest::qWaitFor([box] { return !box->view()->isVisible(); }, kWatchdogMs)) {
            throw std::runtime_error("the list of " + box->objectName().toStdString() +
                                     " did not close after a pick");
        }
    }

    // Everything the user can see a control hold, control by control: captions, checks,
    // selections, item lists and texts.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> out;
        for (const auto& def : ui::WindowDefinition().controls) {
            QObject* object = window()->findChild<QObject*>(Q(def.name));
            if (object == nullptr) {
                out[def.name] = "<missing>";
                continue;
            }
            std::string state;
            if (auto* box = qobject_cast<QComboBox*>(object)) {
                state =
                    std::to_string(box->currentIndex()) + "|" + box->currentText().toStdString();
                for (int i = 0; i < box->count(); ++i) {
                    state += "|" + box->itemText(i).toStdString();
                }
            } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
                state = button->text().toStdString() + (button->isChecked() ? "|checked" : "");
            } else if (auto* line = qobject_cast<QLineEdit*>(object)) {
                state = line->text().toStdString();
            } else if (auto* log = qobject_cast<QPlainTextEdit*>(object)) {
                state = log->toPlainText().toStdString();
            } else if (auto* label = qobject_cast<QLabel*>(object)) {
                state = label->text().toStdString();
            } else if (auto* timer = qobject_cast<QTimer*>(object)) {
                state = timer->isActive() ? std::to_string(timer->interval()) : "stopped";
            }
            out[def.name] = state;
        }
        return out;
    }
};

} // namespace qt_test
