// velnora: the desktop program.
#include "data/trace.h"
#include "shell/startupwindow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    Trace::mark("process start");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velnora Logging System");
    return Startup::run(app);
}
