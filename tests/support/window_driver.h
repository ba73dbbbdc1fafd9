#pragma once
// The user's hands on the console's real Qt window: widgets found by object name, clicks, picks
// from a combo box's open list, and the log read back as received bytes. A fixture gives the
// window (window()) and shows it with Show().

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <cctype>
#include <cstddef>
#include <sstream>
#include <stdexcept>
#include <string>

namespace test_support {

// Generous bound for anything that should happen soon; only guards against a hang.
inline constexpr int kWatchdogMs = 10000;

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The child of `window` with that object name; throws when it has none of type T.
template <typename T = QWidget> T* FindChild(const QWidget* window, const std::string& name) {
    T* found = window->findChild<T*>(Q(name));
    if (found == nullptr) {
        throw std::runtime_error("the window has no " +
                                 std::string(T::staticMetaObject.className()) + " named " + name);
    }
    return found;
}

class WindowDriver {
  public:
    virtual ~WindowDriver() = default;

    virtual QWidget* window() const = 0;

    template <typename T = QWidget> T* Find(const std::string& name) const {
        return FindChild<T>(window(), name);
    }

    // A left click in the middle of the widget.
    void Click(const std::string& name) const {
        QWidget* widget = Find(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

    void ClickTab(int page) const {
        QTabBar* bar = Find<QTabWidget>("选择夹1")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    std::string Caption(const std::string& name) const {
        return Find<QAbstractButton>(name)->text().toStdString();
    }

    // Opens the box's list with a click on its arrow (the list is filled afresh as it opens,
    // for the port list) and clicks the item reading `text`.
    void Pick(const std::string& box_name, const std::string& text) const {
        auto* box = Find<QComboBox>(box_name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        if (!QTest::qWaitFor([box] { return box->view()->isVisible(); }, kWatchdogMs)) {
            throw std::runtime_error("the list of " + box_name + " did not open");
        }
        // The list ignores a release too close to its opening; a user's click comes later.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const int row = box->findText(Q(text), Qt::MatchExactly);
        if (row < 0) {
            box->hidePopup();
            throw std::runtime_error(box_name + " does not list " + text);
        }
        QAbstractItemView* view = box->view();
        const QModelIndex item = view->model()->index(row, 0);
        view->scrollTo(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
        if (!QTest::qWaitFor([box] { return !box->view()->isVisible(); }, kWatchdogMs)) {
            throw std::runtime_error("the list of " + box_name + " did not close after a pick");
        }
    }

    // What the log box shows. While lines keep coming it takes them in once per hold (80 ms), so
    // a line that follows another within the hold shows when the hold ends.
    std::string Log() const {
        return Find<QPlainTextEdit>("编辑框_显示")->toPlainText().toStdString();
    }

    // Every byte received so far, as "01 10 00 1F " text: the log's hex lines joined, without
    // the port's own lines. The log's line breaks only show where a poll ended.
    std::string ReceivedHex() const {
        std::istringstream lines(Log());
        std::string digits;
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("port ")) {
                continue;
            }
            for (char c : line) {
                if (std::isxdigit(static_cast<unsigned char>(c))) {
                    digits += c;
                }
            }
        }
        std::string spaced;
        for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
            spaced += digits.substr(i, 2) + " ";
        }
        return spaced;
    }

  protected:
    // Shows the window and makes it the active one; throws when it does not come up.
    void Show() const {
        window()->show();
        QApplication::setActiveWindow(window());
        if (!QTest::qWaitForWindowExposed(window()) || !QTest::qWaitForWindowActive(window())) {
            throw std::runtime_error("the console window was not shown");
        }
    }
};

} // namespace test_support
