#pragma once
// Watches the application for the first exposed window: prints the monotonic clock in ns on
// stdout and ends the process at once.

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace bench {

class ExposeProbe : public QObject {
  public:
    ExposeProbe() { QApplication::instance()->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(object);
            if (window != nullptr && window->isExposed()) {
                timespec t{};
                clock_gettime(CLOCK_MONOTONIC, &t);
                std::printf("%lld\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
                std::fflush(stdout);
                std::_Exit(EXIT_SUCCESS);
            }
        }
        return QObject::eventFilter(object, event);
    }
};

} // namespace bench
