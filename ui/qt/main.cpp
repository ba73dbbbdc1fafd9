// relay-console: the Linux (Qt) front.

#include "ui/front.h"
#include "ui/qt/qt_front.h"

#include <QApplication>

int main(int, char* argv[]) {
    // The console takes no command line, not even Qt's own options.
    int argc = 1;
    char* args[] = {argv[0], nullptr};
    QApplication app(argc, args);
    ui::qt::QtFront front;
    return ui::RunConsole(front);
}
