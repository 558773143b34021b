// The worksheet program: start the engine, show the main window, run the
// message loop until the window closes. No arguments, no configuration.
#include "app/form73.h"
#include "app/startup.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    startup::prepareProcess();
    QApplication app(argc, argv);
    try {
        startup::startEngine();
        Form73 window;
        startup::quitAfterFirstPaintIfAsked(&window);
        window.show();
        return app.exec();
    } catch (const std::exception &e) {
        // The layouts are part of the program: failing to read them is a
        // defect of the build, reported on the terminal.
        std::fprintf(stderr, "tovrel: %s\n", e.what());
        return 1;
    }
}
