// An empty Qt window of the console's outer size, started the same way as startup_console.

#include "bench/startup_probe.h"

#include <QApplication>
#include <QWidget>

int main(int, char* argv[]) {
    int argc = 1;
    char* args[] = {argv[0], nullptr};
    QApplication app(argc, args);
    bench::ExposeProbe probe;
    QWidget window;
    window.resize(620, 480);
    window.show();
    return QApplication::exec();
}
