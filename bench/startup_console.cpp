// The console as main.cpp starts it, which prints the monotonic clock (ns) the moment its window
// is first exposed and ends there. startup_bench times it from the moment it was spawned.

#include "bench/startup_probe.h"
#include "ui/front.h"
#include "ui/qt/qt_front.h"

#include <QApplication>

int main(int, char* argv[]) {
    int argc = 1;
    char* args[] = {argv[0], nullptr};
    QApplication app(argc, args);
    bench::ExposeProbe probe;
    ui::qt::QtFront front;
    return ui::RunConsole(front);
}
