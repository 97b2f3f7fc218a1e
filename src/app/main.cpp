// velnora: the desktop program.
#include "shell/startupwindow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Velnora Logging System");
    return Startup::run(app);
}
